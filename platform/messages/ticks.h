// The millisecond tick count and sleeping.
//
// GetTickCount is 32 bits wide and wraps after about 49.7 days. Deadlines on it
// must be compared by signed difference, never with < or >: use TickIsLater
// and TickDifference, which stay right across the wrap.
#pragma once

#include <cstdint>

#include "platform/messages/win_types.h"

// Milliseconds since an arbitrary start, modulo 2^32 (monotonic clock).
DWORD GetTickCount();

// Sleep(0) gives up the time slice; other values sleep that many milliseconds.
void Sleep(DWORD milliseconds);

// Signed distance a - b in milliseconds, correct while the two are less than
// about 24.8 days apart, also across the wrap of the 32-bit count.
constexpr std::int32_t TickDifference(DWORD a, DWORD b) {
    return static_cast<std::int32_t>(static_cast<std::uint32_t>(a - b));
}

// True when tick a is strictly later than tick b (e.g. now later than a deadline).
constexpr bool TickIsLater(DWORD a, DWORD b) { return TickDifference(a, b) > 0; }

// Test hook: adds a constant to every value GetTickCount returns, so tests can
// place the count just before the wrap. 0 restores the plain count.
void SetTickCountOffsetForTesting(DWORD offset);
