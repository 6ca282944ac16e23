#include "cli/Package.h"

#include <algorithm>

#include "cli/CommandError.h"
#include "platform/CodePage.h"
#include "rtl/Exception.h"
#include "rtl/Path.h"
#include "rtl/String.h"
#include "rtl/TextFile.h"

namespace cli {
namespace {

// The salt text: 64 upper-case hexadecimal digits.
bool IsSaltText(const rtl::String& text) {
    return text.size() == 64 && std::all_of(text.begin(), text.end(), [](char16_t c) {
               return (c >= u'0' && c <= u'9') || (c >= u'A' && c <= u'F');
           });
}

// The check value: Base64 of a 32-byte digest, 43 characters and one "=".
bool IsCheckValueText(const rtl::String& text) {
    const auto isBase64 = [](char16_t c) {
        return (c >= u'A' && c <= u'Z') || (c >= u'a' && c <= u'z') || (c >= u'0' && c <= u'9') ||
               c == u'+' || c == u'/';
    };
    return text.size() == 44 && text.back() == u'=' &&
           std::all_of(text.begin(), text.end() - 1, isBase64);
}

// The IV and at least one whole block of ciphertext.
bool IsEncryptedLayout(size_t size) {
    return size >= 32 && size % 16 == 0;
}

}  // namespace

std::string Utf8(const rtl::String& text) {
    return rtl::Utf8Encode(text);
}

Package::Package(const rtl::String& path) : path_(path) {
    try {
        resources_ = std::make_unique<platform::PeFileResources>(path);
    } catch (const std::exception& error) {
        throw CommandError(kFailure, Utf8(path) + ": not a package: " + error.what());
    }
    std::span<const uint8_t> bytes;
    if (resources_->Find(u"ENCRYPTEDFILE", bytes))
        encrypted_ = bytes;
    else
        missing_.push_back("ENCRYPTEDFILE");
    salt_ = Text(u"SALT");
    fileName_ = Text(u"FILENAME");
    checkValue_ = Text(u"HASH");
}

std::optional<rtl::String> Package::Text(const char16_t* name) {
    std::span<const uint8_t> bytes;
    try {
        if (resources_->Find(name, bytes))
            return rtl::LoadFirstLine(
                std::string_view(reinterpret_cast<const char*>(bytes.data()), bytes.size()),
                platform::AnsiCodePage());
    } catch (const rtl::EListError&) {
    }
    missing_.push_back(Utf8(name));
    return std::nullopt;
}

std::vector<std::string> Package::Problems() const {
    std::vector<std::string> problems;
    for (const std::string& name : missing_) problems.push_back("no resource " + name);
    if (fileName_ && !rtl::IsBareFileName(*fileName_))
        problems.push_back("FILENAME \"" + Utf8(*fileName_) + "\" is not a plain file name");
    if (salt_ && !IsSaltText(*salt_)) problems.push_back("SALT is not 64 hexadecimal digits");
    if (checkValue_ && !IsCheckValueText(*checkValue_))
        problems.push_back("HASH is not the Base64 text of a SHA-256 digest");
    if (encrypted_ && !IsEncryptedLayout(encrypted_->size()))
        problems.push_back("ENCRYPTEDFILE is not an IV followed by whole blocks");
    return problems;
}

void Package::RequireResources() const {
    if (!missing_.empty())
        throw CommandError(kFailure,
                           Utf8(path_) + ": not a package: no resource " + missing_.front());
}

}  // namespace cli
