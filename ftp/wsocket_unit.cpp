#include "ftp/wsocket_unit.h"

#include "ftp/winsock_binding.h"
#include "platform/messages/thread_services.h"

namespace {

struct UnitShutdown {
    ~UnitShutdown() {
        try {
            if (WinsockUseCount() <= 0) UnloadWinsock();
        } catch (...) {
            // Nothing may escape at exit.
        }
    }
};

}  // namespace

std::recursive_mutex& WindowClassLock() {
    static std::recursive_mutex lock;
    return lock;
}

std::recursive_mutex& SendQueueLock() {
    static std::recursive_mutex lock;
    return lock;
}

void WSocketUnitStartup() {
    static std::once_flag once;
    std::call_once(once, [] {
        OutputDebugStringA("wsocket initialization section");
        WindowClassLock();
        WinsockLock();
        SendQueueLock();
    });
}

void ArmWSocketUnitShutdown() {
    // Constructed after the platform services it calls, so destroyed before them.
    static UnitShutdown shutdown;
}
