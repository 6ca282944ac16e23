#pragma once
// The file version that an image's version information (RT_VERSION) declares: the fixed
// part of VS_VERSIONINFO, VS_FIXEDFILEINFO, whose dwFileVersionMS and dwFileVersionLS hold
// the four numbers.
#include <optional>
#include <string>

#include "pe/resource_tree.h"

namespace pe {

// "major.minor.build.revision" of the first RT_VERSION resource (lowest name, then lowest
// language); nothing when the image has none or it holds no VS_FIXEDFILEINFO.
std::optional<std::string> FileVersion(const ResourceTree& resources);

}  // namespace pe
