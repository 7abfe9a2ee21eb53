#include "engine/random_source.h"

#include <chrono>

namespace {

std::function<std::uint32_t()> random_clock;
std::uint64_t random_state = 0;

std::uint32_t MillisecondsOfDay() {
  const auto now = std::chrono::system_clock::now().time_since_epoch();
  const auto ms = std::chrono::duration_cast<std::chrono::milliseconds>(now).count();
  return static_cast<std::uint32_t>(ms % 86400000);
}

}  // namespace

void SetRandomClock(std::function<std::uint32_t()> clock) { random_clock = std::move(clock); }

void ReseedRandomFromClock() { random_state = random_clock ? random_clock() : MillisecondsOfDay(); }

long double NextRandomUnit() {
  // splitmix64: 64 bits of state, every seed gives a full-period sequence.
  std::uint64_t z = (random_state += 0x9E3779B97F4A7C15ULL);
  z = (z ^ (z >> 30)) * 0xBF58476D1CE4E5B9ULL;
  z = (z ^ (z >> 27)) * 0x94D049BB133111EBULL;
  z ^= z >> 31;
  return static_cast<long double>(z) * 0x1p-64L;  // exact: 64 bits fit the mantissa
}
