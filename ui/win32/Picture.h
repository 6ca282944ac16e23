#pragma once
// PNG pictures from the program's RT_RCDATA resources, decoded by the system's
// imaging component and sized for a DPI.
#include <windows.h>

#include <memory>

#include "rtl/String.h"
#include "ui/win32/Handles.h"

namespace ui::win32 {

// Premultiplied 32-bit BGRA, ready for AlphaBlend.
struct Bitmap {
    UniqueBitmap Handle;
    int Width = 0;
    int Height = 0;
};

// The picture `name` at `dpi`: its 96-DPI size scaled, made from the double-size
// variant `name` + "_2X" above 96 DPI when the program carries one. Null when the
// resource is missing or cannot be decoded. Loaded once per name and DPI.
std::shared_ptr<const Bitmap> LoadPicture(const rtl::String& name, int dpi);

// Draws `bitmap` with its alpha channel, its top-left corner at (x, y).
void DrawPicture(HDC dc, const Bitmap& bitmap, int x, int y);

}  // namespace ui::win32
