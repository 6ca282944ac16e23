#pragma once
// Components: objects with an owner that frees them, a Name and a Tag.
#include <cstdint>
#include <functional>
#include <vector>

#include "rtl/String.h"

namespace rtl {

class TObject {
public:
    virtual ~TObject() = default;
};

// A notification with the object that raised it as sender.
using TNotifyEvent = std::function<void(TObject* Sender)>;

class TComponent : public TObject {
public:
    // Owned components are destroyed with their owner, last created first.
    explicit TComponent(TComponent* AOwner = nullptr);
    ~TComponent() override;
    TComponent(const TComponent&) = delete;
    TComponent& operator=(const TComponent&) = delete;

    TComponent* Owner() const { return owner_; }
    int ComponentCount() const { return static_cast<int>(components_.size()); }
    TComponent* Components(int index) const;

    const String& Name() const { return name_; }
    void SetName(const String& value) { name_ = value; }
    intptr_t Tag() const { return tag_; }
    void SetTag(intptr_t value) { tag_ = value; }

private:
    TComponent* owner_;
    std::vector<TComponent*> components_;
    String name_;
    intptr_t tag_ = 0;
};

}  // namespace rtl
