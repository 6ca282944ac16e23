// The unlock: the password is checked against HASH before the key is derived, and
// the file is decrypted straight from the mapped ENCRYPTEDFILE into a partial file
// that replaces the stored name only when it is whole (builder/UnlockedFile.h).
#include "cli/UnlockCommand.h"

#include <algorithm>

#include "builder/UnlockedFile.h"
#include "cli/Arguments.h"
#include "cli/CommandError.h"
#include "cli/Console.h"
#include "cli/Interrupt.h"
#include "cli/Package.h"
#include "cli/Password.h"
#include "cli/Progress.h"
#include "cli/SpanStream.h"
#include "crypto/AESObj.h"
#include "crypto/HashObj.h"
#include "platform/File.h"
#include "rtl/Exception.h"
#include "rtl/Path.h"

namespace cli {
namespace {

constexpr char kUsageLine[] = "cofrex unlock PACKAGE [-C DIR] [--password-stdin]";
constexpr OptionSpec kOptions[] = {
    {"-C", "--directory", true},
    {nullptr, "--password-stdin", false},
};

struct WipeOnExit {
    rtl::String& secret;
    ~WipeOnExit() { std::fill(secret.begin(), secret.end(), u'\0'); }
};

// Unlocker settings: SHA-256 in Base64 over the UTF-8 bytes of password and salt text.
bool PasswordMatches(const rtl::String& password, const Package& package,
                     TArgon2KeyDerivation& argon) {
    TSHA2Hash sha2(256, TConvertType::base64, TUnicode::yesUni);
    return sha2.Hash(password + argon.StringSalt()) == *package.CheckValue();
}

void Decrypt(const Package& package, const rtl::String& key, const rtl::String& folder) {
    TAESEncryption aes;
    aes.SetKeyLength(TAESKeyLength::kl256);
    aes.SetKey(key);
    ProgressBar bar(CurrentConsole(), "Unlocking",
                    static_cast<int64_t>(package.EncryptedFile()->size()));
    aes.SetOnChange([&](rtl::TObject*) {
        ThrowIfInterrupted();
        bar.Update(aes.Progress());
    });
    builder::WriteUnlockedFile(folder, *package.FileName(), [&](const rtl::String& partial) {
        SpanStream encrypted(*package.EncryptedFile());
        rtl::TFileStream out(partial, rtl::fmOpenWrite | rtl::fmShareExclusive);
        aes.DecryptStream(encrypted, out);
    });
}

// The partial file's creation fails with a bare message: the system's reason is added.
std::string WithReason(const std::exception& error) {
    const std::string message = error.what();
    if (message != "Unable to create the file") return message;
    return message + " (" + Utf8(platform::LastErrorText()) + ")";
}

}  // namespace

int RunUnlockCommand(const std::vector<std::string>& args) {
    const Arguments arguments = ParseArguments(args, kOptions);
    ExpectOperands(arguments, 1, kUsageLine);
    const rtl::String path = PathOperand(arguments.operands[0]);
    const rtl::String folder = PathOperand(arguments.Value("--directory"));

    const Package package(path);
    package.RequireResources();
    try {
        builder::CheckStoredFileName(*package.FileName());
    } catch (const rtl::Exception& error) {
        throw CommandError(kFailure, Utf8(path) + ": " + error.what());
    }
    rtl::String password = ReadPassword(CurrentConsole(), arguments.Has("--password-stdin"));
    const WipeOnExit passwordWipe{password};

    TArgon2KeyDerivation argon;
    argon.SetOutputSizeBytes(32);
    argon.SetOutputFormat(TConvertType::raw);
    argon.SetStringSalt(*package.Salt());
    if (!PasswordMatches(password, package, argon))
        throw CommandError(kWrongPassword, Utf8(path) + ": Bad password: nothing was unlocked");
    rtl::String key = argon.GenerateKey(password);
    const WipeOnExit keyWipe{key};

    const rtl::String target =
        (folder.empty() ? folder : rtl::IncludeTrailingPathDelimiter(folder)) + *package.FileName();
    try {
        Decrypt(package, key, folder);
    } catch (const Interrupted&) {
        throw CommandError(kFailure, "interrupted: " + Utf8(target) + " was not written");
    } catch (const std::exception& error) {
        throw CommandError(kFailure, Utf8(target) + ": not unlocked: " + WithReason(error));
    }
    CurrentConsole().Out(Utf8(target) + "\n");
    return kSuccess;
}

}  // namespace cli
