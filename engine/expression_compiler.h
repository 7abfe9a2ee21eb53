#pragma once
// The compiler of function texts: a text such as 2x^2-3sin(x)+max(x;a) is split, once, into
// the node table and value table of a compile slot (expression_tables.h), which the
// evaluator then runs for many x.
//
// A text is split at its operator of lowest precedence at parenthesis depth 0 ("+" and "-"
// first, whichever comes first, then "*" and "/", then a leading "-", then "^"); each side
// is compiled again as a text of its own. So "/" binds to the right: 8/4*2 is 8/(4*2) and
// 1/2x is 1/(2x). Implicit products are inserted (2x, 3(x+1), xa), and the superscript two
// (byte 178) is read as "^2". A sign cannot follow an operator (2*-3 is unreadable) and
// numbers cannot be typed in exponent notation (1E5 reads as 1*E5).
#include <cstddef>
#include <cstdint>
#include <functional>
#include <string>
#include <string_view>

// Texts longer than this are unreadable; with at most ExprMaxNode nodes per text this bounds
// both the work of a compile and the depth of its recursion.
inline constexpr std::size_t ExprMaxTextLength = 4000;

// Compiles `text` into `slot` (0..10): sets EulerNumber, resets the slot and the value ids,
// compiles, and reseeds the random generator of "HAS" from the clock. Returns whether the
// text was readable. An unreadable text (a piece that is neither a variable, a constant, a
// number nor a keyword call; unpaired parentheses; more than ExprMaxNode nodes, more than
// ExprMaxValueId value ids or more than ExprMaxTextLength characters) leaves the slot
// undefined at every point and is reported to the unreadable-text marker.
bool PrepareFunction(std::string_view text, int slot);

// The marker of unreadable texts. The main window installs one that colours the edit of
// the slot's function (its GetFunctionEdit(slot)) light pink, 15658751 (hexadecimal
// EEEEFF); the mark stays until a function text changes. It is called once per failed
// PrepareFunction, with the slot, after the compile and before PrepareFunction returns,
// and must not raise. Without a marker nothing is marked. The sound output compiles its
// channel sums into slots 8 and 7, so their marks go to the edits of n and m.
void SetUnreadableTextMarker(std::function<void(int slot)> marker);

// The steps of a compile (positions are 1-based, as in the node table's texts).

// Compiles `text` so that an evaluation of `slot` leaves its value in value id `id`.
bool CompileExpression(std::string text, int id, int slot);

// Compiles one operand into `field` (LeftSlot or RightSlot of the node being built): a bare
// variable is its code (1 x, 2 a, 3 b); anything else takes the next value id.
bool CompileOperand(const std::string& text, std::int16_t& field, int slot);

// Strips one enclosing pair of parentheses, inserts the implicit "*", rewrites the superscript two as "^2"
// and ")(" as ")*(".
void NormalizeExpression(std::string& text);

// Where a text is split: kind 1 "+", 2 "-", 3 "*", 4 "/", 5 a leading "-", 6 "^" at `pos`;
// kind 100 a call name(arguments) with its "(" at `pos` and its ")" at `close`, the last
// character; kind 0 a leaf.
struct SplitPoint {
  int kind = 0;
  int pos = 0;
  int close = 0;
};
SplitPoint FindSplitOperator(std::string_view text);

// The position of the first ";" at parenthesis depth 0, or -1.
int FindArgumentSeparator(std::string_view text);
