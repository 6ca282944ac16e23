#pragma once
// A PNG picture carried by the program as the RT_RCDATA resource `name`, with an
// optional double-size variant `name` + "_2X" that the backend uses above 96 DPI
// (scaled down with high quality when the screen needs less than double).
#include "rtl/String.h"

namespace ui {

struct TPicture {
    rtl::String ResourceName;  // empty: no picture
    bool operator==(const TPicture&) const = default;
};

inline TPicture PngResource(const rtl::String& name) {
    return TPicture{name};
}

}  // namespace ui
