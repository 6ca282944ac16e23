#include "ui/Shell.h"

#include "ui/Peer.h"

namespace ui {

void ShellOpen(const rtl::String& fileName) {
    backend::ShellOpen(fileName);
}

}  // namespace ui
