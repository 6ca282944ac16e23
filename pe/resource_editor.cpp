#include "pe/resource_editor.h"


#include "pe/error.h"
#include "pe/image_writer.h"
#include "pe/resource_writer.h"

namespace pe {

ResourceEditor::ResourceEditor(std::span<const uint8_t> image)
    : image_(image), tree_(ReadResourceTree(image_)) {}

const ResourceData* ResourceEditor::Find(const ResourceId& type, const ResourceId& name,
                                         const ResourceId& language) const {
    const auto t = tree_.types.find(type);
    if (t == tree_.types.end()) return nullptr;
    const auto n = t->second.names.find(name);
    if (n == t->second.names.end()) return nullptr;
    const auto l = n->second.languages.find(language);
    return l == n->second.languages.end() ? nullptr : &l->second;
}

const ResourceData* ResourceEditor::Find(const ResourceId& type, const ResourceId& name) const {
    const auto t = tree_.types.find(type);
    if (t == tree_.types.end()) return nullptr;
    const auto n = t->second.names.find(name);
    if (n == t->second.names.end() || n->second.languages.empty()) return nullptr;
    const auto& languages = n->second.languages;
    const auto neutral = languages.find(ResourceId(kLangNeutral));
    return neutral != languages.end() ? &neutral->second : &languages.begin()->second;
}

void ResourceEditor::Set(const ResourceId& type, const ResourceId& name, const ResourceId& language,
                         std::span<const uint8_t> data, uint32_t codePage) {
    if (data.size() > kMaxResourceSize) {
        throw PeError("resource data of 2 GiB or more cannot be stored");
    }
    tree_.types[type].names[name].languages[language] = ResourceData{data, codePage};
}

void ResourceEditor::Set(const ResourceId& type, const ResourceId& name, const ResourceId& language,
                         std::vector<uint8_t>&& data, uint32_t codePage) {
    if (data.size() > kMaxResourceSize) {
        throw PeError("resource data of 2 GiB or more cannot be stored");
    }
    owned_.push_back(std::move(data));
    Set(type, name, language, owned_.back(), codePage);
}

bool ResourceEditor::Remove(const ResourceId& type, const ResourceId& name,
                            const ResourceId& language) {
    const auto t = tree_.types.find(type);
    if (t == tree_.types.end()) return false;
    const auto n = t->second.names.find(name);
    if (n == t->second.names.end() || n->second.languages.erase(language) == 0) return false;
    if (n->second.languages.empty()) t->second.names.erase(n);
    if (t->second.names.empty()) tree_.types.erase(t);
    return true;
}

std::optional<ImagePatch> ResourceEditor::PlanInPlace() const {
    return PlanAppend(image_, tree_);
}

void ResourceEditor::Write(const ByteSink& sink) const {
    WriteImage(image_, tree_, sink);
}

std::vector<uint8_t> ResourceEditor::ToBytes() const {
    std::vector<uint8_t> out;
    Write([&out](std::span<const uint8_t> bytes) {
        out.insert(out.end(), bytes.begin(), bytes.end());
    });
    return out;
}

}  // namespace pe
