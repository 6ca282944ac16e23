#include "ui/Layout.h"

#include <algorithm>
#include <initializer_list>

namespace ui {
namespace {

TMargins ScaledMargins(const TControl& control, int dpi) {
    if (!control.AlignWithMargins()) return {0, 0, 0, 0};
    const TMargins& m = control.Margins();
    return {ScaleForDpi(m.Left, dpi), ScaleForDpi(m.Top, dpi), ScaleForDpi(m.Right, dpi),
            ScaleForDpi(m.Bottom, dpi)};
}

TRect NonNegative(TRect rect) {
    rect.Width = std::max(0, rect.Width);
    rect.Height = std::max(0, rect.Height);
    return rect;
}

// Takes the control's strip off `free` and returns the control's rectangle.
TRect Dock(const TControl& control, TRect& free, int dpi) {
    const TMargins m = ScaledMargins(control, dpi);
    const int width = ScaleForDpi(control.Width(), dpi);
    const int height = ScaleForDpi(control.Height(), dpi);
    const int outerWidth = m.Left + width + m.Right;
    const int outerHeight = m.Top + height + m.Bottom;
    TRect rect;
    switch (control.Align()) {
        case TAlign::alTop:
            rect = {free.Left + m.Left, free.Top + m.Top, free.Width - m.Left - m.Right, height};
            free.Top += outerHeight;
            free.Height -= outerHeight;
            break;
        case TAlign::alBottom:
            rect = {free.Left + m.Left, free.Bottom() - m.Bottom - height,
                    free.Width - m.Left - m.Right, height};
            free.Height -= outerHeight;
            break;
        case TAlign::alLeft:
            rect = {free.Left + m.Left, free.Top + m.Top, width, free.Height - m.Top - m.Bottom};
            free.Left += outerWidth;
            free.Width -= outerWidth;
            break;
        case TAlign::alRight:
            rect = {free.Right() - m.Right - width, free.Top + m.Top, width,
                    free.Height - m.Top - m.Bottom};
            free.Width -= outerWidth;
            break;
        case TAlign::alClient:
            rect = {free.Left + m.Left, free.Top + m.Top, free.Width - m.Left - m.Right,
                    free.Height - m.Top - m.Bottom};
            break;
        case TAlign::alNone:
            rect = {free.Left + ScaleForDpi(control.Left(), dpi),
                    free.Top + ScaleForDpi(control.Top(), dpi), width, height};
            break;
    }
    free = NonNegative(free);
    return NonNegative(rect);
}

}  // namespace

void ArrangeChildren(TWinControl& parent, int dpi) {
    const TRect client = parent.ClientArea(dpi);
    TRect free = client;
    for (TAlign kind : {TAlign::alTop, TAlign::alBottom, TAlign::alLeft, TAlign::alRight,
                        TAlign::alClient, TAlign::alNone}) {
        for (int i = 0; i < parent.ControlCount(); ++i) {
            TControl* control = parent.Controls(i);
            if (control->Align() != kind || !control->Visible()) continue;
            TRect placeFrom = kind == TAlign::alNone ? client : free;
            control->SetBoundsRect(Dock(*control, placeFrom, dpi));
            if (kind != TAlign::alNone) free = placeFrom;
        }
    }
    for (int i = 0; i < parent.ControlCount(); ++i)
        if (auto* container = dynamic_cast<TWinControl*>(parent.Controls(i)))
            ArrangeChildren(*container, dpi);
}

}  // namespace ui
