// The channel sums that every redraw writes into n (Edit9) and m (Edit8): the three modes,
// hidden and empty functions, the phase shifts in plain digits on the variable x alone, and
// their step buttons.
#include <algorithm>
#include <cmath>

#include "engine/expression_compiler.h"
#include "engine/expression_evaluator.h"
#include "engine/number_conversion.h"
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

TEST_F(ChannelSumsTest, OnlyTheVariableXIsShiftedNeverALetterOfAName) {
    PhaseShiftTexts.fill("0,003");
    EXPECT_EQ(ShiftExpressionArgument("exp(x)*x", 0), "exp((x+0,003))*(x+0,003)");
    EXPECT_EQ(ShiftExpressionArgument("max(x;1)", 0), "max((x+0,003);1)");
    EXPECT_EQ(ShiftExpressionArgument("MAXIMUM (X;a)", 0), "MAXIMUM ((x+0,003);a)");
    EXPECT_EQ(ShiftExpressionArgument("X^2+Ex", 0), "(x+0,003)^2+Ex");  // Ex is no variable
    EXPECT_EQ(ShiftExpressionArgument("", 0), "");
    // Variables side by side stay a product.
    EXPECT_EQ(ShiftExpressionArgument("2xa-bx+xx", 0), "2(x+0,003)*a-b*(x+0,003)+(x+0,003)*(x+0,003)");
    ASSERT_TRUE(PrepareFunction("2xa-bx+xx", 9));
    ASSERT_TRUE(PrepareFunction(ShiftExpressionArgument("2xa-bx+xx", 0), 10));
    EXPECT_NEAR((double)EvaluateFunction(10, 0.5, 1.5, 2), (double)EvaluateFunction(9, 0.503, 1.5, 2), 1e-12);
}

TEST_F(ChannelSumsTest, ShiftsAreWrittenInPlainDigitsCutOnlyInTheirFraction) {
    EXPECT_EQ(PhaseShiftText(0.003L), "0,003");
    EXPECT_EQ(PhaseShiftText(0.0035L), "0,0035");
    EXPECT_EQ(PhaseShiftText(0.00025L), "0,0002");
    EXPECT_EQ(PhaseShiftText(-0.0035L), "-0,003");
    EXPECT_EQ(PhaseShiftText(2E-5L), "0,00002");      // was 2E-5, E read as the constant
    EXPECT_EQ(PhaseShiftText(1.5E-7L), "0,0000001");  // cut, but not to 0
    EXPECT_EQ(PhaseShiftText(12.3456L), "12,345");
    EXPECT_EQ(PhaseShiftText(123456.7L), "123456");
    EXPECT_EQ(PhaseShiftText(1234567.89L), "1234567");  // the integer part stays whole
    EXPECT_EQ(PhaseShiftText(2E15L), "2000000000000000");
    EXPECT_EQ(PhaseShiftText(0), "0");

    Functions({"sin(x)"});
    Form1->Edit22->SetText("0,02");
    Trace();
    EXPECT_EQ(Form1->Edit8->Text(), "sin((x+0,00002))");
}

TEST_F(ChannelSumsTest, TheShiftedChannelIsTheFunctionAtXPlusTheShiftForEveryTextAndStep) {
    struct Text {
        const char* typed;
        long double (*model)(long double x, long double a);
    };
    const Text texts[] = {
        {"sin(x)", [](long double x, long double) { return std::sin(x); }},
        {"max(x;1)", [](long double x, long double) { return std::max(x, 1.0L); }},
        {"maximum(x;a)", [](long double x, long double a) { return std::max(x, a); }},
        {"exp(-x)", [](long double x, long double) { return std::exp(-x); }},
    };
    struct Step {
        const char* typed;
        double milliseconds;
        const char* shift;
    };
    const Step steps[] = {{"0,00001", 0.00001, "0,00000001"}, {"0,001", 0.001, "0,000001"}, {"0,25", 0.25, "0,0002"}};
    Form1->Edit15->SetText("1,5");
    for (const Text& text : texts) {
        for (const Step& step : steps) {
            Functions({text.typed});
            Form1->Edit22->SetText(step.typed);
            Trace();
            const std::string right = Form1->Edit8->Text();
            EXPECT_EQ(PhaseShiftTexts[0], step.shift);
            EXPECT_EQ(right.find('E'), std::string::npos) << right;
            EXPECT_EQ(right.find('e', right.find("exp") == 0 ? 1 : 0), std::string::npos) << right;
            // The function's name is whole and the text reads.
            const std::string typed = text.typed;
            EXPECT_EQ(right.substr(0, typed.find('(') + 1), typed.substr(0, typed.find('(') + 1)) << right;
            ASSERT_TRUE(PrepareFunction(right, 10)) << right;
            const long double shift = ParseLocaleNumber(PhaseShiftTexts[0]);
            EXPECT_GT(shift, step.milliseconds / 1000 * 0.75) << right;
            EXPECT_LE(shift, step.milliseconds / 1000) << right;
            for (double x : {-2.0, 0.0, 0.9999, 1.0, 1.4999, 2.5}) {
                const long double expected = text.model((long double)x + shift, 1.5L);
                EXPECT_NEAR((double)EvaluateFunction(10, x, 1.5, 0), (double)expected, 1e-12) << right << " at " << x;
            }
        }
    }
    EXPECT_EQ(messages.Count(), 0);
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

TEST_F(ChannelSumsTest, APhaseStepTheStrictConversionRejectsKeepsBothChannelTexts) {
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
