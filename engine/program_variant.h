#pragma once
// Which of the two programs is running. Chosen once at start-up, before any function is
// compiled; it decides the undefined value, whether the waveform keywords exist and
// whether results are limited to the sound range.

enum class ProgramKind { Vartelo, Quimbel };

// Sets the program and its undefined value. Every compiled slot is discarded, so a slot
// compiled under the other program evaluates to UndefinedValue until it is compiled again.
void SelectProgram(ProgramKind kind);
ProgramKind CurrentProgram();

// The number by which the engine says "undefined here". Compare by exact equality of
// 80-bit values: a copy rounded to double no longer equals it.
// Vartelo: the 80-bit value nearest to 9.100156518E302; Quimbel: nearest to 9.100156518E30.
extern long double UndefinedValue;

inline constexpr long double VarteloUndefinedValue = 9.100156518E302L;
inline constexpr long double QuimbelUndefinedValue = 9.100156518E30L;

// Vartelo limits every defined result to -VarteloResultLimit .. VarteloResultLimit
// (the range of its sound output).
inline constexpr long double VarteloResultLimit = 8.19L;
