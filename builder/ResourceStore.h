#pragma once
// The resource store: moves data between files and the RT_RCDATA resources of
// executables. Text resources hold one line (rtl/TextFile.h) in the ANSI code
// page and pass through "tempresource.txt" in the temporary folder.
#include <cstdint>
#include <span>

#include "rtl/String.h"

namespace builder {

inline constexpr char16_t kTempResourceName[] = u"tempresource.txt";

// "tempresource.txt" in the temporary folder (the current folder when the
// system reports none): the work file of a text, or, while another run holds
// that name, the first free name after it ("tempresource (2).txt", ...).
rtl::String TempResourcePath();

// Reads the RT_RCDATA resource `resName` of the running program. With `asText`
// false, `value` names the file that receives its bytes; with `asText` true,
// `value` receives the resource's first line.
// Throws EResNotFound, EFCreateError, or EListError(0) for a text with no line.
void ReadResource(const rtl::String& resName, bool asText, rtl::String& value);

// Adds or replaces RT_RCDATA `resName`, language 0, in the executable `exePath`,
// in an update cycle of its own. Its data is the one-line text `value` when
// `fromText` is true, otherwise the content of the file named by `value`.
// Throws EFOpenError when the data cannot be read, rtl::Exception for data of
// 2 GiB or more (both before the update begins), and rtl::Exception with
// "Could not open file for writing.", "Could not add resource." or "Could not
// write changes to file." when the update fails, and rtl::Exception when the
// temporary file of a text cannot be deleted afterwards.
void AddResource(const rtl::String& exePath, bool fromText, const rtl::String& value,
                 const rtl::String& resName);

// The update cycle of AddResource with the data itself: adds or replaces RT_RCDATA
// `resName`, language 0, in `exePath`. Throws as AddResource does when the update fails.
void AddResourceData(const rtl::String& exePath, const rtl::String& resName,
                     std::span<const uint8_t> data);

}  // namespace builder
