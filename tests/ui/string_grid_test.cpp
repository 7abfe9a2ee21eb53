// The string grid as a cell store.
#include <gtest/gtest-spi.h>

#include <chrono>

#include "tests/ui/test_form.h"

namespace uitest {
namespace {

class StringGrid : public UiTest {
protected:
    void SetUp() override {
        UiTest::SetUp();
        Application->CreateForm(form);
        grid = form->Grid1;
    }
    TTestForm* form = nullptr;
    TStringGrid* grid = nullptr;
};

TEST_F(StringGrid, CellsBeyondTheCountsAreKept) {
    grid->SetColCount(3);
    grid->SetRowCount(2);
    grid->SetCell(5, 7, "beyond");
    EXPECT_EQ(grid->Cell(5, 7), "beyond");
    EXPECT_EQ(grid->Cell(4, 7), "");
    EXPECT_EQ(grid->Cell(100, 100), "");
    grid->SetColCount(10);
    grid->SetColCount(2);
    EXPECT_EQ(grid->Cell(5, 7), "beyond");
    EXPECT_EQ(grid->ColCount(), 2);
}

TEST_F(StringGrid, IndexesOutsideTheStoreRaise) {
    EXPECT_THROW(grid->SetCell(-1, 0, "x"), std::out_of_range);
    EXPECT_THROW((void)grid->Cell(0, -1), std::out_of_range);
    EXPECT_THROW(grid->SetCell(TStringGrid::MaxIndex + 1, 0, "x"), std::out_of_range);
    EXPECT_NO_THROW(grid->SetCell(TStringGrid::MaxIndex, 0, "x"));
}

TEST_F(StringGrid, AThousandByTwentyFourGridIsFast) {
    form->Show();
    form->Pages1->SetActivePage(form->Page2);  // the view is showing
    const auto start = std::chrono::steady_clock::now();
    grid->SetColCount(1000);
    grid->SetRowCount(24);
    for (int c = 1; c < 1000; ++c) {
        grid->SetCell(c, 0, std::to_string(c - 1));
        grid->SetCell(c, 1, "1");
        for (int r = 2; r < 24; ++r) grid->SetCell(c, r, r % 2 ? "" : "A1");
    }
    std::string text;
    for (int r = 0; r <= 24; ++r)
        for (int c = 0; c <= 1000; ++c) {
            if (c) text += ';';
            text += grid->Cell(c, r);
        }
    Application->ProcessMessages();  // the view paints what it shows
    const auto elapsed = std::chrono::steady_clock::now() - start;
    EXPECT_EQ(grid->Cell(999, 0), "998");
    EXPECT_GT(text.size(), 24000u);
    EXPECT_LT(std::chrono::duration_cast<std::chrono::milliseconds>(elapsed).count(), 1000);
    RecordProperty("grid_fill_and_read_ms",
                   int(std::chrono::duration_cast<std::chrono::milliseconds>(elapsed).count()));
}

TEST_F(StringGrid, TheUserEditsCellsThatAreNotFixed) {
    form->Show();
    form->Pages1->SetActivePage(form->Page2);
    form->ClearLog();
    EditCell(grid, 2, 3, "A1>");
    EXPECT_EQ(grid->Cell(2, 3), "A1>");
    EXPECT_EQ(form->Log(), "Grid1.SetEditText:2,3:A1>");
    EXPECT_NONFATAL_FAILURE(EditCell(grid, 0, 3, "x"), "not editable");
}

}  // namespace
}  // namespace uitest
