#pragma once
// Unit OrvCofrex: TCofrex, the package builder. One Execute turns a target file
// and a password into a package: the unlocker program carrying the encrypted
// file, the salt text, the file name and the password check value as RT_RCDATA
// resources ENCRYPTEDFILE, SALT, FILENAME and HASH.
#include <cstdint>
#include <memory>

#include "crypto/AESObj.h"
#include "crypto/CryptBase.h"
#include "crypto/HashObj.h"
#include "rtl/Component.h"
#include "rtl/String.h"

class TCofrex : public TOrvCryptBase {
public:
    // The unlocker folder is the user's roaming application-data folder.
    TCofrex();
    explicit TCofrex(rtl::TComponent* AOwner);
    // The unlocker folder is `UnCofrexPath`.
    explicit TCofrex(const rtl::String& UnCofrexPath);
    ~TCofrex() override;

    int32_t Progress() const { return FProgress; }
    // A different value is stored and raises OnChange; an equal one does nothing.
    void SetProgress(int32_t value);
    const rtl::TNotifyEvent& OnChange() const { return FOnChange; }
    void SetOnChange(rtl::TNotifyEvent value) { FOnChange = std::move(value); }
    // Where Execute prepares the unlocker copy "UnCofrex.exe".
    const rtl::String& UnCofrexExePath() const { return FUnCofrexExePath; }
    void SetUnCofrexExePath(const rtl::String& value) { FUnCofrexExePath = value; }

    // Writes the package of `encFile` under `password` to `outputFile`, which must
    // not exist yet. Files are laid out as:
    //   work file          "resource.txt" beside the target (another free name
    //                      when that one is taken), removed at the end
    //   unlocker copy      UnCofrex.exe in the unlocker folder; after the lock a
    //                      complete copy of the package
    //   intermediate copy  "UnCofrex.exe" in the output folder (another free name
    //                      when that one is taken), renamed to `outputFile`
    // After a failure the work file and the intermediate copy are removed; the
    // target and files that existed before are never touched. A target that is
    // the unlocker copy, or an output where the unlocker copy is made, is refused
    // before anything is written.
    void Execute(const rtl::String& encFile, const rtl::String& password,
                 const rtl::String& outputFile);

protected:
    virtual void Change();
    // One resource write of the package into the unlocker copy (the store's
    // AddResource); a class made for tests can make one of them fail.
    virtual void AddResource(const rtl::String& exePath, bool fromText, const rtl::String& value,
                             const rtl::String& resName);

private:
    void AesProgressChanged(rtl::TObject* Sender);
    void SetUpComponents();
    void WritePackageResources(const rtl::String& workFile, const rtl::String& name,
                               const rtl::String& checkValue);
    rtl::String UnlockerCopyPath() const;

    std::unique_ptr<TAESEncryption> Faes;
    std::unique_ptr<TSHA2Hash> Fsha2;
    std::unique_ptr<TArgon2KeyDerivation> Fargon;
    int32_t FProgress = 0;
    rtl::TNotifyEvent FOnChange;
    rtl::String FUnCofrexExePath;
};
