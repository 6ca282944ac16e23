#pragma once
// The top-level window of a form.
#include <windows.h>

#include <memory>

#include "ui/Forms.h"
#include "ui/Peer.h"

namespace ui::win32 {

std::unique_ptr<Peer> CreateFormPeer(TForm& form);
// The window of the main form, or nullptr before it exists.
HWND MainWindow();

}  // namespace ui::win32
