// The programs' windows in this test's process, shown on a private X server under openbox:
// where the dialogs open, the pi sign drawn on the axes, and menus and keys typed on a real
// keyboard (xdotool).
#include <gtest/gtest.h>

#include <QGuiApplication>
#include <QImage>
#include <QMenuBar>
#include <QPixmap>
#include <QScreen>
#include <QWidget>

#include <algorithm>
#include <cmath>
#include <string>
#include <vector>

#include "dialogs/areas_form.h"
#include "dialogs/derivatives_form.h"
#include "dialogs/domains_form.h"
#include "dialogs/ftp_form.h"
#include "dialogs/help_form.h"
#include "dialogs/labels_form.h"
#include "dialogs/sequences_form.h"
#include "dialogs/vertical_lines_form.h"
#include "desktop/desktop_session.h"
#include "platform/graphics/bitmap.h"
#include "platform/ui/menus.h"
#include "plotter/drawing_state.h"
#include "plotter/function_rows.h"
#include "plotter/main_form.h"
#include "plotter/undo_snapshot.h"
#include "tests/plotter/program_harness.h"
#include "variants/quimbel_program.h"

namespace {

// One X server for the whole process: the application connects to a display once.
DesktopSession& Desktop() {
    static DesktopSession* desktop = [] {
        auto* session = new DesktopSession;  // lives until the process ends
        if (!Application->Initialized() && session->Start(1280, 900)) setenv("QT_QPA_PLATFORM", "xcb", 1);
        return session;
    }();
    return *desktop;
}

class OnScreen : public plottest::ProgramTest {
protected:
    void SetUp() override {
        DesktopSession& desktop = Desktop();
        if (!desktop.Problem().empty()) GTEST_SKIP() << desktop.Problem();
        if (!Application->Initialized() && desktop.Display().empty())
            GTEST_SKIP() << "the application runs on another platform already";
        ProgramTest::SetUp();
        if (QGuiApplication::platformName() != QLatin1String("xcb")) GTEST_SKIP() << "not on the X server";
        StartProgram(QuimbelProgram(), false);
        ShowMainWindow();
        ASSERT_TRUE(Settled(Form1, true)) << "the main window is not framed";
    }

    // Runs the program's events until the window manager has framed the form and its frame
    // stays where it is (and, for keys typed on the keyboard, the form is the active window).
    // A busy machine can leave the window manager a while before it places a new window, so
    // the frame must stay put for a time, not only over a few polls.
    bool Settled(TForm* form, bool active = false) {
        using Clock = std::chrono::steady_clock;
        std::string previous;
        int steady = 0;
        Clock::time_point since = Clock::now();
        return uitest::WaitUntil(
            [&] {
                const auto frame = desktop().Probe().FrameOf(std::uint32_t(form->Widget()->winId()));
                const std::string now = frame ? Describe(*frame) : std::string();
                const bool same = frame && now == previous && (!active || form->Widget()->isActiveWindow());
                if (!same) since = Clock::now();
                steady = same ? steady + 1 : 0;
                previous = now;
                return steady >= 5 && Clock::now() - since >= std::chrono::milliseconds(300);
            },
            std::chrono::milliseconds(8000));
    }
    XRect Frame(TForm* form) {
        return desktop().Probe().FrameOf(std::uint32_t(form->Widget()->winId())).value_or(XRect{});
    }
    XRect WorkArea() { return desktop().Probe().WorkArea().value_or(desktop().Probe().Screen()); }
    // Keys typed on the X server's keyboard, into the active window.
    void Type(const std::vector<std::string>& keys) {
        std::vector<std::string> command{"xdotool"};
        command.insert(command.end(), keys.begin(), keys.end());
        ASSERT_TRUE(desktop().Run(command)) << "xdotool is needed (scripts/setup installs it)";
    }
    static DesktopSession& desktop() { return Desktop(); }
};

TEST_F(OnScreen, EveryDialogOpensWithItsWholeFrameOnTheScreen) {
    const std::vector<std::pair<TMenuItem*, TForm*>> dialogs = {
        {Form1->Aide1, Form8},
        {Form1->Droiteverticale1, Form9},
        {Form1->Afficherlasurfaceentreaetb1, Form2},
        {Form1->un1fun1, Form5},
        {Form1->Tracerladriveena1, Form3},
        {Form1->Limitedudomainededefinition1, Form6},
        {Form1->Etiquette1, Form7},
        {Form1->EnvoyerparFtp1, Form4},
    };
    for (const auto& entry : dialogs) {
        TForm* dialog = entry.second;
        uitest::ClickMenu(entry.first);
        ASSERT_TRUE(dialog->Visible()) << dialog->Name();
        EXPECT_TRUE(Settled(dialog)) << dialog->Name();
        EXPECT_TRUE(Frame(dialog).Inside(WorkArea()))
            << dialog->Name() << ": frame " << Describe(Frame(dialog)) << ", work area " << Describe(WorkArea());
        dialog->Hide();
    }
    // A dialog placed by the program partly off the screen comes back inside, whole.
    Form8->SetBounds(-300, -200, 520, 480);
    uitest::ClickMenu(Form1->Aide1);
    EXPECT_TRUE(Settled(Form8));
    EXPECT_TRUE(Frame(Form8).Inside(WorkArea())) << Describe(Frame(Form8));
    Form8->SetBounds(1200, 850, 520, 480);
    EXPECT_TRUE(Settled(Form8));
    EXPECT_TRUE(Frame(Form8).Inside(WorkArea())) << Describe(Frame(Form8));
}

TEST_F(OnScreen, EscTypedInTheHelpWindowClosesIt) {
    uitest::ClickMenu(Form1->Aide1);
    ASSERT_TRUE(Settled(Form8, true));
    Type({"key", "Escape"});
    EXPECT_TRUE(uitest::WaitUntil([] { return !Form8->Visible(); }));
}

TEST_F(OnScreen, QuestionMarkReachedFromTheKeyboardOpensTheHelpOnEnter) {
    // The user opens "Options" with the mouse, goes right to "?" with the arrow key (it has
    // no menu: it is only highlighted) and presses Enter.
    QMenuBar* bar = Form1->MainMenu1->MenuBar();
    const QPoint options = bar->mapToGlobal(bar->actionGeometry(Form1->Options1->Action()).center());
    Type({"mousemove", std::to_string(options.x()), std::to_string(options.y()), "click", "1"});
    ASSERT_TRUE(uitest::WaitUntil([bar] { return bar->activeAction() == Form1->Options1->Action(); }));
    Type({"key", "Right"});
    ASSERT_TRUE(uitest::WaitUntil([bar] { return bar->activeAction() == Form1->Aide1->Action(); }));
    Type({"key", "Return"});
    EXPECT_TRUE(uitest::WaitUntil([] { return Form8->Visible(); }));
    Form8->Hide();

    // "?" under the mouse, Enter typed in an edit: the edit's Enter, no help window.
    const QPoint help = bar->mapToGlobal(bar->actionGeometry(Form1->Aide1->Action()).center());
    uitest::Activate(Form1);
    uitest::Focus(Form1->Edit1);
    Type({"mousemove", std::to_string(help.x()), std::to_string(help.y())});
    Application->ProcessMessages();
    Type({"key", "Return"});
    uitest::WaitUntil([] { return Form8->Visible(); }, std::chrono::milliseconds(500));
    EXPECT_FALSE(Form8->Visible());
}

TEST_F(OnScreen, CtrlZTypedFastUndoes) {
    Form1->Edit1->SetText("x");
    SaveUndoSnapshot();
    Form1->Edit1->SetText("x+1");
    SaveUndoSnapshot();
    // Z and Ctrl released at once, Z first.
    Type({"keydown", "ctrl", "keydown", "z", "keyup", "z", "keyup", "ctrl"});
    EXPECT_TRUE(uitest::WaitUntil([] { return Form1->Edit1->Text() == "x"; })) << Form1->Edit1->Text();
}

// What the X server's screen shows where the main window's image control lies.
QImage ImageControlOnScreen() {
    const QPoint origin = Form1->im->Widget()->mapToGlobal(QPoint(0, 0));
    return QGuiApplication::primaryScreen()
        ->grabWindow(0, origin.x(), origin.y(), Form1->im->Width(), Form1->im->Height())
        .toImage()
        .convertToFormat(QImage::Format_RGB32);
}

// The labels of the x axis in multiples of pi show the pi sign: on the screen, each label
// reaches past its number by about the width of a digit.
TEST_F(OnScreen, PiAxisLabelsShowThePiSign) {
    SetWindow("-10", "10", "-10", "10");
    uitest::ClickMenu(Form1->abspi);
    ASSERT_EQ(AbscissaInPi, 1);
    Trace();
    Application->ProcessMessages();
    ASSERT_TRUE(Settled(Form1));

    const int width = Form1->im->Width();
    const int height = Form1->im->Height();
    const QImage shot = ImageControlOnScreen();
    ASSERT_EQ(shot.width(), width);
    shot.save(QStringLiteral("/tmp/pi_axis_labels.png"));  // for a look when it fails

    TBitmap measure(10, 10);
    measure.Canvas().Font.Name = "Arial";
    measure.Canvas().Font.Height = AxisFontHeight;
    const int digit = measure.Canvas().TextWidth("2");
    const int axisRow = int(std::lround(10.0 / 20.0 * height));
    int labels = 0;
    for (int k : {-3, -2, -1, 1, 2, 3}) {
        const int tick = int(std::lround((k * 3.141592653589793 + 10) / 20 * width));
        // The black ink of the label under the axis at this tick.
        int left = width, right = -1;
        for (int y = axisRow + 2; y < std::min(height, axisRow + 3 + AxisFontHeight); ++y)
            for (int x = std::max(0, tick - 3 * AxisFontHeight); x < std::min(width, tick + 3 * AxisFontHeight); ++x)
                if ((shot.pixel(x, y) & 0xFFFFFF) == 0) {
                    left = std::min(left, x);
                    right = std::max(right, x);
                }
        ASSERT_GE(right, left) << "no label at " << k << " pi";
        const int number = measure.Canvas().TextWidth(k < 0 ? "-" + std::to_string(-k) : std::to_string(k));
        EXPECT_GE(right - left + 1, number + digit / 2) << "label of " << k << " pi";
        ++labels;
    }
    EXPECT_EQ(labels, 6);
}

// After a step of a pan, the X server's screen shows the picture pixel for pixel.
TEST_F(OnScreen, APanStepShowsItsPictureExactly) {
    SetWindow("-10", "10", "-10", "10");
    GetFunctionEdit(0)->SetText("sin(3*x)*4");
    Form1->quad->SetChecked(true);
    uitest::MouseDown(Form1->im, mbRight, 200, 150);
    uitest::MouseMove(Form1->im, 231, 163);
    Application->ProcessMessages();
    ASSERT_TRUE(Settled(Form1));

    const int width = Form1->im->Width();
    const int height = Form1->im->Height();
    // Where the window manager placed the window, the control's last rows can lie below the
    // screen's edge: the screen shows nothing of them, and only the rows on it are compared.
    const QPoint origin = Form1->im->Widget()->mapToGlobal(QPoint(0, 0));
    const QRect screen = QGuiApplication::primaryScreen()->geometry();
    const int shownWidth = std::min(width, screen.right() + 1 - origin.x());
    const int shownHeight = std::min(height, screen.bottom() + 1 - origin.y());
    ASSERT_GT(shownWidth, width / 2);
    ASSERT_GT(shownHeight, height / 2);
    // The X server shows the window's new image a moment after the program hands it over.
    int differences = -1, ink = 0;
    uitest::WaitUntil(
        [&] {
            Application->ProcessMessages();
            const QImage shot = ImageControlOnScreen();
            if (shot.width() != width || shot.height() != height) return false;
            differences = ink = 0;
            for (int y = 0; y < shownHeight; ++y)
                for (int x = 0; x < shownWidth; ++x) {
                    const TColor shown = PixelToColor(shot.pixel(x, y));
                    differences += shown != Form1->im->Canvas().Pixels(x, y);
                    ink += shown != clWhite;
                }
            return differences == 0;
        },
        std::chrono::milliseconds(5000));
    uitest::MouseUp(Form1->im, mbRight, 231, 163);
    EXPECT_EQ(differences, 0);
    EXPECT_GT(ink, 1000);
}

}  // namespace
