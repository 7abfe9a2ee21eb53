#pragma once
// The fixture of the command tests: Vartelo started with its picture 800 x 600 pixels on
// the window -5..5 x -5..5, the undo snapshots counted, and helpers that read and set the
// window edits.
#include <string>
#include <vector>

#include "plotter/drawing_state.h"
#include "plotter/main_form.h"
#include "plotter/redraw_pipeline.h"
#include "plotter/undo_snapshot.h"
#include "tests/plotter/program_harness.h"

namespace commandstest {

using Texts = std::vector<std::string>;

class CommandsTest : public plottest::ProgramTest {
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
        ClearJournal();
    }
    void TearDown() override {
        UndoSnapshotTaker() = nullptr;
        LoadingFlag = false;
        ProgramTest::TearDown();
    }

    static Texts WindowTexts() {
        return {Form1->Edit10->Text(), Form1->Edit11->Text(), Form1->Edit12->Text(), Form1->Edit13->Text()};
    }
    static void SetWindowTexts(const Texts& texts) {
        Form1->Edit10->SetText(texts.at(0));
        Form1->Edit11->SetText(texts.at(1));
        Form1->Edit12->SetText(texts.at(2));
        Form1->Edit13->SetText(texts.at(3));
    }
    // The number of complete redraws since the journal was cleared.
    int Redraws() const { return Count("labels"); }

    static std::vector<TColor> Copy(TBitmap& bitmap) {
        std::vector<TColor> pixels;
        pixels.reserve(size_t(bitmap.Width()) * size_t(bitmap.Height()));
        for (int y = 0; y < bitmap.Height(); ++y)
            for (int x = 0; x < bitmap.Width(); ++x) pixels.push_back(bitmap.Canvas().Pixels(x, y));
        return pixels;
    }
    static std::vector<TColor> Shown() { return Copy(Form1->im->Bitmap()); }
    static int CountColour(const std::vector<TColor>& pixels, TColor colour) {
        int n = 0;
        for (TColor c : pixels) n += c == colour;
        return n;
    }

    int snapshots = 0;
};

}  // namespace commandstest
