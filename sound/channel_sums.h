#pragma once
// The two sound channels of the first page: before every redraw the texts of n (Edit9,
// "Somme (x)=", the left channel) and m (Edit8, the right channel) are rebuilt as sums of
// the shown functions f to l, the right channel optionally with each term shifted in time.
#include <array>
#include <string>

// Per function f .. n, what its term's x is shifted by on the right channel: s / 1000 *
// (k + 1), s being the phase step "ms" (Edit22), in plain decimal digits (never in
// exponent form) cut after the sixth character; only fractional digits are cut, and never
// the first significant one.
// Rewritten by every BuildSumExpression of the shifted sum.
extern std::array<std::string, 9> PhaseShiftTexts;

// Whether the right channel is the shifted sum: "Stereo" with "Dephasage".
bool ChannelsArePhaseShifted();

// The phase step Edit22 read with the strict locale conversion; raises ConversionError
// (the conversion's message) on a text it rejects.
double ReadPhaseStep();

// Fills PhaseShiftTexts from the phase step (raises as ReadPhaseStep).
void FillPhaseShiftTexts();

// A shift as PhaseShiftTexts holds it.
std::string PhaseShiftText(long double shift);

// The text with every variable x or X replaced by "(x+" + PhaseShiftTexts[index] + ")";
// letters of a function's name (the x of max, maximum, exp) stay as they are, and a
// product of variables written side by side (xa, bx) keeps its meaning.
std::string ShiftExpressionArgument(const std::string& text, int index);

// The sum of the shown functions of a range: mode 2 f to i, mode 4 j to l, every other
// mode f to l; mode 3 shifts each term (ShiftExpressionArgument). The first non-empty
// shown term stands bare, each further one is appended as "+(" term ")".
std::string BuildSumExpression(int mode);

// The first step of every redraw: "Stereo" unchecked, the sum of f to l into both channels;
// "Stereo" with "Dephasage", the sum into Edit9 and the shifted sum into Edit8; "Stereo"
// with "j(x)+k()+l(x)", f to i into Edit9 and j to l into Edit8. When the shifted sum
// cannot be built (a phase step that cannot be read), both channels keep their texts and
// the redraw goes on.
void RebuildChannelSums();
