#pragma once
// Deadlines on the 32-bit millisecond tick count. The count wraps after about 49.7 days,
// so a deadline is compared with the signed difference of the two counts: a plain
// "now >= deadline" would never end a wait whose deadline wrapped past 0, and would end
// at once a wait started just before the wrap.
#include <cstdint>

// The tick count at which a wait of Milliseconds started at Now ends.
constexpr std::uint32_t TickDeadline(std::uint32_t Now, std::uint32_t Milliseconds) {
    return Now + Milliseconds;
}

// True once Now has reached or passed Deadline (valid for waits below 2^31 ms).
constexpr bool TickDeadlineReached(std::uint32_t Now, std::uint32_t Deadline) {
    return static_cast<std::int32_t>(Now - Deadline) >= 0;
}

// Milliseconds left until Deadline, 0 once it is reached.
constexpr std::uint32_t TickRemaining(std::uint32_t Now, std::uint32_t Deadline) {
    return TickDeadlineReached(Now, Deadline) ? 0u : Deadline - Now;
}

// Milliseconds elapsed from Start to Now, across a wrap.
constexpr std::uint32_t TickElapsed(std::uint32_t Start, std::uint32_t Now) {
    return Now - Start;
}
