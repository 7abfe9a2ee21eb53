#pragma once
// The fixture of the mouse tests: Vartelo started with its picture 800 x 600 pixels on the
// window -5..5 x -5..5, the undo snapshots counted, and helpers that read the window edits
// and copy the picture.
#include <functional>
#include <string>
#include <vector>

#include "dialogs/movable_labels.h"
#include "plotter/drawing_state.h"
#include "plotter/main_form.h"
#include "plotter/mouse_state.h"
#include "plotter/redraw_pipeline.h"
#include "plotter/undo_snapshot.h"
#include "tests/plotter/program_harness.h"

namespace mousetest {

using Picture = std::vector<TColor>;

class MouseTest : public plottest::ProgramTest {
protected:
    static constexpr int Width = 800;
    static constexpr int Height = 600;

    void SetUp() override {
        ProgramTest::SetUp();
        StartProgram(VarteloProgram());
        ShowMainWindow();
        SizeImage(Width, Height);
        ASSERT_EQ(Form1->im->Width(), Width);
        ASSERT_EQ(Form1->im->Height(), Height);
        UndoSnapshotTaker() = [this] { ++snapshots; };
        Trace();
        ClearJournal();
    }
    void TearDown() override {
        UndoSnapshotTaker() = nullptr;
        ProgramTest::TearDown();
    }

    TImage* image() const { return Form1->im; }

    std::vector<std::string> WindowTexts() const {
        return {Form1->Edit10->Text(), Form1->Edit11->Text(), Form1->Edit12->Text(), Form1->Edit13->Text()};
    }
    void SetWindowTexts(const std::string& xdeb, const std::string& xfin, const std::string& ydeb,
                        const std::string& yfin) {
        Form1->Edit10->SetText(xdeb);
        Form1->Edit11->SetText(xfin);
        Form1->Edit12->SetText(ydeb);
        Form1->Edit13->SetText(yfin);
    }

    static Picture Copy(TBitmap& bitmap) {
        Picture pixels;
        pixels.reserve(size_t(bitmap.Width()) * size_t(bitmap.Height()));
        for (int y = 0; y < bitmap.Height(); ++y)
            for (int x = 0; x < bitmap.Width(); ++x) pixels.push_back(bitmap.Canvas().Pixels(x, y));
        return pixels;
    }
    Picture Shown() { return Copy(image()->Bitmap()); }
    TColor At(const Picture& picture, int x, int y) const { return picture[size_t(y) * Width + size_t(x)]; }
    TColor Now(int x, int y) { return image()->Bitmap().Canvas().Pixels(x, y); }
    static TColor Inverse(TColor c) { return (~c) & 0xFFFFFF; }

    // Runs `watch` at the start of every redraw (before anything is drawn).
    void WatchRedrawStart(std::function<void(TBitmap&)> watch) {
        auto first = RedrawSteps().DrawVerticalLines;
        RedrawSteps().DrawVerticalLines = [first, watch](TBitmap& bitmap) {
            watch(bitmap);
            if (first) first(bitmap);
        };
    }

    int snapshots = 0;
};

}  // namespace mousetest
