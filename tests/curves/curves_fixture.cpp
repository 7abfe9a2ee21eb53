#include "tests/curves/curves_fixture.h"

#include "sound/vartelo_program.h"
#include "dialogs/domains_form.h"
#include "plotter/axes.h"
#include "plotter/curve_sampler.h"
#include "plotter/program_description.h"

namespace curvetest {

void CurvesTest::SetUp() {
    ProgramTest::SetUp();
    StartProgram(VarteloProgram());
    ShowMainWindow();
    RedrawSteps().RebuildChannelSums = nullptr;
    ClearFunctions();
    // Vartelo's settings start every domain at 0; these tests want the whole real line.
    for (TEdit* lower : Form6->LowerEdits) lower->SetText("-inf");
    for (TEdit* upper : Form6->UpperEdits) upper->SetText("inf");
    ReadDomainDialog();
}

void CurvesTest::SetFunction(int i, const std::string& text, bool shown) {
    GetFunctionEdit(i)->SetText(text);
    Form1->ShowButtons[size_t(i)]->SetDown(shown);
}

void CurvesTest::ClearFunctions() {
    for (int i = 0; i < FunctionCount; ++i) SetFunction(i, "");
}

void CurvesTest::OnlyFunction(int i, const std::string& text) {
    ClearFunctions();
    SetFunction(i, text);
}

void CurvesTest::DrawCurvesOnly(TBitmap& bitmap) {
    BlackAndWhite = Form1->cnb->Checked();
    ReadWindowFromEdits();
    AxisFontHeight = ComputeAxisFontHeight(bitmap.Width(), bitmap.Height());
    CompileShownFunctions();
    DrawFunctionCurves(bitmap);
}

void CurvesTest::DrawAxesOnly(TBitmap& bitmap) {
    BlackAndWhite = Form1->cnb->Checked();
    ReadWindowFromEdits();
    AxisFontHeight = ComputeAxisFontHeight(bitmap.Width(), bitmap.Height());
    DrawAxesAndGrid(bitmap);
}

TColor At(TBitmap& bitmap, int x, int y) { return bitmap.Canvas().Pixels(x, y); }

int FirstColumnWith(TBitmap& bitmap, TColor colour) {
    for (int x = 0; x < bitmap.Width(); ++x)
        if (CountIn(bitmap, colour, x, 0, x, bitmap.Height() - 1) > 0) return x;
    return -1;
}

int LastColumnWith(TBitmap& bitmap, TColor colour) {
    for (int x = bitmap.Width() - 1; x >= 0; --x)
        if (CountIn(bitmap, colour, x, 0, x, bitmap.Height() - 1) > 0) return x;
    return -1;
}

}  // namespace curvetest
