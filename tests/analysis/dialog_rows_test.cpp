// What the three analysis dialogs share: the reading of a typed value with the parameters
// a and b and the domain clamp, the function combo boxes, the rounding of results, and
// the dialogs' events (menu, snapshot at show, Esc and "Valider", the loading flag).
#include <stdexcept>

#include "dialogs/analysis_rows.h"
#include "dialogs/areas_form.h"
#include "dialogs/derivatives_form.h"
#include "dialogs/sequences_form.h"
#include "engine/number_errors.h"
#include "application/startup.h"
#include "settings/settings_file.h"
#include "platform/ui/keys.h"
#include "sound/vartelo_program.h"
#include "tests/analysis/analysis_fixture.h"

namespace analysistest {
namespace {

using RowsTest = AnalysisTest;

TEST_F(RowsTest, TypedValuesTakeTheParametersAndOnlyPlainNumbers) {
    Start();
    SetParameters("2", "5");
    EXPECT_EQ(ParseParamValue("a", 0), 2);
    EXPECT_EQ(ParseParamValue("-a", 0), -2);
    EXPECT_EQ(ParseParamValue("ab", 0), 25);
    EXPECT_EQ(ParseParamValue("1.5", 0), 1.5);
    EXPECT_EQ(ParseParamValue("1,5", 0), 1.5);
    EXPECT_THROW(ParseParamValue("2*a", 0), NumberError);
    EXPECT_THROW(ParseParamValue("", 0), NumberError);
    // No function named: nothing is read, no domain is indexed.
    EXPECT_THROW(ParseParamValue("1", -1), std::out_of_range);
    EXPECT_THROW(ParseParamValue("1", 9), std::out_of_range);
}

TEST_F(RowsTest, AParameterTextHoldingItsOwnLetterFailsInsteadOfSubstitutingForever) {
    Start();
    SetParameters("a", "2b");
    EXPECT_EQ(SubstituteParameters("a+b"), "a+2b");
    EXPECT_THROW(ParseParamValue("a", 0), NumberError);
    EXPECT_THROW(ParseParamValue("b", 0), NumberError);
    // A text of a that holds a "b" takes b's text, as a user of both would expect.
    SetParameters("1b", "7");
    EXPECT_EQ(ParseParamValue("a", 0), 17);
}

TEST_F(RowsTest, TypedValuesAreClampedIntoTheFunctionsDomain) {
    Start();
    DomainLower[2] = -DomainInfinity;
    DomainUpper[2] = 3;
    EXPECT_EQ(ParseParamValue("7", 2), 3);
    EXPECT_EQ(ParseParamValue("-700", 2), -700);
    DomainLower[3] = -5;
    DomainUpper[3] = DomainInfinity;
    EXPECT_EQ(ParseParamValue("-20", 3), -5);
    EXPECT_EQ(ParseParamValue("1E200", 3), 1e200);
    // The bound is inside the domain.
    EXPECT_EQ(ParseParamValue("-5", 3), -5);
}

TEST_F(RowsTest, ComboBoxesNameTheFunctionsByTheirLetters) {
    Start();
    TComboBox* second = Form2->ComboBox2;
    TComboBox* first = Form2->ComboBox1;
    ASSERT_EQ(first->Items().Count(), 10);
    EXPECT_EQ(first->Items()[0], "0");
    EXPECT_EQ(first->Text(), "0");
    EXPECT_EQ(ComboIndexOf(first), 0);
    EXPECT_EQ(second->Items().Count(), 9);
    second->SetText("h");
    EXPECT_EQ(ComboIndexOf(second), 2);
    second->SetText("H");  // the comparison is exact
    EXPECT_EQ(ComboIndexOf(second), -1);
    second->SetText("z");
    EXPECT_EQ(ComboIndexOf(second), -1);
    EXPECT_EQ(Form3->ComboBox10->Text(), "j");  // the settings name row N after the N-th function
    EXPECT_EQ(Form5->ComboBox2->Text(), "f");
    EXPECT_EQ(Form5->ComboBox4->Text(), "g");
    EXPECT_EQ(Form5->ComboBox6->Text(), "h");
    EXPECT_TRUE(Form5->CheckBox2->Checked());
    EXPECT_FALSE(Form5->CheckBox1->Checked());
}

TEST_F(RowsTest, ResultsBelowAMillionAreRoundedToSixDecimalsWithASignedTest) {
    EXPECT_EQ(RoundToSixDecimals(2.0000001L), 2.0L);
    EXPECT_EQ(RoundToSixDecimals(-1.0000004L), -1.0L);
    EXPECT_EQ(RoundToSixDecimals(10000000.25L), 10000000.25L);
    EXPECT_EQ(RoundToSixDecimals(-10000000.2500003L), -10000000.25L);
    // Far below the range of a 64-bit integer the value stays what it is.
    EXPECT_EQ(RoundToSixDecimals(-1e20L), -1e20L);
    EXPECT_EQ(RoundToSixDecimals(-1e300L), -1e300L);
}

TEST_F(RowsTest, TheMenuOfQuimbelShowsTheDialogsAndEachShowTakesASnapshot) {
    Start();
    snapshots = 0;
    uitest::ClickMenu(Form1->Tracerladriveena1);
    EXPECT_TRUE(Form3->Visible());
    EXPECT_EQ(snapshots, 1);
    uitest::ClickMenu(Form1->Afficherlasurfaceentreaetb1);
    EXPECT_TRUE(Form2->Visible());
    EXPECT_EQ(snapshots, 2);
    uitest::ClickMenu(Form1->un1fun1);
    EXPECT_TRUE(Form5->Visible());
    EXPECT_EQ(snapshots, 3);
    EXPECT_EQ(Form3->Caption(), "Tracer et estimer les surfaces entre courbes");
    EXPECT_EQ(Form5->Label10->Caption(), "Utiliser les fleches pour controler n");
    EXPECT_EQ(Form5->CheckBox2->Caption(), "Pas \xE0 pas (avec les fl\xE8" "ches)");
    EXPECT_EQ(Form2->Label12->Caption(), "\xE0");
}

TEST_F(RowsTest, VarteloHasNoMenuItemsForTheAnalysisDialogs) {
    Start(VarteloProgram());
    EXPECT_EQ(Form1->Tracerladriveena1, nullptr);
    EXPECT_EQ(Form1->Afficherlasurfaceentreaetb1, nullptr);
    EXPECT_EQ(Form1->un1fun1, nullptr);
    // The handlers exist all the same.
    Form1->Tracerladriveena1Click(Form1);
    EXPECT_TRUE(Form3->Visible());
}

TEST_F(RowsTest, EscAndValiderHideTheDialogsWithoutRedrawing) {
    Start();
    ClearJournal();
    Form3->Show();
    uitest::PressKey(Form3, VK_ESCAPE);
    EXPECT_FALSE(Form3->Visible());
    Form2->Show();
    uitest::PressKey(Form2, VK_ESCAPE);
    EXPECT_FALSE(Form2->Visible());
    Form5->Show();
    uitest::PressKey(Form5, VK_ESCAPE);
    EXPECT_FALSE(Form5->Visible());
    for (TForm* form : std::initializer_list<TForm*>{Form2, Form3, Form5}) {
        form->Show();
        TButton* valider = form == Form2 ? Form2->Button1 : form == Form3 ? Form3->Button1 : Form5->Button1;
        EXPECT_EQ(valider->Caption(), "Valider");
        EXPECT_TRUE(valider->Font.Bold);
        uitest::Click(valider);
        EXPECT_FALSE(form->Visible());
    }
}

TEST_F(RowsTest, ResultLabelsAreLeftAloneWhileASettingsLoadRuns) {
    Start();
    SetFunction(0, "x^2");
    Form3->Edit1->SetText("1");
    Form2->Edit2->SetText("1");
    Form5->Edit1->SetText("1");
    LoadingFlag = true;  // as the loader sets it while it applies the values
    Form3->CheckBox1->SetChecked(true);
    Form2->CheckBox1->SetChecked(true);
    Form5->CheckBox1->SetChecked(true);
    EXPECT_EQ(Form3->Label20->Caption(), "");
    EXPECT_EQ(Form2->Label20->Caption(), "");
    EXPECT_EQ(Form5->Label7->Caption(), "");
    LoadingFlag = false;
    UpdateTangentLabels();
    UpdateAreaLabels();
    UpdateSequenceLimits();
    EXPECT_EQ(Form3->Label20->Caption(), "Tangente : y = 2.x + -1");
    EXPECT_EQ(Form2->Label20->Caption(), "Int\xE9grale : 0,333333");
    EXPECT_EQ(Form5->Label7->Caption(), "Limite =1");
}

TEST_F(RowsTest, TheFirstActivationComputesTheTangentAndAreaResults) {
    // A state file with an area row and a tangent row switched on...
    Start();
    SetFunction(0, "x");
    Form2->CheckBox1->SetChecked(true);
    Form2->Edit2->SetText("1");
    Form3->CheckBox1->SetChecked(true);
    SaveSettings(StateFileName, 1);
    // ...loaded by the next start: the results appear at its first activation.
    FormsReady = false;
    Application->DestroyForms();
    ForgetProgramWindows();
    StartProgram(QuimbelProgram(), false);
    EXPECT_EQ(Form2->Label20->Caption(), "");
    ShowMainWindow();
    EXPECT_EQ(Form2->Label20->Caption(), "Int\xE9grale : 0,5");
    EXPECT_EQ(Form3->Label20->Caption(), "Tangente : y = 1.x + 0");
}

}  // namespace
}  // namespace analysistest
