#pragma once
// Forms and the application object: start-up, the message loop, the application
// title and the error display.
#include <exception>
#include <functional>
#include <memory>

#include "rtl/Component.h"
#include "rtl/String.h"
#include "ui/Controls.h"
#include "ui/Menus.h"

namespace ui {

// A top-level window, centred on the screen, in Tahoma 8 pt (11 pixels at 96 DPI).
// Closing the main form ends the program; closing any other form only hides it.
class TForm : public TWinControl {
public:
    explicit TForm(rtl::TComponent* AOwner);
    ~TForm() override;

    const rtl::String& Caption() const { return caption_; }
    void SetCaption(const rtl::String& value);
    // Client size in pixels at 96 DPI.
    int ClientWidth() const { return clientWidth_; }
    int ClientHeight() const { return clientHeight_; }
    void SetClientSize(int width, int height);
    TColor Color() const { return color_; }
    void SetColor(TColor value) { color_ = value; }
    bool Sizeable() const { return sizeable_; }
    void SetSizeable(bool value) { sizeable_ = value; }
    TMainMenu* Menu() const { return menu_; }
    void SetMenu(TMainMenu* value) { menu_ = value; }
    // The icon group resource shown in the title bar and the task bar.
    const rtl::String& IconResource() const { return iconResource_; }
    void SetIconResource(const rtl::String& value) { iconResource_ = value; }
    // The control that has the focus when the form is first shown.
    TWinControl* ActiveControl() const { return activeControl_; }
    void SetActiveControl(TWinControl* value) { activeControl_ = value; }

    // Makes the form visible and brings it to the front; creates its window first.
    void Show();
    void Hide();
    void Close();

    // The DPI the form is laid out for.
    int Dpi() const { return dpi_; }
    // For backends: the client area now measures width x height device pixels at
    // `dpi`; the controls are laid out again.
    void ClientResized(int width, int height, int dpi);
    // Lays the controls out again in the current client area.
    void Realign();
    // For backends: creates the peers of the form and its controls if not yet done.
    void HandleNeeded();

private:
    rtl::String caption_;
    int clientWidth_ = 0;
    int clientHeight_ = 0;
    TColor color_ = TColor::clBtnFace;
    bool sizeable_ = true;
    TMainMenu* menu_ = nullptr;
    rtl::String iconResource_ = u"MAINICON";
    TWinControl* activeControl_ = nullptr;
    int dpi_ = kDesignDpi;
};

class TApplication : public rtl::TComponent {
public:
    TApplication();
    ~TApplication() override;

    // Sets the title from the running program's file name.
    void Initialize();
    // The task-bar button belongs to the main form and shows its caption.
    bool MainFormOnTaskbar() const { return mainFormOnTaskbar_; }
    void SetMainFormOnTaskbar(bool value) { mainFormOnTaskbar_ = value; }

    // Creates a form owned by the application; the first one is the main form.
    template <typename Form>
    void CreateForm(Form*& reference) {
        reference = new Form(this);
        FormCreated(reference);
    }
    TForm* MainForm() const { return mainForm_; }

    // Shows the main form and processes messages until it closes.
    void Run();
    bool Terminated() const { return terminated_; }
    void Terminate();

    const rtl::String& Title() const { return title_; }
    void SetTitle(const rtl::String& value) { title_ = value; }

    // The error display: the message, with a full stop appended when its last
    // character is above ".", in a box with the stop icon, OK and the title.
    void ShowException(const std::exception& error);
    // The event boundary: runs `handler`; whatever it throws goes to ShowException.
    void RunHandler(const std::function<void()>& handler);

private:
    void FormCreated(TForm* form);

    bool mainFormOnTaskbar_ = false;
    TForm* mainForm_ = nullptr;
    bool terminated_ = false;
    rtl::String title_;
};

// The one application object of the program.
TApplication& Application();

// The title rule: the file name without its folder, cut before its first ".", the
// first character upper case and the rest lower case ("report_encrypted.exe" gives
// "Report_encrypted").
rtl::String TitleFromFileName(rtl::StringView path);
// The text the error display shows for `message`.
rtl::String ErrorDisplayText(rtl::StringView message);
// The message of an exception: an rtl::Exception's own text, otherwise what().
rtl::String ExceptionMessage(const std::exception& error);

}  // namespace ui
