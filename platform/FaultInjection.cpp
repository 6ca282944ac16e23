#include "platform/FaultInjection.h"

namespace platform {
namespace {

FaultInjector* installed = nullptr;

}  // namespace

void InstallFaultInjector(FaultInjector* injector) {
    installed = injector;
}

bool InjectedFailure(FileOperation operation, const Path& path) {
    return installed != nullptr && installed->Fails(operation, path);
}

int64_t InjectedRoom(int64_t count) {
    return installed != nullptr ? installed->Room(count) : count;
}

}  // namespace platform
