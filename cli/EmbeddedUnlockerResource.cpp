// On Windows the unlocker is the program's own RT_RCDATA resource "UNCOFREX", as in
// the locker.
#include "cli/EmbeddedUnlocker.h"
#include "platform/Resources.h"

std::span<const uint8_t> EmbeddedUnlocker() {
    std::span<const uint8_t> bytes;
    platform::RunningProgramResources().Find(u"UNCOFREX", bytes);
    return bytes;
}
