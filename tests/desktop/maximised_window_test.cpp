// Both programs started as a user starts them, under a window manager on screens of three
// sizes: the maximised main window keeps its whole frame (title bar, and at the bottom the
// x graduation and the legend line) inside the work area.
#include <gtest/gtest.h>

#include <string>

#include "desktop/desktop_session.h"

namespace {

struct ScreenCase {
    const char* program;
    int width;
    int height;
};

class MaximisedWindow : public ::testing::TestWithParam<ScreenCase> {};

TEST_P(MaximisedWindow, FrameFitsTheWorkArea) {
    const ScreenCase& c = GetParam();
    DesktopSession desktop;
    if (!desktop.Start(c.width, c.height)) GTEST_SKIP() << desktop.Problem();
    XProbe& x = desktop.Probe();
    const XRect area = x.WorkArea().value_or(x.Screen());

    TempFolder folder;
    PeerProcess program;
    ASSERT_TRUE(desktop.Launch(program, std::string(PROGRAMS_DIR) + "/" + c.program, folder.Path()));
    std::uint32_t window = 0;
    ASSERT_TRUE(PollUntil(
        [&] {
            const auto shown = x.ShownWindowsTitled(c.program);
            window = shown.empty() ? 0 : shown.front();
            return window != 0;
        },
        20000))
        << c.program << " shows no window";
    // The window manager may place it in several steps: the frame once it has settled.
    XRect frame;
    std::string previous;
    PollUntil(
        [&] {
            frame = x.FrameOf(window).value_or(XRect{});
            const std::string now = Describe(frame);
            const bool same = now == previous;
            previous = now;
            return same && x.Maximised(window) && frame.Inside(area);
        },
        5000);
    EXPECT_TRUE(x.Maximised(window)) << c.program << " at " << c.width << "x" << c.height;
    EXPECT_TRUE(frame.Inside(area)) << c.program << " at " << c.width << "x" << c.height << ": frame "
                                    << Describe(frame) << ", work area " << Describe(area);
    // Maximised: it fills the work area (less a few pixels of border at most).
    EXPECT_GE(frame.width, area.width - 8);
    EXPECT_GE(frame.height, area.height - 8);
    EXPECT_TRUE(program.Running());
}

INSTANTIATE_TEST_SUITE_P(Screens, MaximisedWindow,
                         ::testing::Values(ScreenCase{"Vartelo", 1024, 768}, ScreenCase{"Vartelo", 1280, 900},
                                           ScreenCase{"Vartelo", 1920, 1080}, ScreenCase{"Quimbel", 1024, 768},
                                           ScreenCase{"Quimbel", 1280, 900}, ScreenCase{"Quimbel", 1920, 1080}),
                         [](const ::testing::TestParamInfo<ScreenCase>& info) {
                             return std::string(info.param.program) + "_" + std::to_string(info.param.width) +
                                    "x" + std::to_string(info.param.height);
                         });

}  // namespace
