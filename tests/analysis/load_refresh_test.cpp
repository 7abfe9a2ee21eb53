// The rows of the analysis dialogs after a load: "Ouvrir" of a curve file, "Nouveau" and
// undo show the results of the loaded drawing in every tangent, area and sequence row,
// with the loaded domains.
#include <filesystem>
#include <string>

#include "dialogs/areas_form.h"
#include "dialogs/derivatives_form.h"
#include "dialogs/sequences_form.h"
#include "platform/ui/keys.h"
#include "application/startup.h"
#include "settings/settings_file.h"
#include "tests/analysis/analysis_fixture.h"

namespace analysistest {
namespace {

class LoadRefreshTest : public AnalysisTest {
protected:
    void SetUp() override {
        AnalysisTest::SetUp();
        // Undo needs the ring itself, which start-up installs when no taker is set.
        UndoSnapshotTaker() = nullptr;
    }

    std::filesystem::path CurveFile() const { return startDirectory->Path() / "courbe.fct"; }
    void EnterF(const std::string& text) {
        uitest::ReplaceText(Form1->Edit1, text);
        uitest::PressKey(Form1->Edit1, VK_RETURN);
    }
    // f = x/2+1 with a tangent at 0, an area from 0 to 2 and a sequence from 0 on it,
    // switched on by clicks in the dialogs, saved with "Enregistrer Sous".
    void SaveDrawingWithRowsOnF() {
        Start();
        EnterF("x/2+1");
        uitest::ClickMenu(Form1->Tracerladriveena1);
        uitest::Click(Form3->CheckBox1);
        uitest::ClickMenu(Form1->Afficherlasurfaceentreaetb1);
        uitest::ReplaceText(Form2->Edit2, "2");
        uitest::Click(Form2->CheckBox1);
        uitest::ClickMenu(Form1->un1fun1);
        uitest::Click(Form5->CheckBox1);
        ASSERT_EQ(Rows(), SavedRows());
        // Enter in f's edit makes this state a step of the undo ring.
        uitest::PressKey(Form1->Edit1, VK_RETURN);
        files.Pick(CurveFile());
        uitest::ClickMenu(Form1->Enregistrer1);
        ASSERT_TRUE(std::filesystem::exists(CurveFile()));
    }
    // Another drawing: f = x/3+2, defined from 1 on.
    void ChangeDrawing() {
        uitest::ClickMenu(Form1->Limitedudomainededefinition1);
        uitest::ReplaceText(Form6->Edit1, "1");
        uitest::Click(Form6->Button1);
        EnterF("x/3+2");
        ASSERT_EQ(Rows(), ChangedRows());
    }

    static std::string Rows() {
        return Form3->Label20->Caption() + " | " + Form2->Label20->Caption() + " | " + Form5->Label7->Caption();
    }
    static std::string SavedRows() { return "Tangente : y = 0,5.x + 1 | Int\xE9grale : 3 | Limite =2"; }
    // The area from 1 (the domain's bound) to 2.
    static std::string ChangedRows() { return "Tangente : y = 0,333333.x + 2 | Int\xE9grale : 2,5 | Limite =3"; }
};

TEST_F(LoadRefreshTest, OuvrirShowsTheResultsOfTheOpenedDrawing) {
    SaveDrawingWithRowsOnF();
    ChangeDrawing();
    files.Pick(CurveFile());
    uitest::ClickMenu(Form1->Ouvri1);
    EXPECT_EQ(Form1->Edit1->Text(), "x/2+1");
    EXPECT_EQ(Rows(), SavedRows());
    // Undo goes back to the drawing before "Ouvrir", redo to the opened one.
    uitest::PressKey(Form1, 'Z', TShiftState{ssCtrl});
    EXPECT_EQ(Form1->Edit1->Text(), "x/3+2");
    EXPECT_EQ(Rows(), ChangedRows());
    uitest::PressKey(Form1, 'Y', TShiftState{ssCtrl});
    EXPECT_EQ(Rows(), SavedRows());
}

TEST_F(LoadRefreshTest, NouveauClearsEveryRowAndUndoBringsThemBack) {
    SaveDrawingWithRowsOnF();
    messages.Answer(mrYes);
    uitest::ClickMenu(Form1->Nouveau1);
    EXPECT_EQ(Form1->Edit1->Text(), "");
    EXPECT_FALSE(Form5->CheckBox1->Checked());
    EXPECT_EQ(Rows(), " |  | ");
    uitest::PressKey(Form1, 'Z', TShiftState{ssCtrl});
    EXPECT_EQ(Form1->Edit1->Text(), "x/2+1");
    EXPECT_EQ(Rows(), SavedRows());
}

// The first activation of a new run shows the sequence limits of the state file too.
TEST_F(LoadRefreshTest, TheFirstActivationComputesEveryRow) {
    SaveDrawingWithRowsOnF();
    std::filesystem::copy_file(CurveFile(), startDirectory->Path() / StateFileName,
                               std::filesystem::copy_options::overwrite_existing);
    FormsReady = false;
    Application->DestroyForms();
    ForgetProgramWindows();
    StartProgram(QuimbelProgram(), false);
    ShowMainWindow();
    EXPECT_EQ(Rows(), SavedRows());
}

}  // namespace
}  // namespace analysistest
