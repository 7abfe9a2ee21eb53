#pragma once
// The nine function rows of the main window (f .. n) as the rest of the program reaches
// them, and the evaluation of a function inside its domain.
#include <string>

class TEdit;
class TLabel;

// 0 .. 8 stand for the functions f, g, h, i, j, k, l, m, n everywhere.
using TFunctionIndex = int;
inline constexpr int FunctionCount = 9;
// The lower-case letter of function i: "f" .. "n".
inline std::string FunctionLetter(TFunctionIndex index) { return std::string(1, char('f' + index)); }

// The caption label (Label1 .. Label9) and the expression edit (Edit1 .. Edit9) of a row.
// An index outside 0 .. 8 raises std::out_of_range.
TLabel* GetFunctionLabel(TFunctionIndex index);
TEdit* GetFunctionEdit(TFunctionIndex index);
// The shown flag of a function: the Down state of its show button sd1 .. sd9.
bool IsFunctionShown(TFunctionIndex index);
// Flips the function's show button (no redraw).
void ToggleFunctionShown(TFunctionIndex index);

// Function `index` at x for the parameters a and b, or UndefinedValue when x lies outside
// the function's domain [DomainLower, DomainUpper] (both bounds inside).
long double EvaluateInDomain(TFunctionIndex index, double x, double a, double b);

// Compiles the current text of function `index` into its engine slot. An empty text leaves
// the slot undefined at every point, as a text that does not compile does, so that no
// result outlives the text it came from. Whether the slot now holds the function.
bool CompileFunctionText(TFunctionIndex index);

// Compiles, into engine slots 0 .. 8, every function that is shown and not empty, and
// leaves the slot of every empty function undefined. Hidden functions keep whatever their
// slot held.
void CompileShownFunctions();

// The colour that marks the edit of a function text the engine cannot read (light pink).
inline constexpr unsigned UnreadableTextColour = 15658751;
