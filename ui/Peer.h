#pragma once
// What a backend implements: a peer per control that shows its state, and the
// services forms and dialogs call. Form code never includes this header.
#include <memory>

#include "rtl/String.h"
#include "ui/Controls.h"
#include "ui/Dialogs.h"

namespace ui {

class TControl;
class TForm;

class Peer {
public:
    virtual ~Peer() = default;
    // Shows the control's new state. Called only after the peer exists.
    virtual void Update(TChange what) = 0;
};

namespace backend {

// Prepares the window system for this program (called by TApplication::Initialize).
void Initialize();
// The peer of `control`; a form's peer first, then its controls, parents before
// children. May return nullptr for a control the backend does not show.
std::unique_ptr<Peer> CreatePeer(TControl& control);
// The DPI of the screen a new form appears on.
int ScreenDpi();
void ShowForm(TForm& form);
void HideForm(TForm& form);
// Processes messages until the application terminates.
void RunMessageLoop();
void QuitMessageLoop();
void ShowMessageBox(const rtl::String& text, const rtl::String& caption, TMsgIcon icon);
bool ExecuteFileDialog(TFileDialogKind kind, rtl::String& fileName);
void ShellOpen(const rtl::String& fileName);

}  // namespace backend
}  // namespace ui
