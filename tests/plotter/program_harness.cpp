#include "tests/plotter/program_harness.h"

#include <algorithm>

#include "dialogs/vertical_lines_form.h"
#include "plotter/drawing_state.h"
#include "plotter/main_form.h"
#include "plotter/main_window_hooks.h"
#include "plotter/redraw_pipeline.h"
#include "application/startup.h"

namespace plottest {

namespace {

// Wraps a step so that it writes its name into the journal before it runs.
template <class... Args>
void Wrap(std::function<void(Args...)>& step, const char* name, std::vector<std::string>& journal,
          bool& allWindows) {
    if (!step) return;
    auto inner = step;
    step = [inner, name, &journal, &allWindows](Args... args) {
        journal.push_back(name);
        if (!FormsReady || Form1 == nullptr || Form9 == nullptr) allWindows = false;
        inner(args...);
    };
}

}  // namespace

void ProgramTest::StartProgram(const ProgramDescription& program, bool record) {
    PrepareProgram(program);
    if (record) RecordSteps();
    CreateProgramWindows();
}

void ProgramTest::RecordSteps() {
    RedrawStepTable& steps = RedrawSteps();
    Wrap(steps.RebuildChannelSums, "sums", journal, allWindowsAtEveryStep);
    Wrap(steps.DrawVerticalLines, "vertical", journal, allWindowsAtEveryStep);
    Wrap(steps.UpdateTangentLabels, "tangentResults", journal, allWindowsAtEveryStep);
    Wrap(steps.DrawAreas, "areas", journal, allWindowsAtEveryStep);
    Wrap(steps.DrawTangents, "tangents", journal, allWindowsAtEveryStep);
    Wrap(steps.DrawFunctionCurves, "curves", journal, allWindowsAtEveryStep);
    Wrap(steps.DrawAxesAndGrid, "axes", journal, allWindowsAtEveryStep);
    Wrap(steps.DrawSequences, "sequences", journal, allWindowsAtEveryStep);
    Wrap(steps.DrawLabels, "labels", journal, allWindowsAtEveryStep);
    Wrap(steps.DrawLegend, "legend", journal, allWindowsAtEveryStep);

    MainWindowHooks& hooks = LifecycleHooks();
    Wrap(hooks.LoadStateFile, "load", journal, allWindowsAtEveryStep);
    Wrap(hooks.SaveStateFile, "save", journal, allWindowsAtEveryStep);
    Wrap(hooks.RefreshDialogsAfterLoad, "refresh", journal, allWindowsAtEveryStep);
    Wrap(hooks.RecomputeAnalysisResults, "recompute", journal, allWindowsAtEveryStep);
    Wrap(hooks.TakeFirstUndoSnapshot, "snapshot", journal, allWindowsAtEveryStep);
}

void ProgramTest::TearDown() {
    // The windows go away newest first; nothing may redraw while the dialogs are gone.
    FormsReady = false;
    uitest::UiTest::TearDown();
    ForgetProgramWindows();
}

void ProgramTest::ShowMainWindow() {
    Form1->Show();
    Application->ProcessMessages();
}

void ProgramTest::SizeImage(int width, int height) {
    Form1->SetWindowState(wsNormal);
    Application->ProcessMessages();
    for (int attempt = 0; attempt < 3 && (Form1->im->Width() != width || Form1->im->Height() != height); ++attempt) {
        uitest::Resize(Form1, Form1->Width() + width - Form1->im->Width(),
                       Form1->Height() + height - Form1->im->Height());
        uitest::WaitUntil([&] { return Form1->im->Width() == width && Form1->im->Height() == height; },
                          std::chrono::milliseconds(1000));
    }
}

void ProgramTest::Trace() { uitest::Click(Form1->Button1); }

void ProgramTest::SetWindow(const std::string& xmin, const std::string& xmax, const std::string& ymin,
                            const std::string& ymax) {
    Form1->Edit10->SetText(xmin);
    Form1->Edit11->SetText(xmax);
    Form1->Edit12->SetText(ymin);
    Form1->Edit13->SetText(ymax);
}

int ProgramTest::Count(const std::string& step) const {
    return int(std::count(journal.begin(), journal.end(), step));
}

void Mark(TBitmap& bitmap, int x, int y, TColor colour) {
    for (int dx = 0; dx < 3; ++dx)
        for (int dy = 0; dy < 3; ++dy) bitmap.Canvas().SetPixels(x + dx, y + dy, colour);
}

bool HasMark(TBitmap& bitmap, int x, int y, TColor colour) {
    for (int dx = 0; dx < 3; ++dx)
        for (int dy = 0; dy < 3; ++dy)
            if (bitmap.Canvas().Pixels(x + dx, y + dy) != colour) return false;
    return true;
}

void Clear(TBitmap& bitmap) {
    TCanvas& canvas = bitmap.Canvas();
    canvas.Brush.Color = clWhite;
    canvas.Brush.Style = bsSolid;
    canvas.FillRect(TRect{0, 0, bitmap.Width(), bitmap.Height()});
}

int CountIn(TBitmap& bitmap, TColor colour, int left, int top, int right, int bottom) {
    int n = 0;
    for (int y = top; y <= bottom; ++y)
        for (int x = left; x <= right; ++x) n += bitmap.Canvas().Pixels(x, y) == colour;
    return n;
}

}  // namespace plottest
