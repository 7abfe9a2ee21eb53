// The commands of the left panel and of the "Options" menu, driven as a user does: arrows
// of the up-downs, typing, clicks on buttons, check boxes and menu items.
#include "engine/number_format.h"
#include "plotter/function_rows.h"
#include "tests/commands/commands_fixture.h"

namespace commandstest {
namespace {

TEST_F(CommandsTest, TheParameterArrowsAddAndSubtractTheStepValue) {
    uitest::ClickUpDown(Form1->UpDown1, btNext);
    EXPECT_EQ(Form1->Edit15->Text(), "2");
    uitest::ClickUpDown(Form1->UpDown1, btNext);
    EXPECT_EQ(Form1->Edit15->Text(), "4");
    uitest::ClickUpDown(Form1->UpDown1, btPrev);
    EXPECT_EQ(Form1->Edit15->Text(), "2");
    // Each step recomputes the tangent results, redraws and takes a snapshot.
    EXPECT_EQ(Redraws(), 3);
    EXPECT_EQ(snapshots, 3);

    uitest::ReplaceText(Form1->Edit18, "0.1");
    uitest::ClickUpDown(Form1->UpDown3, btNext);
    uitest::ClickUpDown(Form1->UpDown3, btNext);
    uitest::ClickUpDown(Form1->UpDown3, btNext);
    EXPECT_EQ(Form1->Edit16->Text(), "0,3");  // written back with 15 digits: no 0,30000000000000004
    uitest::ClickUpDown(Form1->UpDown3, btPrev);
    EXPECT_EQ(Form1->Edit16->Text(), "0,2");
    EXPECT_EQ(Form1->Edit15->Text(), "2");
}

TEST_F(CommandsTest, TheOtherParameterArrowsMultiplyAndDivideButNeverByZero) {
    uitest::ClickUpDown(Form1->UpDown2, btNext);
    EXPECT_EQ(Form1->Edit15->Text(), "0");

    uitest::ReplaceText(Form1->Edit15, "3");
    uitest::ClickUpDown(Form1->UpDown2, btNext);
    EXPECT_EQ(Form1->Edit15->Text(), "6");
    uitest::ClickUpDown(Form1->UpDown2, btPrev);
    uitest::ClickUpDown(Form1->UpDown2, btPrev);
    EXPECT_EQ(Form1->Edit15->Text(), "1,5");

    uitest::ReplaceText(Form1->Edit16, "-7");
    uitest::ReplaceText(Form1->Edit18, "0");
    ClearJournal();
    snapshots = 0;
    uitest::ClickUpDown(Form1->UpDown4, btPrev);
    EXPECT_EQ(Form1->Edit16->Text(), "-7");
    // The refused division still redraws and takes its snapshot.
    EXPECT_EQ(Redraws(), 1);
    EXPECT_EQ(snapshots, 1);
    uitest::ClickUpDown(Form1->UpDown4, btNext);
    EXPECT_EQ(Form1->Edit16->Text(), "0");
    EXPECT_EQ(messages.Count(), 0);

    // Letters count as 0; a text that looks like a number but is none raises to the
    // error message and stays as it was.
    uitest::ReplaceText(Form1->Edit18, "1");
    uitest::ReplaceText(Form1->Edit16, "b");
    uitest::ClickUpDown(Form1->UpDown3, btNext);
    EXPECT_EQ(Form1->Edit16->Text(), "1");
    uitest::ReplaceText(Form1->Edit16, "1,2,3");
    uitest::ClickUpDown(Form1->UpDown3, btNext);
    EXPECT_EQ(messages.Count(), 1);
    EXPECT_EQ(Form1->Edit16->Text(), "1,2,3");
}

TEST_F(CommandsTest, TheScaleArrowsZoomAboutTheCentreOfTheWindow) {
    uitest::ClickUpDown(Form1->UpDown5, btNext);
    EXPECT_EQ(WindowTexts(), (Texts{"-5", "5", "-2,8", "2,8"}));
    SetWindowTexts({"-5", "5", "-5", "5"});
    uitest::ClickUpDown(Form1->UpDown5, btPrev);
    EXPECT_EQ(WindowTexts(), (Texts{"-5", "5", "-9,5", "9,5"}));

    SetWindowTexts({"0", "10", "1", "3"});
    uitest::ClickUpDown(Form1->UpDown8, btNext);
    EXPECT_EQ(WindowTexts(), (Texts{"2,2", "7,8", "1", "3"}));
    uitest::ClickUpDown(Form1->UpDown8, btPrev);
    EXPECT_EQ(WindowTexts(), (Texts{"-0,32", "10,32", "1", "3"}));
    EXPECT_EQ(Redraws(), 4);
    EXPECT_EQ(snapshots, 4);
    EXPECT_EQ(WindowXMin, -0.32);
    EXPECT_EQ(WindowXMax, 10.32);
}

TEST_F(CommandsTest, CentrerSpreadsTheWindowByTheZoomWithoutRedrawing) {
    uitest::ReplaceText(Form1->Edit20, "0,25");
    uitest::Click(Form1->Button3);
    EXPECT_EQ(WindowTexts(), (Texts{"-10", "10", "-2,5", "2,5"}));
    EXPECT_EQ(Redraws(), 0);
    EXPECT_EQ(snapshots, 1);

    uitest::ReplaceText(Form1->Edit20, "-1");
    uitest::Click(Form1->Button3);
    EXPECT_EQ(WindowTexts(), (Texts{"5", "-5", "-2,5", "2,5"}));  // reversed, as asked

    // The zoom arrows step the zoom, centre and redraw.
    uitest::ReplaceText(Form1->Edit20, "1");
    uitest::ClickUpDown(Form1->UpDown9, btNext);
    EXPECT_EQ(Form1->Edit20->Text(), "3");
    EXPECT_EQ(WindowTexts(), (Texts{"-1,66666666666667", "1,66666666666667", "-2,5", "2,5"}));
    uitest::ClickUpDown(Form1->UpDown10, btNext);
    EXPECT_EQ(Form1->Edit20->Text(), "6");
    EXPECT_EQ(WindowTexts(), (Texts{"-0,833333333333333", "0,833333333333333", "-2,5", "2,5"}));
    EXPECT_EQ(Redraws(), 2);

    // Enter in the zoom edit centres and redraws.
    uitest::ReplaceText(Form1->Edit20, "2");
    ClearJournal();
    uitest::PressKey(Form1->Edit20, VK_RETURN);
    EXPECT_EQ(WindowTexts(), (Texts{"-2,5", "2,5", "-2,5", "2,5"}));
    EXPECT_EQ(Redraws(), 1);
    EXPECT_EQ(messages.Count(), 0);
}

TEST_F(CommandsTest, CentrerRefusesAZoomThatIsNotALocaleNumberOrIsZero) {
    SetWindowTexts({"-1", "1", "-3", "3"});
    for (const char* zoom : {"0.5", "", "abc", "0"}) {
        messages.Clear();
        Form1->Edit20->SetText(zoom);
        uitest::Click(Form1->Button3);
        EXPECT_EQ(messages.Count(), 1) << zoom;
        EXPECT_EQ(WindowTexts(), (Texts{"-1", "1", "-3", "3"})) << zoom;
    }
    EXPECT_EQ(snapshots, 0);
}

TEST_F(CommandsTest, WideningMakesTheWindowFiveTimesLargerWithoutASnapshot) {
    SetWindowTexts({"-1", "1", "2", "4"});
    uitest::ClickMenu(Form1->Elargirlechampdezommer1);
    EXPECT_EQ(WindowTexts(), (Texts{"-5", "5", "-2", "8"}));
    EXPECT_EQ(Redraws(), 1);
    EXPECT_EQ(snapshots, 0);
}

TEST_F(CommandsTest, TheHalvesOfTheScreenPlaceTheMainWindow) {
    screen.width = 1600;
    screen.height = 900;
    uitest::ClickMenu(Form1->Moitiegauche1);
    // The window system may shift the frame by its border: a few pixels of slack.
    EXPECT_NEAR(Form1->Left(), 0, 4);
    EXPECT_NEAR(Form1->Top(), 0, 4);
    EXPECT_EQ(Form1->Width(), 800);
    EXPECT_EQ(Form1->Height(), 868);
    EXPECT_EQ(Form1->WindowState(), wsNormal);
    EXPECT_GE(Redraws(), 1);

    uitest::ClickMenu(Form1->Moitidroite1);
    EXPECT_NEAR(Form1->Left(), 800, 4);
    EXPECT_NEAR(Form1->Top(), 0, 4);
    EXPECT_EQ(Form1->Width(), 800);
    EXPECT_EQ(Form1->Height(), 868);
    // The picture follows the new size of the image.
    EXPECT_EQ(Form1->im->Bitmap().Width(), Form1->im->Width());
}

TEST_F(CommandsTest, TheMenuOptionsToggleTheirMarkAndRedraw) {
    uitest::ClickMenu(Form1->leg);
    EXPECT_TRUE(Form1->leg->Checked());
    EXPECT_EQ(Count("legend"), 1);
    uitest::ClickMenu(Form1->leg);
    EXPECT_FALSE(Form1->leg->Checked());
    EXPECT_EQ(Count("legend"), 1);

    const bool pi = Form1->abspi->Checked();
    uitest::ClickMenu(Form1->abspi);
    EXPECT_EQ(Form1->abspi->Checked(), !pi);
    EXPECT_EQ(AbscissaInPi, pi ? 0 : 1);
    uitest::ClickMenu(Form1->abspi);
    EXPECT_EQ(AbscissaInPi, pi ? 1 : 0);

    uitest::ClickMenu(Form1->re1);
    EXPECT_TRUE(Form1->re1->Checked());
    EXPECT_TRUE(PreciseTracing);
    uitest::ClickMenu(Form1->re1);
    EXPECT_FALSE(PreciseTracing);
    EXPECT_EQ(Redraws(), 6);
    EXPECT_EQ(snapshots, 0);

    // While a settings load applies its values, the options change but nothing redraws.
    LoadingFlag = true;
    ClearJournal();
    uitest::ClickMenu(Form1->re1);
    uitest::ClickMenu(Form1->leg);
    LoadingFlag = false;
    EXPECT_TRUE(PreciseTracing);
    EXPECT_EQ(Redraws(), 0);
}

TEST_F(CommandsTest, TheDisplayCheckBoxesChangeThePictureAndTakeASnapshot) {
    uitest::ReplaceText(Form1->Edit1, "x");
    uitest::PressKey(Form1->Edit1, VK_RETURN);
    const TColor f = FunctionColours[0];
    const auto before = Shown();
    ASSERT_GT(CountColour(before, f), 0);
    snapshots = 0;
    ClearJournal();

    uitest::Click(Form1->quad);
    const auto grid = Shown();
    EXPECT_NE(grid, before);
    uitest::Click(Form1->quad);
    EXPECT_EQ(Shown(), before);

    uitest::Click(Form1->axe);
    EXPECT_NE(Shown(), before);
    uitest::Click(Form1->axe);
    EXPECT_EQ(Shown(), before);

    uitest::Click(Form1->cnb);
    EXPECT_TRUE(BlackAndWhite);
    EXPECT_EQ(CountColour(Shown(), f), 0);
    uitest::Click(Form1->cnb);
    EXPECT_EQ(Shown(), before);
    EXPECT_EQ(Redraws(), 6);
    EXPECT_EQ(snapshots, 6);

    // A check box set while a load applies values neither redraws nor snapshots.
    LoadingFlag = true;
    ClearJournal();
    Form1->quad->SetChecked(true);
    uitest::Click(Form1->cnb);
    LoadingFlag = false;
    EXPECT_EQ(Redraws(), 0);
    EXPECT_EQ(snapshots, 6);
}

TEST_F(CommandsTest, EnterInTheEditOfAHiddenFunctionShowsAndDrawsIt) {
    uitest::ReplaceText(Form1->Edit2, "x/2");
    uitest::Click(Form1->sd2);
    ASSERT_FALSE(IsFunctionShown(1));
    const TColor g = FunctionColours[1];
    EXPECT_EQ(CountColour(Shown(), g), 0);
    snapshots = 0;
    ClearJournal();

    uitest::PressKey(Form1->Edit2, VK_RETURN);
    EXPECT_TRUE(IsFunctionShown(1));
    EXPECT_TRUE(Form1->sd2->Down());
    EXPECT_GT(CountColour(Shown(), g), 0);
    EXPECT_EQ(Redraws(), 1);
    EXPECT_EQ(snapshots, 1);

    // Enter again leaves a shown function shown; other keys do nothing.
    uitest::PressKey(Form1->Edit2, VK_RETURN);
    EXPECT_TRUE(IsFunctionShown(1));
    ClearJournal();
    uitest::TypeText(Form1->Edit2, "+1");
    EXPECT_EQ(Redraws(), 0);
}

TEST_F(CommandsTest, EnterInAWindowEditRedraws) {
    Form1->Edit11->SetText("20");
    uitest::PressKey(Form1->Edit11, VK_RETURN);
    EXPECT_EQ(Redraws(), 1);
    EXPECT_EQ(WindowXMax, 20);
}

TEST_F(CommandsTest, ThicknessAndFontArrowsRedrawWithTheScreenFontHeight) {
    uitest::ClickUpDown(Form1->UpDown6, btNext);
    EXPECT_EQ(Form1->Edit14->Text(), "4");
    EXPECT_EQ(LineThickness, 4);
    uitest::ClickUpDown(Form1->UpDown7, btNext);
    EXPECT_EQ(Form1->Edit19->Text(), "105");
    // A 60th of the 1000-pixel diagonal, times 105 %.
    EXPECT_EQ(AxisFontHeight, 18);
    EXPECT_EQ(Redraws(), 2);
}

TEST_F(CommandsTest, HidingTheSumReleasesExclusif) {
    Form1->sd9->SetDown(true);
    Form1->exc->SetDown(true);
    uitest::Click(Form1->sd9);
    EXPECT_FALSE(Form1->sd9->Down());
    EXPECT_FALSE(Form1->exc->Down());
    EXPECT_EQ(Redraws(), 1);

    uitest::Click(Form1->exc);
    uitest::Click(Form1->sd9);
    EXPECT_TRUE(Form1->sd9->Down());
    EXPECT_TRUE(Form1->exc->Down());
}

TEST_F(CommandsTest, IdTakesTheWidthOfThePicture) {
    uitest::ReplaceText(Form1->Edit17, "1234");
    uitest::Click(Form1->Button4);
    EXPECT_EQ(Form1->Edit17->Text(), "800");
}

}  // namespace
}  // namespace commandstest
