#pragma once
// Fixed file names that must never take over a user's file.
#include "rtl/String.h"

namespace builder {

// Creates an empty file named `folder` + `name`, or, when that name is taken,
// `name` with " (2)", " (3)", ... before its extension, and returns its path.
// The file is reserved atomically: no existing file is opened or changed.
// Throws EFCreateError when no name can be created.
rtl::String ReserveFreeName(const rtl::String& folder, const rtl::String& name);

}  // namespace builder
