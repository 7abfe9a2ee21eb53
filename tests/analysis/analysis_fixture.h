#pragma once
// The fixture of the analysis dialogs' tests: Quimbel (or Vartelo) started through the
// programs' harness, with helpers that type functions, the window and the parameters, run
// the overlays of one redraw directly onto a bitmap of their own, and count pixels.
#include <functional>
#include <string>

#include "dialogs/domains_form.h"
#include "plotter/drawing_state.h"
#include "plotter/function_rows.h"
#include "plotter/main_form.h"
#include "plotter/redraw_pipeline.h"
#include "plotter/undo_snapshot.h"
#include "tests/plotter/program_harness.h"
#include "variants/quimbel_program.h"

namespace analysistest {

// Quimbel's colour of f.
inline constexpr TColor ColourF = 0xFF752C;
inline constexpr TColor ColourG = 0x276DA6;

class AnalysisTest : public plottest::ProgramTest {
protected:
    void SetUp() override {
        plottest::ProgramTest::SetUp();
        UndoSnapshotTaker() = [this] { ++snapshots; };
    }
    void TearDown() override {
        UndoSnapshotTaker() = nullptr;
        plottest::ProgramTest::TearDown();
    }

    // The program shown, its first activation done, the window -5..5 x -5..5 and lines
    // one pixel wide.
    void Start(const ProgramDescription& program = QuimbelProgram()) {
        StartProgram(program, false);
        ShowMainWindow();
        SetWindow("-5", "5", "-5", "5");
        Form1->Edit14->SetText("1");
    }

    void SetFunction(int index, const std::string& text) { GetFunctionEdit(index)->SetText(text); }
    void SetParameters(const std::string& a, const std::string& b) {
        Form1->Edit15->SetText(a);
        Form1->Edit16->SetText(b);
    }

    // What a redraw does before its overlays: the window, the thickness, the shown
    // functions compiled.
    void PrepareOverlays(TBitmap& bitmap) {
        BlackAndWhite = Form1->cnb->Checked();
        ReadWindowFromEdits();
        AxisFontHeight = ComputeAxisFontHeight(bitmap.Width(), bitmap.Height());
        CompileShownFunctions();
    }

    static int CountColour(TBitmap& bitmap, TColor colour, int left, int top, int right, int bottom) {
        int count = 0;
        for (int x = left; x < right; ++x)
            for (int y = top; y < bottom; ++y)
                if (bitmap.Canvas().Pixels(x, y) == colour) ++count;
        return count;
    }
    static int CountColour(TBitmap& bitmap, TColor colour) {
        return CountColour(bitmap, colour, 0, 0, bitmap.Width(), bitmap.Height());
    }
    // Pixels that are neither white nor of the colour.
    static int CountOthers(TBitmap& bitmap, TColor colour) {
        int count = 0;
        for (int x = 0; x < bitmap.Width(); ++x)
            for (int y = 0; y < bitmap.Height(); ++y) {
                const TColor c = bitmap.Canvas().Pixels(x, y);
                if (c != colour && c != clWhite) ++count;
            }
        return count;
    }

    int snapshots = 0;
};

}  // namespace analysistest
