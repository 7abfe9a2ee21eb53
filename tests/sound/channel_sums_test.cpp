// The channel sums that every redraw writes into n (Edit9) and m (Edit8): the three modes,
// hidden and empty functions, the phase shifts and their step buttons.
#include "plotter/main_form.h"
#include "sound/channel_sums.h"
#include "tests/sound/sound_test_support.h"

namespace soundtest {
namespace {

class ChannelSumsTest : public SoundProgramTest {
protected:
    void SetUp() override {
        SoundProgramTest::SetUp();
        StartVartelo();
    }
    void Functions(std::initializer_list<const char*> texts) {
        int i = 0;
        for (const char* text : texts) Form1->FunctionEdits[size_t(i++)]->SetText(text);
    }
};

TEST_F(ChannelSumsTest, DephasageSumsTheShownFunctionsAndShiftsEachTermOnTheRight) {
    Functions({"sin(x)", "cos(2x)"});
    Trace();
    EXPECT_EQ(Form1->Edit9->Text(), "sin(x)+(cos(2x))");
    EXPECT_EQ(Form1->Edit8->Text(), "sin((x+0,003))+(cos(2(x+0,006)))");
    EXPECT_EQ(PhaseShiftTexts[0], "0,003");
    EXPECT_EQ(PhaseShiftTexts[8], "0,027");
}

TEST_F(ChannelSumsTest, WithoutStereoBothChannelsPlayTheSameSum) {
    Functions({"sin(x)", "", "x", "", "", "", "exp(x)"});
    uitest::Click(Form1->cst);  // unchecked: the click redraws
    EXPECT_FALSE(Form1->cst->Checked());
    EXPECT_EQ(Form1->Edit9->Text(), "sin(x)+(x)+(exp(x))");
    EXPECT_EQ(Form1->Edit8->Text(), Form1->Edit9->Text());
}

TEST_F(ChannelSumsTest, TheSecondModeSplitsFToIOnTheLeftAndJToLOnTheRight) {
    Functions({"1", "2", "3", "4", "5", "6", "7", "8"});
    uitest::Click(Form1->rb2);
    Trace();
    EXPECT_EQ(Form1->Edit9->Text(), "1+(2)+(3)+(4)");
    EXPECT_EQ(Form1->Edit8->Text(), "5+(6)+(7)");
}

TEST_F(ChannelSumsTest, HiddenAndEmptyFunctionsAddNoTerm) {
    Functions({"", "x", "2x", "3x"});
    uitest::Click(Form1->sd3);  // h hidden
    Trace();
    EXPECT_EQ(Form1->Edit9->Text(), "x+(3x)");
    EXPECT_EQ(Form1->Edit8->Text(), "(x+0,006)+(3(x+0,012))");

    for (TSpeedButton* button : {Form1->sd1, Form1->sd2, Form1->sd4, Form1->sd5, Form1->sd6, Form1->sd7})
        button->SetDown(false);
    Trace();
    EXPECT_EQ(Form1->Edit9->Text(), "");
    EXPECT_EQ(Form1->Edit8->Text(), "");
}

TEST_F(ChannelSumsTest, OnlyAPrecedingEProtectsAnX) {
    PhaseShiftTexts.fill("0,003");
    EXPECT_EQ(ShiftExpressionArgument("exp(x)*x", 0), "exp((x+0,003))*(x+0,003)");
    EXPECT_EQ(ShiftExpressionArgument("X^2+Ex", 0), "(x+0,003)^2+Ex");
    // The x of max is replaced like any other.
    EXPECT_EQ(ShiftExpressionArgument("max(x;1)", 0), "ma(x+0,003)((x+0,003);1)");
    EXPECT_EQ(ShiftExpressionArgument("", 0), "");
}

TEST_F(ChannelSumsTest, ThePhaseStepSetsTheShiftsAndItsButtonsMoveIt) {
    Functions({"x", "x"});
    Form1->Edit22->SetText("3,5");
    Trace();
    EXPECT_EQ(PhaseShiftTexts[0], "0,0035");
    EXPECT_EQ(PhaseShiftTexts[2], "0,0105");
    EXPECT_EQ(Form1->Edit8->Text(), "(x+0,0035)+((x+0,007))");

    Form1->Edit22->SetText("3");
    Form1->Edit18->SetText("2");
    uitest::ClickUpDown(Form1->UpDown11, btNext);
    EXPECT_EQ(Form1->Edit22->Text(), "5");
    EXPECT_EQ(Form1->Edit8->Text(), "(x+0,005)+((x+0,01))");  // redrawn
    uitest::ClickUpDown(Form1->UpDown11, btPrev);
    EXPECT_EQ(Form1->Edit22->Text(), "3");
    uitest::ClickUpDown(Form1->UpDown12, btNext);
    EXPECT_EQ(Form1->Edit22->Text(), "6");
    uitest::ClickUpDown(Form1->UpDown12, btPrev);
    EXPECT_EQ(Form1->Edit22->Text(), "3");
    Form1->Edit18->SetText("0");
    uitest::ClickUpDown(Form1->UpDown12, btPrev);  // no division by 0
    EXPECT_EQ(Form1->Edit22->Text(), "3");
    EXPECT_EQ(messages.Count(), 0);
}

TEST_F(ChannelSumsTest, APhaseStepTheStrictConversionRejectsStopsTheRedrawAtItsFirstStep) {
    Functions({"x"});
    Trace();
    EXPECT_EQ(Form1->Edit9->Text(), "x");
    Form1->Edit1->SetText("2x");
    Form1->Edit22->SetText("0.5");  // no "." for the strict locale conversion
    Trace();
    EXPECT_EQ(Form1->Edit9->Text(), "x");
    EXPECT_EQ(Form1->Edit8->Text(), "(x+0,003)");
    EXPECT_EQ(messages.Count(), 0);
}

}  // namespace
}  // namespace soundtest
