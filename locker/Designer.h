#pragma once
// How the locker's forms lay out their controls: each one owned by its form, named
// after its designer name, docked in its parent with a size at 96 DPI.
#include "ui/Controls.h"

namespace locker {

template <typename Control>
Control* Place(ui::TWinControl* form, ui::TWinControl* parent, const char16_t* name,
               ui::TAlign align, int width, int height) {
    auto* control = new Control(form);
    control->SetName(name);
    control->SetParent(parent);
    control->SetAlign(align);
    control->SetBounds(0, 0, width, height);
    return control;
}

// Like Place, keeping `margins` free around the control.
template <typename Control>
Control* PlaceWithMargins(ui::TWinControl* form, ui::TWinControl* parent, const char16_t* name,
                          ui::TAlign align, int width, int height, ui::TMargins margins) {
    auto* control = Place<Control>(form, parent, name, align, width, height);
    control->SetAlignWithMargins(true);
    control->SetMargins(margins);
    return control;
}

}  // namespace locker
