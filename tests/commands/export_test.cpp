// The drawing copied to the clipboard at the export width and written as a JPEG file.
#include <QImage>

#include <filesystem>
#include <string>

#include "platform/graphics/bitmap.h"
#include "tests/commands/commands_fixture.h"
#include "variants/quimbel_program.h"

namespace commandstest {
namespace {

class ExportTest : public CommandsTest {
protected:
    // The size of the bitmap the clipboard holds.
    std::pair<int, int> ClipboardSize() {
        TBitmap copy;
        if (!clipboard.GetImage(copy)) return {0, 0};
        return {copy.Width(), copy.Height()};
    }
    std::filesystem::path Output(const char* name) const { return std::filesystem::current_path() / name; }
};

TEST_F(ExportTest, TheClipboardGetsThePictureAtTheExportWidthWithTheScreensProportions) {
    uitest::ReplaceText(Form1->Edit17, "1600");
    const int screenFont = AxisFontHeight;
    ASSERT_EQ(screenFont, 17);
    ClearJournal();
    uitest::ClickMenu(Form1->Copierdanslepresspapier1);
    EXPECT_EQ(ClipboardSize(), (std::pair{1600, 1200}));
    EXPECT_EQ(Redraws(), 1);
    // The export drew with a font for its own size, then gave the screen its own back.
    EXPECT_EQ(AxisFontHeight, screenFont);
    EXPECT_EQ(messages.Count(), 0);

    // The exported picture is the drawing: white background, the curve of f in its colour.
    uitest::ReplaceText(Form1->Edit1, "x");
    uitest::PressKey(Form1->Edit1, VK_RETURN);
    uitest::ReplaceText(Form1->Edit17, "400");
    uitest::PressKey(Form1, 'D', TShiftState{ssCtrl});
    TBitmap copy;
    ASSERT_TRUE(clipboard.GetImage(copy));
    EXPECT_EQ(copy.Width(), 400);
    EXPECT_EQ(copy.Height(), 300);
    EXPECT_EQ(copy.Canvas().Pixels(2, 2), clWhite);
    EXPECT_EQ(copy.Canvas().Pixels(350, 10), clWhite);
    // y = x passes through (4, 4): pixel (360, 30) of a 400 x 300 picture.
    EXPECT_EQ(copy.Canvas().Pixels(360, 30), FunctionColours[0]);
    EXPECT_EQ(AxisFontHeight, screenFont);
}

TEST_F(ExportTest, WithFrozenPicturesTheExportShowsAxesAndCurvesOnWhite) {
    uitest::ReplaceText(Form1->Edit17, "400");
    uitest::ReplaceText(Form1->Edit1, "sin(x)");
    uitest::PressKey(Form1->Edit1, VK_RETURN);
    uitest::Click(Form1->ceffa);
    ASSERT_TRUE(Form1->ceffa->Checked());
    // Widened with the mouse: the screen keeps the older curve beside the new one.
    uitest::MouseDown(Form1->im, mbRight, 400, 300);
    uitest::MouseUp(Form1->im, mbRight, 400, 300);
    ASSERT_NE(Form1->Edit11->Text(), "5");

    uitest::ClickMenu(Form1->Copierdanslepresspapier1);
    TBitmap copy;
    ASSERT_TRUE(clipboard.GetImage(copy));
    ASSERT_EQ(copy.Width(), 400);
    const std::vector<TColor> pixels = Copy(copy);
    EXPECT_EQ(copy.Canvas().Pixels(2, 2), clWhite);
    // The x axis crosses the whole picture, the curve of f is there.
    EXPECT_GE(CountColour(pixels, 0x990022), 400);
    EXPECT_GT(CountColour(pixels, FunctionColours[0]), 200);
    // Nothing else than white, the axes and graduations, and the curve.
    EXPECT_GT(CountColour(pixels, clWhite), int(pixels.size()) * 8 / 10);
    // The screen stays frozen.
    EXPECT_FALSE(ForcedRedrawFlag);
}

TEST_F(ExportTest, ABadExportWidthRaisesBeforeAnythingIsDrawn) {
    for (const char* width : {"abc", "16.5", "", "0", "-800", "99999"}) {
        messages.Clear();
        ClearJournal();
        Form1->Edit17->SetText(width);
        uitest::ClickMenu(Form1->Copierdanslepresspapier1);
        EXPECT_EQ(messages.Count(), 1) << width;
        EXPECT_EQ(Redraws(), 0) << width;
        EXPECT_EQ(Count("vertical"), 0) << width;
        if (std::string(width) == "abc") {
            EXPECT_EQ(messages.Last().Text, "'abc' n'est pas une valeur enti\xE8re correcte");
        }
    }
    EXPECT_EQ(clipboard.SetCount(), 0);
    EXPECT_EQ(AxisFontHeight, 17);
}

TEST_F(ExportTest, TheJpegExportWritesTheClipboardPictureUnderTheChosenName) {
    uitest::ReplaceText(Form1->Edit17, "1600");
    const auto file = Output("dessin.jpg");
    files.Pick(file);
    cursor.Clear();
    uitest::ClickMenu(Form1->Envoyercommeimage1);
    ASSERT_EQ(files.Count(), 1);
    EXPECT_EQ(files.Requests()[0].Kind, fdSave);
    EXPECT_EQ(files.Requests()[0].Filter, "Jpeg |*.jpg");
    EXPECT_EQ(messages.Count(), 0);

    ASSERT_TRUE(std::filesystem::exists(file));
    QImage written(QString::fromStdString(file.string()));
    ASSERT_FALSE(written.isNull());
    EXPECT_EQ(written.width(), 1600);
    EXPECT_EQ(written.height(), 1200);
    EXPECT_GT(written.pixelColor(5, 5).lightness(), 240);  // the white background
    // The drawing stays on the clipboard.
    EXPECT_EQ(ClipboardSize(), (std::pair{1600, 1200}));
    // The hourglass while writing, the default cursor afterwards.
    ASSERT_GE(cursor.History().size(), 2u);
    EXPECT_EQ(std::vector<TCursor>(cursor.History().end() - 2, cursor.History().end()),
              (std::vector<TCursor>{crHourGlass, crDefault}));
    EXPECT_EQ(AxisFontHeight, 17);
}

TEST_F(ExportTest, ACancelledJpegExportDoesNothing) {
    files.Cancel();
    uitest::ClickMenu(Form1->Envoyercommeimage1);
    EXPECT_EQ(clipboard.SetCount(), 0);
    EXPECT_EQ(cursor.Current(), crDefault);
    EXPECT_EQ(messages.Count(), 0);
}

TEST_F(ExportTest, AJpegThatCannotBeWrittenReportsAndRestoresTheCursor) {
    files.Pick(Output("absent") / "dessin.jpg");
    cursor.Clear();
    uitest::ClickMenu(Form1->Envoyercommeimage1);
    EXPECT_EQ(messages.Count(), 1);
    EXPECT_EQ(cursor.Current(), crDefault);
    EXPECT_EQ(clipboard.SetCount(), 1);

    // A bad width writes no file at all.
    messages.Clear();
    Form1->Edit17->SetText("x");
    files.Pick(Output("rien.jpg"));
    uitest::ClickMenu(Form1->Envoyercommeimage1);
    EXPECT_EQ(messages.Count(), 1);
    EXPECT_FALSE(std::filesystem::exists(Output("rien.jpg")));
}

using QuimbelExportTest = plottest::ProgramTest;

TEST_F(QuimbelExportTest, TheCurveEditorExportsAndScalesTheSameWay) {
    StartProgram(QuimbelProgram());
    ShowMainWindow();
    SizeImage(800, 600);
    ASSERT_EQ(Form1->im->Width(), 800);
    uitest::ReplaceText(Form1->Edit17, "1600");
    uitest::ClickMenu(Form1->Copierdanslepresspapier1);
    TBitmap copy;
    ASSERT_TRUE(clipboard.GetImage(copy));
    EXPECT_EQ(copy.Width(), 1600);
    EXPECT_EQ(copy.Height(), 1200);
    EXPECT_EQ(AxisFontHeight, 17);

    uitest::ClickUpDown(Form1->UpDown5, btNext);
    EXPECT_EQ(Form1->Edit12->Text(), "-2,8");
    EXPECT_EQ(Form1->Edit13->Text(), "2,8");
    EXPECT_EQ(messages.Count(), 0);
}

}  // namespace
}  // namespace commandstest
