#pragma once
// The fixture of Quimbel's own tests: the program started and shown, helpers that set the
// window and the functions, a counter of the undo snapshots taken, and the reading of
// curves back from a bitmap (their connected pieces).
#include <string>

#include <utility>

#include "platform/graphics/bitmap.h"
#include "tests/plotter/program_harness.h"
#include "variants/quimbel_drawing.h"

namespace quimbeltest {

inline constexpr TColor AxisColour = 0x990022;

class QuimbelTest : public plottest::ProgramTest {
protected:
    void SetUp() override;
    void TearDown() override;

    // Function i gets the text and is shown; every other function is emptied.
    void OnlyFunction(int i, const std::string& text);

    // The curves alone, or the axes alone, on a white bitmap, the window read and the
    // functions compiled as a redraw does first.
    void DrawCurvesOnly(TBitmap& bitmap);
    void DrawAxesOnly(TBitmap& bitmap);

    int snapshots = 0;  // undo snapshots taken since SetUp (while counted)
    // Snapshots go to the program's own undo ring again instead of the counter.
    void UseUndoRing();
};

using plottest::Clear;
using plottest::CountIn;
// The pieces of the picture drawn in the colour: groups of its pixels that touch (also
// diagonally).
int ConnectedPieces(TBitmap& bitmap, TColor colour);

// The first and the last point of the walk that it kept (nulls when it kept none).
inline std::pair<const quimbel::SampledPoint*, const quimbel::SampledPoint*> FirstAndLastAccepted(
    const quimbel::SampledWalk& walk) {
    const quimbel::SampledPoint* first = nullptr;
    const quimbel::SampledPoint* last = nullptr;
    for (const auto& p : walk.Points) {
        if (!p.Accepted) continue;
        if (!first) first = &p;
        last = &p;
    }
    return {first, last};
}

}  // namespace quimbeltest
