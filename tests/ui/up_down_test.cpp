// The up-down control with its edit.
#include "tests/ui/test_form.h"

namespace uitest {
namespace {

class UpDownEvents : public ShownFormTest {};

TEST_F(UpDownEvents, AssociateShowsThePosition) { EXPECT_EQ(form->Edit2->Text(), "3"); }

TEST_F(UpDownEvents, ClicksMoveWithinTheLimitsAndFireAlsoAtALimit) {
    TUpDown* ud = form->UpDown1;
    ud->SetPosition(19);
    form->ClearLog();
    ClickUpDown(ud, btNext);
    ClickUpDown(ud, btNext);
    EXPECT_EQ(form->Log(), "Edit2.Change:20 UpDown1.Click:next:20 UpDown1.Click:next:20");
    form->ClearLog();
    ud->SetPosition(2);
    ClickUpDown(ud, btPrev);
    ClickUpDown(ud, btPrev);
    EXPECT_EQ(form->Log(), "Edit2.Change:2 Edit2.Change:1 UpDown1.Click:prev:1 UpDown1.Click:prev:1");
}

TEST_F(UpDownEvents, SetPositionFiresNothingOfItsOwnAndKeepsTheRange) {
    TUpDown* ud = form->UpDown1;
    ud->OnClick = [this](TObject*, TUDBtnType) { form->log.push_back("click"); };
    ud->SetPosition(50);
    EXPECT_EQ(ud->Position(), 20);
    EXPECT_EQ(form->Edit2->Text(), "20");
    ud->SetPosition(-3);
    EXPECT_EQ(ud->Position(), 1);
    EXPECT_EQ(form->Log(), "Edit2.Change:20 Edit2.Change:1");
}

TEST_F(UpDownEvents, PositionTakesAValidIntegerTypedInTheEdit) {
    TUpDown* ud = form->UpDown1;
    ReplaceText(form->Edit2, "12");
    EXPECT_EQ(ud->Position(), 12);
    ReplaceText(form->Edit2, "abc");
    EXPECT_EQ(ud->Position(), 12);
    ReplaceText(form->Edit2, "99");
    EXPECT_EQ(ud->Position(), 20);
    ReplaceText(form->Edit2, " 7 ");
    ClickUpDown(ud, btNext);  // from the typed value
    EXPECT_EQ(form->Edit2->Text(), "8");
    ReplaceText(form->Edit2, "5x");
    ClickUpDown(ud, btPrev);
    EXPECT_EQ(form->Edit2->Text(), "7");
}

TEST_F(UpDownEvents, IncrementAndHorizontalArrows) {
    TUpDown* ud = form->UpDown1;
    ud->SetMax(1000);
    ud->SetIncrement(5);
    ud->SetOrientation(udHorizontal);
    ud->SetPosition(100);
    form->ClearLog();
    ClickUpDown(ud, btNext);  // the right arrow
    ClickUpDown(ud, btPrev);
    ClickUpDown(ud, btPrev);
    EXPECT_EQ(form->Log(),
              "Edit2.Change:105 UpDown1.Click:next:105 Edit2.Change:100 UpDown1.Click:prev:100 Edit2.Change:95 "
              "UpDown1.Click:prev:95");
}

TEST_F(UpDownEvents, TrackBarKeepsItsRange) {
    auto* bar = form->Panel1->Add<TTrackBar>("Track1");
    bar->SetMin(1);
    bar->SetMax(10);
    bar->SetPosition(42);
    EXPECT_EQ(bar->Position(), 10);
    bar->SetPosition(-1);
    EXPECT_EQ(bar->Position(), 1);
}

}  // namespace
}  // namespace uitest
