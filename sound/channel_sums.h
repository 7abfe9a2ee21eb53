#pragma once
// The two sound channels of the first page: before every redraw the texts of n (Edit9,
// "Somme (x)=", the left channel) and m (Edit8, the right channel) are rebuilt as sums of
// the shown functions f to l, the right channel optionally with each term shifted in time.
#include <array>
#include <string>

// Per function f .. n, what its term's x is shifted by on the right channel: the first six
// characters of the general text of s / 1000 * (k + 1), s being the phase step "ms"
// (Edit22). Rewritten by every BuildSumExpression.
extern std::array<std::string, 9> PhaseShiftTexts;

// Fills PhaseShiftTexts from Edit22, read with the strict locale conversion (raises on a
// text it rejects).
void FillPhaseShiftTexts();

// Every x or X of the text that does not follow an e or E (so that exp stays whole)
// replaced by "(x+" + PhaseShiftTexts[index] + ")".
std::string ShiftExpressionArgument(std::string text, int index);

// The sum of the shown functions of a range: mode 2 f to i, mode 4 j to l, every other
// mode f to l; mode 3 shifts each term (ShiftExpressionArgument). The first non-empty
// shown term stands bare, each further one is appended as "+(" term ")".
std::string BuildSumExpression(int mode);

// The first step of every redraw: "Stereo" unchecked, the sum of f to l into both channels;
// "Stereo" with "Dephasage", the sum into Edit9 and the shifted sum into Edit8; "Stereo"
// with "j(x)+k()+l(x)", f to i into Edit9 and j to l into Edit8.
void RebuildChannelSums();
