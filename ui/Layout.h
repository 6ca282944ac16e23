#pragma once
// Docking of a container's children, the same for every backend.
#include "ui/Controls.h"

namespace ui {

// Places the children of `parent` inside parent.ClientArea(dpi), scaling their
// 96-DPI sizes and margins to `dpi`, then lays out each child container.
// The parent's own BoundsRect must be set.
void ArrangeChildren(TWinControl& parent, int dpi);

}  // namespace ui
