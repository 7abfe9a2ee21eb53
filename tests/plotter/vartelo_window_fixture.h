#pragma once
// The base of the fixtures that work on Vartelo's main window: the program started with
// its picture 800 x 600 pixels on the window -5..5 x -5..5, the undo snapshots counted,
// and helpers that read the window edits and copy a picture.
#include <cstddef>
#include <string>
#include <vector>

#include "plotter/main_form.h"
#include "plotter/undo_snapshot.h"
#include "sound/vartelo_program.h"
#include "tests/plotter/program_harness.h"

namespace plottest {

class VarteloWindowTest : public ProgramTest {
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
        ProgramTest::TearDown();
    }

    static std::vector<std::string> WindowTexts() {
        return {Form1->Edit10->Text(), Form1->Edit11->Text(), Form1->Edit12->Text(), Form1->Edit13->Text()};
    }

    static std::vector<TColor> Copy(TBitmap& bitmap) {
        std::vector<TColor> pixels;
        pixels.reserve(std::size_t(bitmap.Width()) * std::size_t(bitmap.Height()));
        for (int y = 0; y < bitmap.Height(); ++y)
            for (int x = 0; x < bitmap.Width(); ++x) pixels.push_back(bitmap.Canvas().Pixels(x, y));
        return pixels;
    }

    int snapshots = 0;
};

}  // namespace plottest
