// Start-up, first and later activations, the error boundary and closing of the main window.
#include <stdexcept>

#include "dialogs/areas_form.h"
#include "dialogs/derivatives_form.h"
#include "dialogs/domains_form.h"
#include "dialogs/ftp_form.h"
#include "dialogs/help_form.h"
#include "dialogs/labels_form.h"
#include "dialogs/sequences_form.h"
#include "dialogs/vertical_lines_form.h"
#include "plotter/drawing_state.h"
#include "plotter/main_form.h"
#include "plotter/main_window_hooks.h"
#include "sound/vartelo_program.h"
#include "tests/plotter/program_harness.h"
#include "variants/quimbel_program.h"

namespace plottest {
namespace {

using Journal = std::vector<std::string>;

class StartupTest : public ProgramTest {};

TEST_F(StartupTest, CreatesTheMainWindowThenTheEightDialogsInOrder) {
    StartProgram(VarteloProgram());
    const auto& forms = Application->Forms();
    ASSERT_EQ(forms.size(), 9u);
    const std::vector<TForm*> expected = {Form1, Form2, Form3, Form4, Form5, Form6, Form7, Form8, Form9};
    for (size_t i = 0; i < expected.size(); ++i) {
        EXPECT_EQ(forms[i].get(), expected[i]) << "window " << i + 1;
        EXPECT_EQ(forms[i]->Name(), "Form" + std::string(1, char('1' + i)));
    }
    EXPECT_EQ(Application->MainForm(), Form1);
    EXPECT_EQ(StartDirectory, startDirectory->Path());  // remembered by Form1's creation
    EXPECT_EQ(Form2->Caption(), "Tracer et estimer les surfaces entre courbes");
    EXPECT_EQ(Form4->Caption(), "Envoie par ftp");
    EXPECT_EQ(Form5->Caption(), "U(n+1) = F (Un)");
    EXPECT_EQ(Form6->Caption(), "Domaines de d\xE9" "finition");
    EXPECT_EQ(Form7->Caption(), "Ajouter des ettiquette mobiles");
    EXPECT_EQ(Form8->Caption(), "Aide");
    EXPECT_EQ(Form9->Caption(), "Droites verticales");
    EXPECT_TRUE(LoadingFlag);
}

TEST_F(StartupTest, NothingIsDrawnBeforeEveryWindowExistsNorBeforeTheWindowShows) {
    StartProgram(VarteloProgram());
    // Building Form1 sized and maximised it; none of that may redraw.
    EXPECT_EQ(journal, Journal{});
    ShowMainWindow();
    EXPECT_GE(Count("curves"), 1);
    EXPECT_TRUE(allWindowsAtEveryStep);
    EXPECT_EQ(Form1->im->Bitmap().Width(), Form1->im->Width());
    EXPECT_EQ(Form1->im->Bitmap().Height(), Form1->im->Height());
}

TEST_F(StartupTest, FirstActivationLoadsRefreshesAndTakesTheFirstSnapshotBeforeDrawing) {
    StartProgram(QuimbelProgram());
    bool loadingAtRecompute = true;
    auto recompute = LifecycleHooks().RecomputeAnalysisResults;
    LifecycleHooks().RecomputeAnalysisResults = [&] {
        loadingAtRecompute = LoadingFlag;
        recompute();
    };
    ShowMainWindow();
    ASSERT_GE(journal.size(), 5u);
    EXPECT_EQ(journal[0], "load");
    EXPECT_EQ(journal[1], "refresh");
    const auto recomputeAt = std::find(journal.begin(), journal.end(), "recompute");
    ASSERT_NE(recomputeAt, journal.end());
    ASSERT_GE(journal.end() - recomputeAt, 3);
    EXPECT_EQ(*(recomputeAt + 1), "snapshot");
    // The resize handling redraws before the flag is cleared, the activation after the
    // snapshot (the window's own resizes may redraw again later).
    EXPECT_EQ(std::count(journal.begin() + 2, recomputeAt, "curves"), 1);
    EXPECT_EQ(*(recomputeAt + 2), "vertical");
    EXPECT_FALSE(loadingAtRecompute);
    EXPECT_FALSE(LoadingFlag);
    EXPECT_EQ(messages.Count(), 0);
}

TEST_F(StartupTest, LaterActivationsOnlyRedraw) {
    StartProgram(VarteloProgram());
    ShowMainWindow();
    ClearJournal();
    Form6->Show();  // a dialog takes the activation, then gives it back
    Form6->Hide();
    Application->ProcessMessages();
    EXPECT_EQ(Count("load"), 0);
    EXPECT_EQ(Count("snapshot"), 0);
    EXPECT_EQ(Count("curves"), 1);
}

TEST_F(StartupTest, AFailedFirstLoadIsReportedAndTriedAgainAtTheNextActivation) {
    StartProgram(VarteloProgram());
    auto load = LifecycleHooks().LoadStateFile;
    bool fail = true;
    LifecycleHooks().LoadStateFile = [&] {
        load();
        if (fail) throw std::runtime_error("Fichier d\xE9" "fectueux");
    };
    ShowMainWindow();
    ASSERT_EQ(messages.Count(), 1);
    EXPECT_EQ(messages.Last().Text, "Fichier d\xE9" "fectueux");
    EXPECT_TRUE(LoadingFlag);
    EXPECT_EQ(Count("refresh"), 0);
    EXPECT_EQ(Count("snapshot"), 0);

    // The program goes on: the next activation loads again, this time to the end.
    fail = false;
    ClearJournal();
    Form9->Show();
    Form9->Hide();
    Application->ProcessMessages();
    EXPECT_EQ(Count("load"), 1);
    EXPECT_EQ(Count("snapshot"), 1);
    EXPECT_FALSE(LoadingFlag);
    EXPECT_EQ(messages.Count(), 1);
}

TEST_F(StartupTest, ClosingSavesTheStateAndStopsTheResizeRedraws) {
    StartProgram(VarteloProgram());
    ShowMainWindow();
    Form1->leg->SetChecked(true);
    ClearJournal();
    uitest::Close(Form1);
    Application->ProcessMessages();
    EXPECT_EQ(Count("save"), 1);
    EXPECT_TRUE(ClosingFlag);
    EXPECT_EQ(ShowLegend, 1);
    ClearJournal();
    Form1->SetBounds(0, 0, 700, 500);
    EXPECT_EQ(Count("curves"), 0);
}

}  // namespace
}  // namespace plottest
