#include "cli/Interrupt.h"

#include <atomic>

namespace cli {
namespace {

// Lock-free, so that a signal handler may set it.
std::atomic<bool> requested{false};
static_assert(std::atomic<bool>::is_always_lock_free);

}  // namespace

bool InterruptRequested() {
    return requested.load();
}

void RequestInterrupt() {
    requested.store(true);
}

void ClearInterrupt() {
    requested.store(false);
}

void ThrowIfInterrupted() {
    if (InterruptRequested()) throw Interrupted();
}

}  // namespace cli
