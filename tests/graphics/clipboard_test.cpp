// The clipboard image service: the memory double, the current-service pointer, and the
// system clipboard through Qt.
#include <gtest/gtest.h>

#include "graphics/gui_environment.h"
#include "platform/graphics/clipboard.h"

namespace {

void RoundTrip(IClipboard& clipboard) {
    TBitmap drawing(120, 90);
    drawing.Canvas().SetPixels(119, 89, RGB(1, 2, 3));
    drawing.Canvas().SetPixels(0, 0, clRed);
    clipboard.SetImage(drawing);
    drawing.Canvas().SetPixels(0, 0, clBlue);  // the clipboard holds a copy
    ASSERT_TRUE(clipboard.HasImage());
    TBitmap back;
    ASSERT_TRUE(clipboard.GetImage(back));
    EXPECT_EQ(back.Width(), 120);
    EXPECT_EQ(back.Height(), 90);
    EXPECT_EQ(back.Canvas().Pixels(119, 89), RGB(1, 2, 3));
    EXPECT_EQ(back.Canvas().Pixels(0, 0), clRed);
}

TEST(ClipboardImage, MemoryDoubleHoldsACopy) {
    MemoryClipboard clipboard;
    EXPECT_FALSE(clipboard.HasImage());
    TBitmap untouched(3, 3);
    untouched.Canvas().SetPixels(1, 1, clGreen);
    EXPECT_FALSE(clipboard.GetImage(untouched));
    EXPECT_EQ(untouched.Canvas().Pixels(1, 1), clGreen);
    RoundTrip(clipboard);
    EXPECT_EQ(clipboard.SetCount(), 1);
    clipboard.Clear();
    EXPECT_FALSE(clipboard.HasImage());
}

TEST(ClipboardImage, CurrentServiceIsReplaceable) {
    MemoryClipboard mine;
    IClipboard* previous = SetClipboardService(&mine);
    EXPECT_EQ(&ClipboardService(), &mine);
    ClipboardService().SetImage(TBitmap(2, 2));
    EXPECT_EQ(mine.SetCount(), 1);
    EXPECT_EQ(SetClipboardService(previous), &mine);
    SetClipboardService(nullptr);
    EXPECT_NE(&ClipboardService(), &mine);  // the built-in memory clipboard
}

TEST(ClipboardImage, SystemClipboardRoundTrip) {
    TestGuiApplication();
    QtClipboard clipboard;
    RoundTrip(clipboard);
}

}  // namespace
