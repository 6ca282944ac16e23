#include "builder/UnlockedFile.h"

#include "builder/CreatedFiles.h"
#include "builder/UniqueName.h"
#include "platform/Program.h"
#include "rtl/Exception.h"
#include "rtl/Path.h"

namespace builder {

void CheckStoredFileName(const rtl::String& fileName) {
    if (!rtl::IsBareFileName(fileName))
        throw rtl::Exception(u"This package names its file \"" + fileName +
                             u"\", which is not a plain file name: nothing was unlocked");
}

void WriteUnlockedFile(const rtl::String& folder, const rtl::String& fileName,
                       const std::function<void(const rtl::String& partial)>& write) {
    const rtl::String where = folder.empty() ? folder : rtl::IncludeTrailingPathDelimiter(folder);
    CreatedFiles created;
    rtl::String partial;
    try {
        partial = created.Add(ReserveFreeName(where, fileName + u".part"));
    } catch (const rtl::EFCreateError&) {
        throw rtl::Exception(u"Unable to create the file");
    }
    write(partial);
    if (!platform::RenameFileReplacing(partial, where + fileName))
        throw rtl::Exception(u"Unable to create the file");
    created.Commit();
}

}  // namespace builder
