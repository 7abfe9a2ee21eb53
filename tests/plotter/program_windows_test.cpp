// What each program's main window holds: captions, rows, colours, the controls and menu
// items of one program only, the melody grid, and "Trace" and resizing leaving the note
// grid alone.
#include <QAction>

#include "platform/ui/menus.h"
#include "plotter/drawing_state.h"
#include "plotter/main_form.h"
#include "sound/vartelo_program.h"
#include "tests/plotter/program_harness.h"
#include "variants/quimbel_program.h"

namespace plottest {
namespace {

class ProgramWindowsTest : public ProgramTest {};

TEST_F(ProgramWindowsTest, VarteloHasItsCaptionSoundRowsSoundControlsAndMelodyPage) {
    StartProgram(VarteloProgram());
    EXPECT_EQ(Form1->Caption(), "Vartelo");
    EXPECT_EQ(Form1->Label1->Caption(), "f(x)=");
    EXPECT_EQ(Form1->Label7->Caption(), "l(x)=");
    EXPECT_EQ(Form1->Label8->Caption(), ".");
    EXPECT_EQ(Form1->Label9->Caption(), "Somme (x)=");
    EXPECT_EQ(Form1->Label8->Color(), TColor(0x464EDC));
    EXPECT_EQ(Form1->Label9->Color(), TColor(0x34A2E7));
    EXPECT_EQ(Form1->Label9->Font.Color, clWhite);
    EXPECT_EQ(Form1->Label5->Font.Color, clBlack);
    EXPECT_TRUE(Form1->Label1->Font.Bold);
    EXPECT_EQ(Form1->Edit1->Font.Color, TColor(0xFF752C));

    ASSERT_NE(Form1->pc, nullptr);
    ASSERT_EQ(Form1->pc->PageCount(), 2);
    EXPECT_EQ(Form1->pc->Pages(0)->Caption(), "Fonction de son");
    EXPECT_EQ(Form1->pc->Pages(1)->Caption(), "Construction d'une suite d'harmonie");
    ASSERT_NE(Form1->exc, nullptr);
    ASSERT_NE(Form1->Button5, nullptr);
    EXPECT_EQ(Form1->Button5->Caption(), "Jouer");
    EXPECT_TRUE(Form1->cst->Checked());
    EXPECT_TRUE(Form1->rb1->Checked());
    EXPECT_EQ(Form1->Edit20->Text(), "1");
    EXPECT_EQ(Form1->Edit26->Text(), "90");
    EXPECT_EQ(Form1->Edit27->Text(), "264");
    EXPECT_EQ(Form1->Memo2->Lines().Count(), 6);
    EXPECT_EQ(Form1->abspi->Caption(), "Abscisses en secondes (1s=2*pi)");
    EXPECT_TRUE(Form1->abspi->Checked());
    EXPECT_EQ(Form1->Tracerladriveena1, nullptr);
    EXPECT_EQ(FunctionColours[7], TColor(0x464EDC));

    // The melody grid's headings.
    TStringGrid* ms = Form1->ms;
    ASSERT_NE(ms, nullptr);
    EXPECT_EQ(ms->ColCount(), 1000);
    EXPECT_EQ(ms->RowCount(), 24);
    EXPECT_EQ(ms->Cell(0, 0), "Temps");
    EXPECT_EQ(ms->Cell(0, 1), "Dur\xE9" "e");
    EXPECT_EQ(ms->Cell(1, 0), "0");
    EXPECT_EQ(ms->Cell(999, 0), "998");
    EXPECT_EQ(ms->Cell(999, 1), "1");
    EXPECT_EQ(ms->Cell(0, 2), "L1");
    EXPECT_EQ(ms->Cell(0, 3), "vol1");
    EXPECT_EQ(ms->Cell(0, 22), "L11");
    EXPECT_EQ(ms->Cell(0, 23), "vol11");
    EXPECT_EQ(Form1->sg->ColCount(), 16);
    EXPECT_EQ(Form1->sg->RowCount(), 50);
}

TEST_F(ProgramWindowsTest, QuimbelHasItsCaptionPlainRowsSwappedColoursAndNoSound) {
    StartProgram(QuimbelProgram());
    EXPECT_EQ(Form1->Caption(), "Quimbel");
    EXPECT_EQ(Form1->Label8->Caption(), "m(x)=");
    EXPECT_EQ(Form1->Label9->Caption(), "n(x)=");
    EXPECT_EQ(Form1->Label8->Color(), TColor(0x34A2E7));
    EXPECT_EQ(Form1->Label9->Color(), TColor(0x464EDC));
    EXPECT_EQ(Form1->pc, nullptr);
    EXPECT_EQ(Form1->exc, nullptr);
    EXPECT_EQ(Form1->Button5, nullptr);
    EXPECT_EQ(Form1->Edit20, nullptr);
    EXPECT_EQ(Form1->ms, nullptr);
    EXPECT_EQ(Form1->sg, nullptr);
    EXPECT_EQ(Form1->Memo2->Lines().Count(), 5);
    EXPECT_EQ(Form1->abspi->Caption(), "Abscisses en multiple de pi");
    EXPECT_FALSE(Form1->abspi->Checked());
    ASSERT_NE(Form1->Tracerladriveena1, nullptr);
    EXPECT_EQ(Form1->un1fun1->Caption(), "U(n+1) = F(Un)");
    EXPECT_EQ(Form1->Button2->Caption(), "Normer");
    EXPECT_EQ(Form1->im->Parent(), Form1);  // right of the panel, on the window itself
}

void ExpectDesignDefaults() {
    EXPECT_EQ(Form1->Edit10->Text(), "-5");
    EXPECT_EQ(Form1->Edit13->Text(), "5");
    EXPECT_EQ(Form1->Edit14->Text(), "3");
    EXPECT_EQ(Form1->UpDown6->Position(), 3);
    EXPECT_EQ(Form1->UpDown7->Position(), 100);
    EXPECT_EQ(Form1->Edit17->Text(), "800");
    EXPECT_EQ(Form1->Edit18->Text(), "2");
    EXPECT_TRUE(Form1->axe->Checked());
    EXPECT_FALSE(Form1->quad->Checked());
    for (int i = 0; i < 8; ++i) EXPECT_TRUE(Form1->ShowButtons[size_t(i)]->Down()) << i;
    EXPECT_FALSE(Form1->sd9->Down());
    EXPECT_EQ(Form1->sd1->Hint(), "Afficher/Cacher la fonction f");
    EXPECT_TRUE(Form1->KeyPreview());
}

TEST_F(ProgramWindowsTest, VarteloStartsWithTheDesignDefaults) {
    StartProgram(VarteloProgram());
    ExpectDesignDefaults();
}

TEST_F(ProgramWindowsTest, QuimbelStartsWithTheDesignDefaults) {
    StartProgram(QuimbelProgram());
    ExpectDesignDefaults();
}

// A separator of the menus is a plain line, no caption drawn beside it; the separators of
// "Options", counted.
int CheckSeparators() {
    int inOptions = 0;
    for (TMenuItem* menu : {Form1->Fichier1, Form1->Exporter1, Form1->Options1}) {
        for (int i = 0; i < menu->Count(); ++i) {
            if (!menu->Items(i)->IsSeparator()) continue;
            const QAction* action = menu->Items(i)->Action();
            EXPECT_TRUE(action->isSeparator());
            EXPECT_TRUE(action->text().isEmpty()) << action->text().toStdString();
            inOptions += menu == Form1->Options1;
        }
    }
    return inOptions;
}

TEST_F(ProgramWindowsTest, MenuSeparatorsAreLinesWithoutText) {
    StartProgram(VarteloProgram());
    EXPECT_EQ(CheckSeparators(), 2);
}

TEST_F(ProgramWindowsTest, QuimbelMenuSeparatorsAreLinesWithoutText) {
    StartProgram(QuimbelProgram());
    EXPECT_EQ(CheckSeparators(), 3);
}

TEST_F(ProgramWindowsTest, VarteloTraceAndResizeOnlyRedrawAndLeaveTheNotesAlone) {
    StartProgram(VarteloProgram());
    ShowMainWindow();
    uitest::ChooseTab(Form1->pc, 1);
    uitest::EditCell(Form1->ms, 1, 2, "A1");
    uitest::ChooseTab(Form1->pc, 0);
    ClearJournal();
    Trace();
    SizeImage(600, 400);
    SizeImage(640, 420);
    EXPECT_GE(Count("curves"), 3);
    EXPECT_EQ(Form1->ms->Cell(1, 2), "A1");
    EXPECT_EQ(Form1->Edit23->Text(), "A");
    EXPECT_EQ(Form1->Edit24->Text(), "B");
}

}  // namespace
}  // namespace plottest
