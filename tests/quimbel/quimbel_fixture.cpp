#include "tests/quimbel/quimbel_fixture.h"

#include <functional>
#include <vector>

#include "plotter/drawing_state.h"
#include "plotter/function_rows.h"
#include "plotter/main_form.h"
#include "plotter/redraw_pipeline.h"
#include "plotter/undo_snapshot.h"
#include "variants/quimbel_drawing.h"
#include "variants/quimbel_program.h"

namespace quimbeltest {

namespace {
std::function<void()> previousTaker;
}

void QuimbelTest::SetUp() {
    ProgramTest::SetUp();
    StartProgram(QuimbelProgram());
    ShowMainWindow();
    previousTaker = UndoSnapshotTaker();
    UndoSnapshotTaker() = [this] { ++snapshots; };
    for (int i = 0; i < FunctionCount; ++i) {
        GetFunctionEdit(i)->SetText("");
        Form1->ShowButtons[size_t(i)]->SetDown(true);
    }
    snapshots = 0;
}

void QuimbelTest::UseUndoRing() { UndoSnapshotTaker() = previousTaker; }

void QuimbelTest::TearDown() {
    UndoSnapshotTaker() = previousTaker;
    ProgramTest::TearDown();
}

void QuimbelTest::OnlyFunction(int i, const std::string& text) {
    for (int j = 0; j < FunctionCount; ++j) GetFunctionEdit(j)->SetText(j == i ? text : "");
    Form1->ShowButtons[size_t(i)]->SetDown(true);
}

void QuimbelTest::DrawCurvesOnly(TBitmap& bitmap) {
    BlackAndWhite = Form1->cnb->Checked();
    ReadWindowFromEdits();
    AxisFontHeight = ComputeAxisFontHeight(bitmap.Width(), bitmap.Height());
    CompileShownFunctions();
    quimbel::DrawFunctionCurves(bitmap);
}

void QuimbelTest::DrawAxesOnly(TBitmap& bitmap) {
    BlackAndWhite = Form1->cnb->Checked();
    ReadWindowFromEdits();
    AxisFontHeight = ComputeAxisFontHeight(bitmap.Width(), bitmap.Height());
    quimbel::DrawAxesAndGrid(bitmap);
}

int ConnectedPieces(TBitmap& bitmap, TColor colour) {
    const int width = bitmap.Width();
    const int height = bitmap.Height();
    std::vector<char> seen(size_t(width) * size_t(height), 0);
    auto index = [&](int x, int y) { return size_t(y) * size_t(width) + size_t(x); };
    int pieces = 0;
    std::vector<std::pair<int, int>> stack;
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x) {
            if (seen[index(x, y)] || bitmap.Canvas().Pixels(x, y) != colour) continue;
            ++pieces;
            seen[index(x, y)] = 1;
            stack.push_back({x, y});
            while (!stack.empty()) {
                const auto [cx, cy] = stack.back();
                stack.pop_back();
                for (int ny = cy - 1; ny <= cy + 1; ++ny)
                    for (int nx = cx - 1; nx <= cx + 1; ++nx) {
                        if (nx < 0 || ny < 0 || nx >= width || ny >= height || seen[index(nx, ny)]) continue;
                        if (bitmap.Canvas().Pixels(nx, ny) != colour) continue;
                        seen[index(nx, ny)] = 1;
                        stack.push_back({nx, ny});
                    }
            }
        }
    return pieces;
}

}  // namespace quimbeltest
