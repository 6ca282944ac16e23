#pragma once
// A main menu: top-level items without submenus, shown in the order they were added.
#include <vector>

#include "rtl/Component.h"
#include "rtl/String.h"

namespace ui {

class TMenuItem : public rtl::TComponent {
public:
    explicit TMenuItem(rtl::TComponent* AOwner);
    const rtl::String& Caption() const { return caption_; }
    void SetCaption(const rtl::String& value) { caption_ = value; }
    rtl::TNotifyEvent OnClick;

    // Runs OnClick at the event boundary.
    void Click();

private:
    rtl::String caption_;
};

class TMainMenu : public rtl::TComponent {
public:
    explicit TMainMenu(rtl::TComponent* AOwner);
    void Add(TMenuItem* item) { items_.push_back(item); }
    int Count() const { return static_cast<int>(items_.size()); }
    TMenuItem* Items(int index) const;

private:
    std::vector<TMenuItem*> items_;
};

}  // namespace ui
