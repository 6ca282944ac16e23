#include "builder/PackageName.h"

#include "rtl/Path.h"

namespace builder {

rtl::String ProposedPackageName(const rtl::String& target) {
    return rtl::ChangeFileExt(rtl::ExtractFileName(target), u"") + u"_encrypted.exe";
}

}  // namespace builder
