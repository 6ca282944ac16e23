#include "builder/OrvCofrex.h"

#include <algorithm>

#include "builder/CreatedFiles.h"
#include "builder/PackageResources.h"
#include "builder/ResourceStore.h"
#include "builder/UniqueName.h"
#include "crypto/MiscObj.h"
#include "platform/File.h"
#include "rtl/Exception.h"
#include "rtl/Path.h"
#include "rtl/Stream.h"

namespace {

constexpr char16_t kUnlockerName[] = u"UnCofrex.exe";
constexpr char16_t kWorkFileName[] = u"resource.txt";

// A package resource is one block below 2 GiB; the encrypted file adds the
// IV and up to one block of padding to the target.
void CheckTargetFits(const rtl::String& encFile) {
    constexpr int64_t kLimit = INT64_C(1) << 31;
    const int64_t size = rtl::TFileStream(encFile, rtl::fmOpenRead | rtl::fmShareDenyWrite).Size();
    if (16 + (size / 16 + 1) * 16 >= kLimit)
        throw rtl::Exception(u"The file \"" + encFile +
                             u"\" is too large to be locked: a package holds files below 2 GB.");
}

// Overwrites a secret text when it goes out of scope.
struct WipeOnExit {
    rtl::String& secret;
    ~WipeOnExit() { std::fill(secret.begin(), secret.end(), u'\0'); }
};

[[noreturn]] void PackageNotSaved(const rtl::String& outputFile, const rtl::String& reason) {
    throw rtl::Exception(u"The package could not be saved as \"" + outputFile + u"\". " + reason +
                         u".");
}

// The unlocker copy is replaced before the package is written: it can be neither
// the target nor the output, whatever the spelling of their paths.
void CheckNotTheUnlockerCopy(const rtl::String& unlockerCopy, const rtl::String& encFile,
                             const rtl::String& outputFile) {
    if (platform::SameFile(encFile, unlockerCopy))
        throw rtl::Exception(u"The file \"" + encFile +
                             u"\" is the unlocker copy that every lock replaces: it cannot be "
                             u"locked.");
    if (platform::SameLocation(outputFile, unlockerCopy))
        throw rtl::Exception(u"The package cannot be saved as \"" + outputFile +
                             u"\": the lock prepares its unlocker copy there.");
}

// Reserves the work file beside the target; failing that, the encryption's own
// message for an output it cannot create.
rtl::String ReserveWorkFile(const rtl::String& encFile) {
    try {
        return builder::ReserveFreeName(rtl::ExtractFilePath(encFile), kWorkFileName);
    } catch (const rtl::EFCreateError&) {
        throw rtl::Exception(u"Unable to create the file");
    }
}

// Copies the finished unlocker copy into the output folder and renames it to the
// output name, which it never replaces. Every failure names the output file.
void SavePackage(const rtl::String& unlockerCopy, const rtl::String& outputFile,
                 builder::CreatedFiles& created) {
    rtl::String intermediate;
    try {
        intermediate =
            created.Add(builder::ReserveFreeName(rtl::ExtractFilePath(outputFile), kUnlockerName));
    } catch (const rtl::EFCreateError&) {
        PackageNotSaved(outputFile, platform::LastErrorText());
    }
    if (!platform::CopyFileOver(unlockerCopy, intermediate))
        PackageNotSaved(outputFile, platform::LastErrorText());
    if (!platform::RenameFile(intermediate, outputFile)) {
        PackageNotSaved(outputFile, platform::FileExists(outputFile)
                                        ? rtl::String(u"A file of that name already exists")
                                        : platform::LastErrorText());
    }
}

}  // namespace

TCofrex::TCofrex() : TOrvCryptBase(nullptr), FUnCofrexExePath(platform::AppDataFolder()) {
    SetUpComponents();
}

TCofrex::TCofrex(rtl::TComponent* AOwner)
    : TOrvCryptBase(AOwner), FUnCofrexExePath(platform::AppDataFolder()) {
    SetUpComponents();
}

TCofrex::TCofrex(const rtl::String& UnCofrexPath)
    : TOrvCryptBase(nullptr), FUnCofrexExePath(UnCofrexPath) {
    SetUpComponents();
}

TCofrex::~TCofrex() {
    Faes.reset();
    Fargon.reset();
    Fsha2.reset();
}

void TCofrex::SetUpComponents() {
    Faes = std::make_unique<TAESEncryption>();
    Faes->SetKeyLength(TAESKeyLength::kl256);
    Faes->SetOnChange([this](rtl::TObject* Sender) { AesProgressChanged(Sender); });
    Fargon = std::make_unique<TArgon2KeyDerivation>();
    Fargon->SetOutputSizeBytes(32);
    Fargon->SetOutputFormat(TConvertType::raw);
    Fsha2 = std::make_unique<TSHA2Hash>(256, TConvertType::base64, TUnicode::yesUni);
}

void TCofrex::SetProgress(int32_t value) {
    if (value == FProgress) return;
    FProgress = value;
    Change();
}

void TCofrex::Change() {
    if (FOnChange) FOnChange(this);
}

void TCofrex::AesProgressChanged(rtl::TObject*) {
    SetProgress(Faes->Progress());
}

rtl::String TCofrex::UnlockerCopyPath() const {
    return rtl::IncludeTrailingPathDelimiter(FUnCofrexExePath) + kUnlockerName;
}

void TCofrex::Execute(const rtl::String& encFile, const rtl::String& password,
                      const rtl::String& outputFile) {
    rtl::String salt;
    {
        TConvert convert(TConvertType::hexa);
        salt = convert.StringToFormat(convert.RandomString(32));
    }
    Fargon->SetStringSalt(salt);
    rtl::String key = Fargon->GenerateKey(password);
    const WipeOnExit keyWipe{key};
    const rtl::String checkValue = Fsha2->Hash(password + Fargon->StringSalt());
    const rtl::String name = rtl::ExtractFileName(encFile);

    rtl::String unlockerCopy = UnlockerCopyPath();
    CheckNotTheUnlockerCopy(unlockerCopy, encFile, outputFile);
    CheckTargetFits(encFile);
    builder::CreatedFiles created;
    const rtl::String workFile = created.Add(ReserveWorkFile(encFile));
    Faes->SetKey(key);
    Faes->EncryptFileW(encFile, workFile);

    builder::ReadResource(builder::kUnlockerResource, false, unlockerCopy);
    WritePackageResources(workFile, name, checkValue);
    SavePackage(unlockerCopy, outputFile, created);
    platform::RemoveFile(workFile);
    created.Commit();
}

void TCofrex::WritePackageResources(const rtl::String& workFile, const rtl::String& name,
                                    const rtl::String& checkValue) {
    const rtl::String target = rtl::ExpandFileName(UnlockerCopyPath());
    AddResource(target, false, workFile, builder::kEncryptedFileResource);
    AddResource(target, true, Fargon->StringSalt(), builder::kSaltResource);
    AddResource(target, true, name, builder::kFileNameResource);
    AddResource(target, true, checkValue, builder::kHashResource);
}

void TCofrex::AddResource(const rtl::String& exePath, bool fromText, const rtl::String& value,
                          const rtl::String& resName) {
    builder::AddResource(exePath, fromText, value, resName);
}
