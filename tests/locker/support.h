#pragma once
// Shared fixture of the locker tests: the locker started as its entry point starts it,
// on the headless backend, carrying the fixture program as its unlocker, in a scratch
// folder that is also the temporary and (natively) the application-data folder.
#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <ostream>

#include "locker/AboutFormLock.h"
#include "locker/CopyrightFormLock.h"
#include "locker/HelpFormLock.h"
#include "locker/MainFormLock.h"
#include "locker/Program.h"
#include "platform/Resources.h"
#include "tests/builder/support.h"
#include "ui/headless/Driver.h"

namespace ui::headless {
inline void PrintTo(const MessageBoxShown& box, std::ostream* out) {
    *out << "{" << rtl::Utf8Encode(box.Caption) << ", " << rtl::Utf8Encode(box.Text) << ", "
         << (box.Icon == TMsgIcon::stop ? "stop" : "none") << "}";
}
}  // namespace ui::headless

namespace locker_test {

using rtl::String;
using ui::headless::MessageBoxShown;

class Locker : public builder_test::ScratchFolder {
protected:
    void SetUp() override {
        ScratchFolder::SetUp();
        std::filesystem::create_directories(std::filesystem::path(Path(u"appdata")));
#ifndef _WIN32
        setenv("XDG_DATA_HOME", rtl::Utf8Encode(Path(u"appdata")).c_str(), 1);
#endif
        unlocker_.Add(u"UNCOFREX", builder_test::ReadAll(builder_test::FixtureExe()));
        platform::SetRunningProgramResources(&unlocker_);
        Start(ui::kDesignDpi);
    }
    void TearDown() override {
        ui::headless::Reset();
        platform::SetRunningProgramResources(nullptr);
#ifndef _WIN32
        unsetenv("XDG_DATA_HOME");
#endif
        ScratchFolder::TearDown();
    }

    // Starts the locker afresh with its windows laid out at `dpi`.
    void Start(int dpi) {
        ui::headless::Reset(dpi);
        RunCofrex();
        form_ = Form1;
    }

    // The user picks `target` in the open dialog and types both passwords.
    void Fill(const String& target, const String& password, const String& confirmation) {
        ui::headless::AnswerNextFileDialog(target);
        ui::headless::Click(*form_->SpeedButton1);
        ui::headless::Type(*form_->Edit3, password);
        ui::headless::Type(*form_->Edit2, confirmation);
    }
    // The user presses the padlock and answers the save dialog with `chosen`, or
    // cancels it.
    void PressLock(std::optional<String> chosen) {
        ui::headless::AnswerNextFileDialog(std::move(chosen));
        ui::headless::Click(*form_->SpeedButton2);
    }

    static MessageBoxShown ErrorBox(const String& text) {
        return {ui::Application().Title(), text, ui::TMsgIcon::stop};
    }
    static std::vector<MessageBoxShown> Boxes() {
        return ui::headless::MessageBoxes();
    }

    platform::MemoryResources unlocker_;
    TForm1* form_ = nullptr;
};

}  // namespace locker_test
