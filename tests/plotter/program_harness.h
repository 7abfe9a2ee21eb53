#pragma once
// The fixture of the programs' tests: the whole program (Form1 .. Form9) built in the
// test's temporary start directory with the scripted services, driven through the paths a
// user takes. A journal records the redraw steps and the life-cycle steps of the main
// window in the order they run.
#include <string>
#include <vector>

#include "plotter/program_description.h"
#include "tests/support/ui_harness.h"

class TBitmap;

namespace plottest {

class ProgramTest : public uitest::UiTest {
protected:
    void TearDown() override;

    // Prepares the program and builds its nine windows (hidden). With `record`, the
    // journal follows the redraw steps and the life-cycle steps from before the first
    // window is created.
    void StartProgram(const ProgramDescription& program, bool record = true);
    // The user starts the program: the main window shows and is activated for the first
    // time (state file, first snapshot, first picture).
    void ShowMainWindow();
    // The user resizes the main window so that the image gets the size.
    void SizeImage(int width, int height);
    // Clicks "Trace".
    void Trace();
    // Types the window bounds into their edits (x from, x to, y from, y to).
    static void SetWindow(const std::string& xmin, const std::string& xmax, const std::string& ymin,
                          const std::string& ymax);

    // The steps recorded since the last ClearJournal: the redraw steps "sums",
    // "vertical", "tangentResults", "areas", "tangents", "curves", "axes", "sequences",
    // "labels", "legend", and the life-cycle steps "load", "refresh", "recompute",
    // "snapshot", "save".
    std::vector<std::string> journal;
    void ClearJournal() { journal.clear(); }
    int Count(const std::string& step) const;

    // Whether every recorded redraw step ran with all nine windows in existence.
    bool allWindowsAtEveryStep = true;

private:
    void RecordSteps();
};

// A program-independent mark on a bitmap: a 3 x 3 square of `colour` at (x, y).
void Mark(TBitmap& bitmap, int x, int y, TColor colour);
bool HasMark(TBitmap& bitmap, int x, int y, TColor colour);

// Makes the whole bitmap white.
void Clear(TBitmap& bitmap);
// Pixels of the colour in the rectangle (left, top) .. (right, bottom), edges included.
int CountIn(TBitmap& bitmap, TColor colour, int left, int top, int right, int bottom);

}  // namespace plottest
