// The labels dialog: its components, the reading and filling of the label arrays, parking,
// the import of the functions, the presets, the sizes, the font list and the drawing of
// the labels with their hit boxes.
#include <cmath>

#include "dialogs/labels_form.h"
#include "plotter/movable_labels.h"
#include "dialogs/legend.h"
#include "plotter/drawing_state.h"
#include "plotter/main_form.h"
#include "plotter/redraw_pipeline.h"
#include "plotter/undo_snapshot.h"
#include "tests/plotter/program_harness.h"
#include "variants/quimbel_program.h"

namespace labelstest {
namespace {

using Texts = std::vector<std::string>;

class LabelsTest : public plottest::ProgramTest {
protected:
    void SetUp() override {
        ProgramTest::SetUp();
        StartProgram(QuimbelProgram());
        ShowMainWindow();
        SizeImage(800, 600);
        ASSERT_EQ(Form1->im->Height(), 600);
        UndoSnapshotTaker() = [this] { ++snapshots; };
        Trace();
        ASSERT_EQ(AxisFontHeight, 17);
        for (TEdit* edit : Form1->FunctionEdits) edit->SetText("");
    }
    void TearDown() override {
        UndoSnapshotTaker() = nullptr;
        ProgramTest::TearDown();
    }
    Texts LabelTextList() const { return Texts(LabelTexts.begin(), LabelTexts.end()); }
    TColor Pixel(int x, int y) { return Form1->im->Bitmap().Canvas().Pixels(x, y); }
    int CountColour(TBitmap& bitmap, TColor colour) {
        int count = 0;
        for (int y = 0; y < bitmap.Height(); ++y)
            for (int x = 0; x < bitmap.Width(); ++x) count += bitmap.Canvas().Pixels(x, y) == colour;
        return count;
    }
    int snapshots = 0;
};

TEST_F(LabelsTest, TheDialogHoldsItsRowsToolsAndDefaults) {
    EXPECT_EQ(Form7->Caption(), "Ajouter des ettiquette mobiles");
    EXPECT_TRUE(Form7->KeyPreview());
    EXPECT_EQ(Form7->Label1->Caption(), "E.1");
    EXPECT_EQ(Form7->Label3->Caption(), "E.2");
    EXPECT_EQ(Form7->Label13->Caption(), "E.12");
    EXPECT_EQ(Form7->Label14->Caption(), "Texte des ettiquettes");
    EXPECT_EQ(Form7->Label15->Caption(), "Taille  (en%)");
    EXPECT_EQ(Form7->Label2->Caption(), "Police de caract\xE8re");
    for (int k = 0; k < LabelCount; ++k) {
        EXPECT_EQ(Form7->TextEdits[size_t(k)]->Text(), "");
        EXPECT_TRUE(Form7->TextEdits[size_t(k)]->Font.Bold);
        EXPECT_EQ(Form7->SizeEdits[size_t(k)]->Text(), "100");
    }
    EXPECT_EQ(Form7->Edit12->Name(), "Edit12");
    EXPECT_EQ(Form7->Edit24->Name(), "Edit24");
    EXPECT_EQ(Form7->cpol->Text(), "Arial");
    EXPECT_EQ(Form7->Memo1->Lines().Count(), 7);
    EXPECT_EQ(Form7->Memo1->Lines()[0], ">D\xE9placer les ettiquettes sur l'image ");
    EXPECT_EQ(Form7->Memo1->Lines()[4], "est r\xE9initialis\xE9" "e (en bas \xE0 gauche de ");
    EXPECT_EQ(Form7->Button3->Caption(), "Valider");
    EXPECT_TRUE(Form7->Button3->Font.Bold);
    EXPECT_EQ(Form7->Button4->Caption(), "X");
    EXPECT_EQ(Form7->Button2->Caption(), "Tous m\xEAme taille (celle de E1)");
    EXPECT_EQ(Form7->Button1->Caption(), "Importer les fonctions");
    EXPECT_EQ(Form7->Edit25->Text(), "(x)=");
    EXPECT_TRUE(Form7->cpre->Checked() && Form7->cnm->Checked() && Form7->cfor->Checked());
    EXPECT_EQ(Form7->cnm->Caption(), "nom");
    EXPECT_EQ(Form7->Button5->Caption(), "y=");
    EXPECT_EQ(Form7->Button6->Caption(), "f(x)=");
}

TEST_F(LabelsTest, TheMenuShowsTheDialogFilledFromTheLabelsAndTakesASnapshot) {
    LabelTexts[2] = "trois";
    LabelSizes[2] = 12.5;
    LabelSizes[5] = 1e20;
    uitest::ClickMenu(Form1->Etiquette1);
    EXPECT_TRUE(Form7->Visible());
    EXPECT_EQ(Form7->Edit3->Text(), "trois");
    EXPECT_EQ(Form7->Edit15->Text(), "12,5");
    EXPECT_EQ(Form7->Edit18->Text(), "1E20");
    EXPECT_EQ(Form7->Edit13->Text(), "100");
    EXPECT_EQ(snapshots, 1);

    // Esc hides the dialog without applying a typed size.
    uitest::ReplaceText(Form7->Edit14, "250");
    uitest::PressKey(Form7, 27);
    EXPECT_FALSE(Form7->Visible());
    EXPECT_EQ(LabelSizes[1], 100);
}

TEST_F(LabelsTest, FillingTheDialogDoesNotReadItBack) {
    Form7->Show();
    LabelTexts[0] = "A";
    LabelSizes[0] = 150;
    FillLabelDialog();
    // Had the text's change read the dialog, the size edit's old "100" would have won.
    EXPECT_EQ(LabelSizes[0], 150);
    EXPECT_EQ(Form7->Edit13->Text(), "150");
    EXPECT_FALSE(FillingLabelDialog);
    // A user's change of a text reads every text and size.
    uitest::ReplaceText(Form7->Edit2, "B");
    EXPECT_EQ(LabelTexts[1], "B");
}

TEST_F(LabelsTest, AnEmptiedLabelIsParkedAtTheBottomLeftOneStepPerRow) {
    Form7->Show();
    Form7->Edit3->SetText("abc");
    LabelX[2] = 1;
    LabelY[2] = 1;
    Form7->Edit3->SetText("");
    EXPECT_EQ(LabelX[2], -5);
    EXPECT_DOUBLE_EQ(LabelY[2], -5 + 17.0 / 600 * 10 * 1.1 * 10);
    EXPECT_DOUBLE_EQ(LabelY[11], -5 + 17.0 / 600 * 10 * 1.1);
    EXPECT_DOUBLE_EQ(LabelY[0], -5 + 17.0 / 600 * 10 * 1.1 * 12);
    // Given a text again it shows at the left edge, 11 label heights above the bottom.
    Form7->Edit3->SetText("abc");
    Trace();
    EXPECT_EQ(LabelHitBottom[2], 600 - 187 + 17);
    EXPECT_EQ(LabelHitBottom[0], -1);

    // "X" empties every label, sizes them 100 and parks them all.
    Form7->Edit13->SetText("300");
    Form7->Edit1->SetText("un");
    LabelX[0] = 2;
    uitest::Click(Form7->Button4);
    EXPECT_EQ(LabelTextList(), Texts(12, ""));
    for (int k = 0; k < LabelCount; ++k) {
        EXPECT_EQ(Form7->SizeEdits[size_t(k)]->Text(), "100");
        EXPECT_EQ(LabelSizes[size_t(k)], 100);
        EXPECT_EQ(LabelX[size_t(k)], -5);
    }
}

TEST_F(LabelsTest, ASizeTextThatIsNoNumberCountsAsZeroWithoutAnError) {
    Form7->Show();
    Form7->Edit1->SetText("un");
    for (const char* text : {"1,2,3", "-", "abc", "1E400", ""}) {
        Form7->Edit13->SetText(text);
        ReadLabelsFromDialog();
        EXPECT_EQ(LabelSizes[0], 0) << text;
    }
    Form7->Edit13->SetText("2.5e1");
    uitest::ReplaceText(Form7->Edit1, "deux");
    EXPECT_EQ(LabelSizes[0], 25);
    EXPECT_EQ(messages.Count(), 0);
}

TEST_F(LabelsTest, AllTheSameSizeCopiesE1sSizeWhichTakesEffectOnValidation) {
    Form7->Show();
    uitest::ReplaceText(Form7->Edit13, "150");
    uitest::Click(Form7->Button2);
    for (int k = 1; k < LabelCount; ++k) EXPECT_EQ(Form7->SizeEdits[size_t(k)]->Text(), "150");
    EXPECT_EQ(LabelSizes[4], 100);
    uitest::Click(Form7->Button3);
    EXPECT_FALSE(Form7->Visible());
    for (int k = 0; k < LabelCount; ++k) EXPECT_EQ(LabelSizes[size_t(k)], 150);
}

TEST_F(LabelsTest, ImportTurnsTheShownFunctionsIntoLabelsFromE4On) {
    Form7->Show();
    Form1->Edit1->SetText("x^2");
    Form7->Edit1->SetText("titre");
    Form7->Edit6->SetText("reste");
    uitest::ReplaceText(Form7->Edit16, "300");  // a typed size, not applied
    uitest::Click(Form7->Button1);
    EXPECT_EQ(LabelTexts[3], "f(x)=x^2");
    EXPECT_EQ(Form7->Edit4->Text(), "f(x)=x^2");
    EXPECT_EQ(LabelTexts[0], "titre");
    EXPECT_EQ(LabelTexts[5], "reste");
    EXPECT_EQ(LabelSizes[3], 100);
    EXPECT_EQ(Form7->Edit16->Text(), "100");

    uitest::Click(Form7->Button5);
    EXPECT_EQ(Form7->Edit25->Text(), "y=");
    EXPECT_FALSE(Form7->cnm->Checked());
    uitest::Click(Form7->Button1);
    EXPECT_EQ(LabelTexts[3], "y=x^2");
    uitest::Click(Form7->Button6);
    EXPECT_EQ(Form7->Edit25->Text(), "(x)=");
    EXPECT_TRUE(Form7->cnm->Checked());

    // Only the shown, non-empty functions count, in the order f .. n.
    Form1->Edit1->SetText("");
    Form1->Edit2->SetText("sin(x)");
    Form1->Edit3->SetText("cos(x)");
    Form1->Edit6->SetText("2*x");
    Form1->sd3->SetDown(false);
    uitest::Click(Form7->Button1);
    EXPECT_EQ(LabelTexts[3], "g(x)=sin(x)");
    EXPECT_EQ(LabelTexts[4], "k(x)=2*x");
    EXPECT_EQ(LabelTexts[5], "reste");

    uitest::Click(Form7->cpre);
    uitest::Click(Form7->Button1);
    EXPECT_EQ(LabelTexts[3], "gsin(x)");
    uitest::Click(Form7->cfor);
    uitest::Click(Form7->cpre);
    uitest::Click(Form7->Button1);
    EXPECT_EQ(LabelTexts[4], "k(x)=");
}

TEST_F(LabelsTest, AnImportedLabelThatWasEmptyIsDrawnAtItsParkedPlace) {
    Form7->Show();
    ReadLabelsFromDialog();  // parks every empty label
    Form1->Edit1->SetText("x");
    uitest::Click(Form7->Button1);
    Trace();
    EXPECT_EQ(LabelHitBottom[3], std::round(600 - 17 * 1.1 * 9) + 17);
}

TEST_F(LabelsTest, LabelsAreDrawnAtTheirSizeOnAPaleYellowBackgroundWhenHighlighted) {
    Form7->Edit1->SetText("MMMM");
    Form7->Edit2->SetText("MMMM");
    Form7->Edit14->SetText("200");
    ReadLabelsFromDialog();
    LabelX[0] = -5;  LabelY[0] = 5;   // pixel (0, 0)
    LabelX[1] = 0;   LabelY[1] = 0;   // pixel (400, 300)
    Trace();
    EXPECT_EQ(LabelHitBottom[0], 17);
    EXPECT_EQ(LabelHitBottom[1], 300 + 34);
    const double single = LabelHitRight[0];
    const double twice = LabelHitRight[1] - 400;
    EXPECT_NEAR(twice / single, 2.0, 0.2);
    TBitmap& picture = Form1->im->Bitmap();
    EXPECT_EQ(CountColour(picture, LabelHighlightColour), 0);

    LabelHighlighted[1] = 1;
    Trace();
    int inside = 0;
    for (int y = 300; y < 334; ++y)
        for (int x = 400; x < int(LabelHitRight[1]); ++x) inside += Pixel(x, y) == LabelHighlightColour;
    EXPECT_GT(inside, 100);
    EXPECT_EQ(CountColour(picture, LabelHighlightColour), inside);  // nowhere else
    EXPECT_EQ(LabelHighlightColour, TColor(11201261));

    // The text is black, in colour mode too.
    int black = 0;
    for (int y = 0; y < 17; ++y)
        for (int x = 0; x < int(LabelHitRight[0]); ++x) black += Pixel(x, y) == clBlack;
    EXPECT_GT(black, 20);
}

TEST_F(LabelsTest, TheFontListHoldsTheInstalledFacesAndTheChosenFaceDrawsTheLabels) {
    EXPECT_EQ(Texts(Form7->cpol->Items().begin(), Form7->cpol->Items().end()), screen.fonts);
    Form7->Edit1->SetText("iiiiiiii");
    LabelX[0] = -5;
    LabelY[0] = 5;
    Trace();
    const double proportional = LabelHitRight[0];
    Form7->Show();
    uitest::ChooseItem(Form7->cpol, 1);
    EXPECT_EQ(Form7->cpol->Text(), "Courier New");
    EXPECT_EQ(Form7->Label2->Font.Name, "Courier New");
    EXPECT_EQ(LabelFontName(), "Courier New");
    Trace();
    EXPECT_GT(LabelHitRight[0], proportional * 1.5);  // a monospaced face
    EXPECT_EQ(LegendFontName(), "Courier New");
}

TEST_F(LabelsTest, AnExportDrawsTheLabelsWithoutTouchingTheScreensHitBoxes) {
    Form7->Edit1->SetText("Bonjour");
    LabelX[0] = 0;
    LabelY[0] = 0;
    Trace();
    const double right = LabelHitRight[0], bottom = LabelHitBottom[0];
    ASSERT_EQ(bottom, 317);
    TBitmap exported(1600, 1200);
    RedrawGraph(exported);
    EXPECT_EQ(LabelHitRight[0], right);
    EXPECT_EQ(LabelHitBottom[0], bottom);
    int ink = 0;
    for (int y = 600; y < 640; ++y)
        for (int x = 800; x < 900; ++x) ink += exported.Canvas().Pixels(x, y) == clBlack;
    EXPECT_GT(ink, 20);
    Trace();  // the screen again: the image's size decides
    EXPECT_EQ(LabelHitBottom[0], 317);
}

TEST_F(LabelsTest, LabelsKeepTheirWorldPositionWhenTheWindowChanges) {
    Form7->Edit1->SetText("Bonjour");
    LabelX[0] = 1;
    LabelY[0] = 1;
    Trace();
    EXPECT_EQ(LabelHitBottom[0], 240 + 17);
    Form1->Edit12->SetText("-1");
    Form1->Edit13->SetText("2");
    Trace();
    EXPECT_EQ(LabelX[0], 1);
    EXPECT_EQ(LabelHitBottom[0], 200 + 17);
}

TEST_F(LabelsTest, ALabelFarOutsideOrHugeDoesNotEndThePicture) {
    Form7->Edit1->SetText("loin");
    Form7->Edit2->SetText("grand");
    ReadLabelsFromDialog();
    LabelX[0] = 1e300;
    LabelSizes[1] = 1e300;
    Form1->leg->SetChecked(true);
    ClearJournal();
    Trace();
    EXPECT_EQ(Count("legend"), 1);
}

}  // namespace
}  // namespace labelstest
