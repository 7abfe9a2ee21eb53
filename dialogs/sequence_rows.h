#pragma once
// The rows of the sequences dialog (Form5) as the limit and the staircase read them. The
// dialog defines these routines; what computes from a row needs nothing else of the form.

inline constexpr int SequenceRowCount = 3;

// Whether the dialog exists: before it does, no staircase is drawn.
bool SequenceRowsExist();
// Whether sequence row r is on.
bool IsSequenceChecked(int r);

// Row r as typed: the function index of its combo box (-1 when the text is no letter),
// U0 clamped into the function's domain, and whether the row is drawn step by step.
// Raises when U0, a or b cannot be read, and std::out_of_range when the combo box names
// no function.
struct SequenceSettings {
    int function = -1;
    double u0 = 0;
    bool stepByStep = false;
};
SequenceSettings GetSequenceSettings(int r);
