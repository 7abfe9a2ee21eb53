#pragma once
// The fixture of the curve, axes and overlay tests: Vartelo started and shown, the sound
// sums left out (they would replace the texts of m and n), helpers that set the window
// and the functions and that read pixels back from a bitmap of a chosen size.
#include <string>

#include "plotter/drawing_state.h"
#include "plotter/function_rows.h"
#include "plotter/main_form.h"
#include "plotter/redraw_pipeline.h"
#include "platform/graphics/bitmap.h"
#include "tests/plotter/program_harness.h"

namespace curvetest {

inline constexpr TColor AxisColour = 0x990022;
inline constexpr TColor GridColour = 0xAAAAAA;
inline constexpr TColor LightGridColour = 0xDDDDDD;

class CurvesTest : public plottest::ProgramTest {
protected:
    void SetUp() override;

    // Function i gets the text and is shown; every other function is emptied.
    void OnlyFunction(int i, const std::string& text);
    void SetFunction(int i, const std::string& text, bool shown = true);
    void ClearFunctions();

    // The picture with nothing but the step, on a white bitmap of the size: the window is
    // read and the functions compiled as a redraw does first.
    void DrawCurvesOnly(TBitmap& bitmap);
    void DrawAxesOnly(TBitmap& bitmap);
};

using plottest::Clear;
using plottest::CountIn;
// Pixel reading.
TColor At(TBitmap& bitmap, int x, int y);
// Columns of the whole bitmap holding at least one pixel of the colour.
int FirstColumnWith(TBitmap& bitmap, TColor colour);
int LastColumnWith(TBitmap& bitmap, TColor colour);

}  // namespace curvetest
