#pragma once
// The fixture of the mouse tests: Vartelo's main window as VarteloWindowTest starts it, the
// journal following the redraw steps, and helpers that set the window edits and read pixels.
#include <functional>
#include <string>
#include <vector>

#include "plotter/movable_labels.h"
#include "plotter/drawing_state.h"
#include "plotter/main_form.h"
#include "plotter/mouse_state.h"
#include "plotter/redraw_pipeline.h"
#include "tests/plotter/vartelo_window_fixture.h"

namespace mousetest {

using Picture = std::vector<TColor>;

class MouseTest : public plottest::VarteloWindowTest {
protected:
    void SetUp() override {
        VarteloWindowTest::SetUp();
        if (HasFatalFailure()) return;
        Trace();
        ClearJournal();
    }

    TImage* image() const { return Form1->im; }

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
};

}  // namespace mousetest
