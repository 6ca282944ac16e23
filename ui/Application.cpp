#include "platform/Program.h"
#include "rtl/Exception.h"
#include "rtl/Path.h"
#include "ui/Dialogs.h"
#include "ui/Forms.h"
#include "ui/Peer.h"

namespace ui {
namespace {

// Lower and upper case of the characters a file name can hold; Latin-1 and ASCII
// are enough for the title, other characters are kept as they are.
char16_t Lower(char16_t c) {
    if ((c >= u'A' && c <= u'Z') || (c >= 0xC0 && c <= 0xDE && c != 0xD7)) return c + 0x20;
    return c;
}

char16_t Upper(char16_t c) {
    if ((c >= u'a' && c <= u'z') || (c >= 0xE0 && c <= 0xFE && c != 0xF7)) return c - 0x20;
    return c;
}

}  // namespace

TApplication::TApplication() = default;
TApplication::~TApplication() = default;

void TApplication::Initialize() {
    backend::Initialize();
    title_ = TitleFromFileName(platform::RunningProgramFileName());
}

void TApplication::FormCreated(TForm* form) {
    if (!mainForm_) mainForm_ = form;
}

void TApplication::Run() {
    if (!mainForm_ || terminated_) return;
    mainForm_->Show();
    backend::RunMessageLoop();
}

void TApplication::Terminate() {
    if (terminated_) return;
    terminated_ = true;
    backend::QuitMessageLoop();
}

void TApplication::ShowException(const std::exception& error) {
    ShowMessageBox(ErrorDisplayText(ExceptionMessage(error)), title_, TMsgIcon::stop);
}

void TApplication::RunHandler(const std::function<void()>& handler) {
    try {
        handler();
    } catch (const std::exception& error) {
        ShowException(error);
    } catch (...) {
        ShowException(rtl::Exception(u"Unexpected error"));
    }
}

rtl::String TitleFromFileName(rtl::StringView path) {
    rtl::String title = rtl::ExtractFileName(path);
    title = title.substr(0, title.find(u'.'));
    for (size_t i = 0; i < title.size(); ++i) title[i] = i == 0 ? Upper(title[i]) : Lower(title[i]);
    return title;
}

rtl::String ErrorDisplayText(rtl::StringView message) {
    rtl::String text(message);
    if (!text.empty() && text.back() > u'.') text += u'.';
    return text;
}

rtl::String ExceptionMessage(const std::exception& error) {
    if (const auto* own = dynamic_cast<const rtl::Exception*>(&error)) return own->Message();
    return rtl::Utf8Decode(error.what());
}

}  // namespace ui
