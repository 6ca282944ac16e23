#pragma once
// Writes `image` with its resource directory replaced by `tree`. The layout rules and the
// header fields it updates are described in pe/resource_editor.h. The plan (every piece of
// the output and the checksum) is complete before `sink` receives anything; a PeError thrown
// by the plan therefore leaves the output untouched.
#include "pe/image.h"
#include "pe/resource_editor.h"
#include "pe/resource_tree.h"

namespace pe {

void WriteImage(const PeImage& image, const ResourceTree& tree, const ByteSink& sink);

}  // namespace pe
