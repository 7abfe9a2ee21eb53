#pragma once
// The rows of the derivatives dialog (Form3) as the estimate and the drawing read them.
// The dialog defines these routines; what computes from a row needs nothing else of the
// form.

inline constexpr int TangentRowCount = 5;

// Whether the dialog exists: before it does, no tangent is drawn.
bool TangentRowsExist();
// Whether tangent row r is on.
bool IsTangentChecked(int r);

// The function index of row r's combo box (-1 when the text is no letter). Never raises.
int TangentRowFunction(int r);

// Row r as typed: the function index of its combo box (-1 when the text is no letter) and
// x0, its typed value clamped into the function's domain. Raises when x0, a or b cannot
// be read, and std::out_of_range when the combo box names no function.
struct TangentSettings {
    int function = -1;
    double x0 = 0;
};
TangentSettings GetTangentSettings(int r);
