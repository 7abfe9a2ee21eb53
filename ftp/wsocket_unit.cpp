#include "ftp/wsocket_unit.h"

#include "ftp/winsock_binding.h"
#include "platform/messages/thread_services.h"

namespace {

// Counts the entries into the unit: the start-up runs at the first, the shut-down when
// the count comes back to 0.
std::mutex& UnitMutex() {
    static std::mutex lock;
    return lock;
}
int gUnitEntries = 0;

struct UnitShutdown {
    ~UnitShutdown() { WSocketUnitShutdown(); }
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
    std::lock_guard<std::mutex> guard(UnitMutex());
    if (gUnitEntries > 0) return;
    gUnitEntries = 1;
    OutputDebugStringA("wsocket initialization section");
    WindowClassLock();
    WinsockLock();
    SendQueueLock();
    // The shut-down is armed once the library is loaded (at once if it already is).
    SetWinsockLoadedHandler(ArmWSocketUnitShutdown);
    if (WinsockLoaded()) ArmWSocketUnitShutdown();
}

void WSocketUnitShutdown() {
    std::lock_guard<std::mutex> guard(UnitMutex());
    if (gUnitEntries <= 0) return;
    gUnitEntries = 0;
    try {
        if (WinsockUseCount() <= 0) UnloadWinsock();
    } catch (...) {
        // Nothing may escape at exit.
    }
}

void ArmWSocketUnitShutdown() {
    // Constructed after the platform services it calls, so destroyed before them.
    static UnitShutdown shutdown;
}
