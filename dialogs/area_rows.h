#pragma once
// The rows of the areas dialog (Form2) as the integral and the hatching read them. The
// dialog defines these routines; what computes from a row needs nothing else of the form.

inline constexpr int AreaRowCount = 5;

// Whether the dialog exists: before it does, no area is drawn.
bool AreaRowsExist();
// Whether area row r is on.
bool IsAreaChecked(int r);

// Row r as typed: the item index of the first combo box (0 for "0", -1 for a text that
// is no item; the first function is this index minus one, any index below 0 standing for
// the zero function), the function index of the second combo box, and the two bounds
// clamped into the domain of the second function. Raises when a bound, a or b cannot be
// read, and std::out_of_range when the second combo box names no function.
struct AreaSettings {
    int firstItem = 0;
    int second = -1;
    double lower = 0;
    double upper = 0;
};
AreaSettings GetAreaSettings(int r);
