#include "builder/PackageVerify.h"

#include <algorithm>
#include <array>
#include <optional>
#include <string>
#include <vector>

#include "builder/PackageResources.h"
#include "builder/ResourceStore.h"
#include "builder/UniqueName.h"
#include "pe/error.h"
#include "pe/format.h"
#include "pe/resource_editor.h"
#include "platform/File.h"
#include "platform/MappedFile.h"
#include "platform/Utf8.h"
#include "rtl/Exception.h"
#include "rtl/Path.h"
#include "rtl/Stream.h"

namespace builder {
namespace {

using Bytes = std::span<const uint8_t>;
using PackageData = std::array<Bytes, kPackageResources.size()>;

constexpr char16_t kRebuiltName[] = u"cofrex-verify.exe";
constexpr size_t kAesBlock = 16;

rtl::String Number(uint64_t n) {
    return platform::Utf8Decode(std::to_string(n));
}

rtl::String Describe(const pe::ResourceId& id) {
    return id.IsName() ? id.Name() : Number(id.Id());
}

rtl::String DescribeResource(const pe::ResourceId& type, const pe::ResourceId& name,
                             const pe::ResourceId& language) {
    return u"type " + Describe(type) + u", name " + Describe(name) + u", language " +
           Describe(language);
}

bool SameBytes(Bytes a, Bytes b) {
    return std::ranges::equal(a, b);
}

// The copy of the unlocker that the four resources are written into; removed at the end.
struct RebuiltCopy {
    rtl::String path;
    platform::MappedFile view;
    ~RebuiltCopy() {
        view.Close();
        if (!path.empty()) platform::RemoveFile(path);
    }
};

// The package's four resources, or why it cannot be a package at all.
std::optional<PackageCheck> TakePackageData(const pe::ResourceEditor& package, PackageData& data) {
    for (size_t i = 0; i < data.size(); ++i) {
        const pe::ResourceData* found = package.Find(pe::kRtRcData, kPackageResources[i]);
        if (found == nullptr)
            return PackageCheck{
                PackageVerdict::resourceMissing,
                u"the resource " + rtl::String(kPackageResources[i]) + u" is missing"};
        data[i] = found->bytes;
    }
    const size_t encrypted = data[0].size();
    if (encrypted < 2 * kAesBlock || encrypted % kAesBlock != 0)
        return PackageCheck{PackageVerdict::resourceCutShort,
                            u"the resource ENCRYPTEDFILE is cut short: " + Number(encrypted) +
                                u" bytes are not an IV followed by whole blocks"};
    return std::nullopt;
}

// The lock's steps over `unlocker`: a copy of it, then the four update cycles in order.
void Rebuild(RebuiltCopy& copy, Bytes unlocker, const PackageData& data) {
    copy.path = ReserveFreeName(platform::TempFolder(), kRebuiltName);
    {
        rtl::TFileStream out(copy.path, rtl::fmCreate);
        out.WriteBuffer(unlocker.data(), static_cast<int64_t>(unlocker.size()));
    }
    for (size_t i = 0; i < data.size(); ++i)
        AddResourceData(copy.path, kPackageResources[i], data[i]);
    if (!copy.view.Open(copy.path))
        throw rtl::EFOpenError(rtl::ExpandFileName(copy.path), platform::LastErrorText());
}

struct Range {
    uint64_t offset;
    uint64_t length;
};

// Header fields that a resource update leaves as they are: machine, time stamp,
// optional header size and characteristics of the file header; everything in the
// optional header up to the data directories except the sizes and the checksum.
constexpr Range kFileHeaderFields[] = {{0, 2}, {4, 4}, {16, 4}};
constexpr Range kOptionalHeaderFields[] = {{0, 8}, {16, 40}, {68, 44}};

bool SameFields(const pe::PeImage& a, uint64_t aBase, const pe::PeImage& b, uint64_t bBase,
                std::span<const Range> fields) {
    return std::ranges::all_of(fields, [&](const Range& r) {
        return SameBytes(a.File().Bytes(aBase + r.offset, r.length, "header"),
                         b.File().Bytes(bBase + r.offset, r.length, "header"));
    });
}

bool IsResourceSection(const pe::Section& s) {
    static constexpr std::array<uint8_t, 8> kName = {'.', 'r', 's', 'r', 'c', 0, 0, 0};
    return s.name == kName;
}

// Relocations and debug information: nothing in the program addresses them, so another
// resource writer may move them when the resources grow.
bool IsDiscardable(const pe::Section& s) {
    constexpr uint32_t kMemDiscardable = 0x02000000;
    return (s.characteristics & kMemDiscardable) != 0;
}

std::vector<pe::Section> CodeSections(const pe::PeImage& image) {
    std::vector<pe::Section> sections;
    std::ranges::copy_if(image.Sections(), std::back_inserter(sections),
                         [](const pe::Section& s) { return !IsResourceSection(s); });
    return sections;
}

// Every section but the resources' own: same name, size, rights and bytes, and the same
// place unless it is discardable.
bool SameSections(const pe::PeImage& a, const pe::PeImage& b) {
    const std::vector<pe::Section> x = CodeSections(a);
    const std::vector<pe::Section> y = CodeSections(b);
    if (x.size() != y.size()) return false;
    for (size_t i = 0; i < x.size(); ++i) {
        if (x[i].name != y[i].name || x[i].virtualSize != y[i].virtualSize ||
            x[i].sizeOfRawData != y[i].sizeOfRawData ||
            x[i].characteristics != y[i].characteristics ||
            (x[i].virtualAddress != y[i].virtualAddress && !IsDiscardable(x[i])))
            return false;
        if (!SameBytes(a.File().Bytes(x[i].pointerToRawData, x[i].sizeOfRawData, "section"),
                       b.File().Bytes(y[i].pointerToRawData, y[i].sizeOfRawData, "section")))
            return false;
    }
    return true;
}

// Where an address points: the name of the section holding it and the offset in it, or
// the address itself outside every section.
std::pair<std::array<uint8_t, 8>, uint64_t> Locate(const pe::PeImage& image, uint32_t rva) {
    for (const pe::Section& s : image.Sections()) {
        if (rva >= s.virtualAddress && rva < s.VirtualEnd())
            return {s.name, rva - s.virtualAddress};
    }
    return {{}, rva};
}

bool SameHeaders(const pe::PeImage& a, const pe::PeImage& b) {
    if (!SameBytes(a.File().Bytes(0, a.FileHeaderOffset(), "DOS header"),
                   b.File().Bytes(0, b.FileHeaderOffset(), "DOS header")))
        return false;
    if (!SameFields(a, a.FileHeaderOffset(), b, b.FileHeaderOffset(), kFileHeaderFields) ||
        !SameFields(a, a.OptionalHeaderOffset(), b, b.OptionalHeaderOffset(),
                    kOptionalHeaderFields))
        return false;
    const uint32_t directories = std::max(a.NumberOfRvaAndSizes(), b.NumberOfRvaAndSizes());
    for (uint32_t i = 0; i < directories; ++i) {
        if (i == pe::format::kDirResource || i == pe::format::kDirCertificate) continue;
        const pe::DataDirectory x = a.Directory(i);
        const pe::DataDirectory y = b.Directory(i);
        if (x.size != y.size || Locate(a, x.virtualAddress) != Locate(b, y.virtualAddress))
            return false;
    }
    return true;
}

// Calls visit(type, name, language, data) for every resource of `tree` until it returns true.
template <typename Visit>
bool AnyResource(const pe::ResourceTree& tree, Visit visit) {
    for (const auto& [type, names] : tree.types)
        for (const auto& [name, languages] : names.names)
            for (const auto& [language, data] : languages.languages)
                if (visit(type, name, language, data)) return true;
    return false;
}

const pe::ResourceData* FindExactly(const pe::ResourceTree& tree, const pe::ResourceId& type,
                                    const pe::ResourceId& name, const pe::ResourceId& language) {
    const auto t = tree.types.find(type);
    if (t == tree.types.end()) return nullptr;
    const auto n = t->second.names.find(name);
    if (n == t->second.names.end()) return nullptr;
    const auto l = n->second.languages.find(language);
    return l == n->second.languages.end() ? nullptr : &l->second;
}

// A resource of the rebuilt copy that the package lacks or holds with other bytes.
std::optional<rtl::String> ChangedResource(const pe::ResourceTree& package,
                                           const pe::ResourceTree& rebuilt) {
    std::optional<rtl::String> changed;
    AnyResource(rebuilt, [&](const auto& type, const auto& name, const auto& language,
                             const pe::ResourceData& data) {
        const pe::ResourceData* theirs = FindExactly(package, type, name, language);
        if (theirs != nullptr && SameBytes(theirs->bytes, data.bytes)) return false;
        changed = DescribeResource(type, name, language);
        return true;
    });
    return changed;
}

std::optional<rtl::String> ExtraResource(const pe::ResourceTree& package,
                                         const pe::ResourceTree& rebuilt) {
    std::optional<rtl::String> extra;
    AnyResource(package, [&](const auto& type, const auto& name, const auto& language,
                             const pe::ResourceData&) {
        if (FindExactly(rebuilt, type, name, language) != nullptr) return false;
        extra = DescribeResource(type, name, language);
        return true;
    });
    return extra;
}

uint64_t OverlaySize(const pe::PeImage& image) {
    return image.File().size() - std::min(image.File().size(), image.EndOfSectionData());
}

// The first difference between a package and the copy rebuilt from its resources.
PackageCheck FirstDifference(const pe::ResourceEditor& package, const pe::ResourceEditor& rebuilt) {
    const pe::PeImage& p = package.Image();
    const pe::PeImage& r = rebuilt.Image();
    if (!SameHeaders(p, r) || !SameSections(p, r))
        return {PackageVerdict::codeDiffers, u"its code differs from the unlocker's"};
    if (const auto changed = ChangedResource(package.Resources(), rebuilt.Resources()))
        return {PackageVerdict::codeDiffers,
                u"its resource (" + *changed + u") differs from the unlocker's"};
    if (const auto extra = ExtraResource(package.Resources(), rebuilt.Resources()))
        return {PackageVerdict::extraResources,
                u"it carries a resource the locker does not write (" + *extra + u")"};
    if (p.Directory(pe::format::kDirCertificate).size != 0)
        return {PackageVerdict::signatureAdded, u"a signature (certificate table) was added to it"};
    if (OverlaySize(p) > OverlaySize(r))
        return {PackageVerdict::overlay,
                Number(OverlaySize(p) - OverlaySize(r)) + u" bytes were added after the image"};
    return {PackageVerdict::resourcesRewritten,
            u"its resources were written by another program than the locker"};
}

}  // namespace

PackageCheck VerifyPackage(const rtl::String& packagePath, Bytes unlocker) {
    const pe::PeImage unlockerImage(unlocker);
    platform::MappedFile packageView;
    if (!packageView.Open(packagePath))
        throw rtl::EFOpenError(rtl::ExpandFileName(packagePath), platform::LastErrorText());
    const Bytes packageBytes = packageView.Bytes();

    std::optional<pe::ResourceEditor> package;
    try {
        package.emplace(packageBytes);
    } catch (const pe::PeError& error) {
        return {PackageVerdict::notAnImage,
                u"it is not a Windows program: " + platform::Utf8Decode(error.what())};
    }
    PackageData data;
    if (auto missing = TakePackageData(*package, data)) return *missing;

    RebuiltCopy copy;
    Rebuild(copy, unlocker, data);
    if (SameBytes(packageBytes, copy.view.Bytes())) return {};
    return FirstDifference(*package, pe::ResourceEditor(copy.view.Bytes()));
}

}  // namespace builder
