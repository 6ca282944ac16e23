#pragma once
// The peer of each kind of control.
#include <memory>

#include "ui/Controls.h"
#include "ui/Peer.h"

namespace ui::win32 {

std::unique_ptr<Peer> CreateControlPeer(TControl& control);

}  // namespace ui::win32
