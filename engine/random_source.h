#pragma once
// The random generator behind the "HAS" keyword: one shared sequence of uniform values in
// [0, 1), reseeded from the clock (time of day in milliseconds) at every compile.
#include <cstdint>
#include <functional>

// Replaces the clock that seeds the generator (tests make it deterministic); an empty
// function restores the system clock.
void SetRandomClock(std::function<std::uint32_t()> clock);

// Reseeds from the clock; called by every PrepareFunction.
void ReseedRandomFromClock();

// The next value of the sequence, in [0, 1), with 64 random bits.
long double NextRandomUnit();
