#pragma once
// How forms lay out their controls: each one owned by its form, named
// after its designer name, docked in its parent with a size at 96 DPI.
#include "ui/Controls.h"

namespace ui {

template <typename Control>
Control* Place(TWinControl* form, TWinControl* parent, const char16_t* name, TAlign align,
               int width, int height) {
    auto* control = new Control(form);
    control->SetName(name);
    control->SetParent(parent);
    control->SetAlign(align);
    control->SetBounds(0, 0, width, height);
    return control;
}

// Like Place, keeping `margins` free around the control.
template <typename Control>
Control* PlaceWithMargins(TWinControl* form, TWinControl* parent, const char16_t* name,
                          TAlign align, int width, int height, TMargins margins) {
    auto* control = Place<Control>(form, parent, name, align, width, height);
    control->SetAlignWithMargins(true);
    control->SetMargins(margins);
    return control;
}

}  // namespace ui
