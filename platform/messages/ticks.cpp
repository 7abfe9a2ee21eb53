// The 32-bit millisecond tick count and sleeping.
#include "platform/messages/ticks.h"

#include <atomic>
#include <chrono>
#include <thread>

namespace {
std::atomic<DWORD> tickOffset{0};
}

DWORD GetTickCount() {
    const auto now = std::chrono::steady_clock::now().time_since_epoch();
    const auto ms = std::chrono::duration_cast<std::chrono::milliseconds>(now).count();
    return static_cast<DWORD>(static_cast<std::uint64_t>(ms)) + tickOffset.load(std::memory_order_relaxed);
}

void Sleep(DWORD milliseconds) {
    if (milliseconds == 0) {
        std::this_thread::yield();
        return;
    }
    if (milliseconds == INFINITE) {
        for (;;) std::this_thread::sleep_for(std::chrono::hours(24));
    }
    std::this_thread::sleep_for(std::chrono::milliseconds(milliseconds));
}

void SetTickCountOffsetForTesting(DWORD offset) { tickOffset.store(offset, std::memory_order_relaxed); }
