#pragma once
// The fixture of the command tests: Vartelo's main window as VarteloWindowTest starts it,
// with helpers that set the window edits and read the picture shown.
#include <string>
#include <vector>

#include "plotter/drawing_state.h"
#include "plotter/main_form.h"
#include "plotter/redraw_pipeline.h"
#include "tests/plotter/vartelo_window_fixture.h"

namespace commandstest {

using Texts = std::vector<std::string>;

class CommandsTest : public plottest::VarteloWindowTest {
protected:
    void TearDown() override {
        LoadingFlag = false;
        VarteloWindowTest::TearDown();
    }

    static void SetWindowTexts(const Texts& texts) { SetWindow(texts.at(0), texts.at(1), texts.at(2), texts.at(3)); }
    // The number of complete redraws since the journal was cleared.
    int Redraws() const { return Count("labels"); }

    static std::vector<TColor> Shown() { return Copy(Form1->im->Bitmap()); }
    static int CountColour(const std::vector<TColor>& pixels, TColor colour) {
        int n = 0;
        for (TColor c : pixels) n += c == colour;
        return n;
    }
};

}  // namespace commandstest
