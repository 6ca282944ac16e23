#pragma once
// File dialogs and message boxes.
#include "rtl/Component.h"
#include "rtl/String.h"

namespace ui {

enum class TFileDialogKind : uint8_t { open, save };

// No filter, no title, no start folder. FileName goes in as the proposed name and
// comes out as the full path chosen.
class TFileDialog : public rtl::TComponent {
public:
    TFileDialog(rtl::TComponent* AOwner, TFileDialogKind kind);
    const rtl::String& FileName() const { return fileName_; }
    void SetFileName(const rtl::String& value) { fileName_ = value; }
    // True when the user chose a file; false, with FileName unchanged, when cancelled.
    bool Execute();

private:
    TFileDialogKind kind_;
    rtl::String fileName_;
};

class TOpenDialog : public TFileDialog {
public:
    explicit TOpenDialog(rtl::TComponent* AOwner) : TFileDialog(AOwner, TFileDialogKind::open) {}
};

// Does not ask before overwriting.
class TSaveDialog : public TFileDialog {
public:
    explicit TSaveDialog(rtl::TComponent* AOwner) : TFileDialog(AOwner, TFileDialogKind::save) {}
};

enum class TMsgIcon : uint8_t { none, stop };

// A modal box with one OK button, owned by the active form.
void ShowMessageBox(const rtl::String& text, const rtl::String& caption, TMsgIcon icon);
// A plain box captioned with the application title.
void ShowMessage(const rtl::String& text);

}  // namespace ui
