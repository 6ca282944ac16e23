#include "builder/UniqueName.h"

#include "platform/File.h"
#include "rtl/Exception.h"
#include "rtl/Path.h"

namespace builder {

rtl::String ReserveFreeName(const rtl::String& folder, const rtl::String& name) {
    constexpr int kAttempts = 1000;
    const rtl::String extension = rtl::ExtractFileExt(name);
    const rtl::String stem = name.substr(0, name.size() - extension.size());
    for (int n = 1; n <= kAttempts; ++n) {
        const rtl::String candidate =
            folder + (n == 1 ? name : stem + u" (" + rtl::IntToStr(n) + u")" + extension);
        platform::File file =
            platform::File::Open(candidate, platform::Access::write, platform::Share::denyNone,
                                 platform::Disposition::createNew);
        if (file.IsOpen()) return candidate;
        if (!platform::FileExists(candidate)) break;  // not taken: the folder refuses it
    }
    throw rtl::EFCreateError(rtl::ExpandFileName(folder + name), platform::LastErrorText());
}

}  // namespace builder
