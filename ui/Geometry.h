#pragma once
// Rectangles, docking and margins. Sizes that form code writes are pixels at 96 DPI;
// rectangles that layout computes are device pixels at the form's DPI.
#include <cstdint>

namespace ui {

inline constexpr int kDesignDpi = 96;

struct TRect {
    int Left = 0;
    int Top = 0;
    int Width = 0;
    int Height = 0;
    int Right() const { return Left + Width; }
    int Bottom() const { return Top + Height; }
    bool operator==(const TRect&) const = default;
};

// Space kept free around a docked control (AlignWithMargins) or inside a container.
struct TMargins {
    int Left = 3;
    int Top = 3;
    int Right = 3;
    int Bottom = 3;
    bool operator==(const TMargins&) const = default;
};

// Docking: top and bottom controls take the full width, left and right ones the
// height that is left, the client control whatever remains; in creation order.
// alNone keeps the control at its own Left and Top.
enum class TAlign : uint8_t { alNone, alTop, alBottom, alLeft, alRight, alClient };

enum class TAlignment : uint8_t { taLeftJustify, taCenter, taRightJustify };
enum class TTextLayout : uint8_t { tlTop, tlCenter, tlBottom };
enum class TScrollStyle : uint8_t { ssNone, ssVertical };

// System colours by role; the backend asks the system for the actual value.
enum class TColor : uint8_t { clBtnFace, clWindow, clGradientActiveCaption };

// `pixels` at 96 DPI scaled to `dpi`, rounded to nearest.
constexpr int ScaleForDpi(int pixels, int dpi) {
    const int64_t scaled = int64_t{pixels} * dpi;
    return static_cast<int>(scaled >= 0 ? (scaled + kDesignDpi / 2) / kDesignDpi
                                        : -((-scaled + kDesignDpi / 2) / kDesignDpi));
}

}  // namespace ui
