// Check boxes, option buttons, speed buttons and menu items: setters against clicks.
#include <stdexcept>

#include <QAction>
#include <QCursor>
#include <QMenuBar>

#include "tests/ui/test_form.h"

namespace uitest {
namespace {

class ButtonEvents : public ShownFormTest {};

TEST_F(ButtonEvents, CheckBoxSetterFiresOnClickOnlyWhenTheStateChanges) {
    form->CheckBox1->SetChecked(false);
    form->CheckBox1->SetChecked(true);
    form->CheckBox1->SetChecked(true);
    form->CheckBox1->SetChecked(false);
    EXPECT_EQ(form->Log(), "CheckBox1.Click:1 CheckBox1.Click:0");
}

TEST_F(ButtonEvents, CheckBoxClickTogglesThenFires) {
    Click(form->CheckBox1);
    Click(form->CheckBox1);
    EXPECT_EQ(form->Log(), "CheckBox1.Click:1 CheckBox1.Click:0");
    EXPECT_FALSE(form->CheckBox1->Checked());
}

TEST_F(ButtonEvents, DisabledCheckBoxIgnoresClicks) {
    form->CheckBox1->SetEnabled(false);
    Click(form->CheckBox1);
    EXPECT_EQ(form->Log(), "");
    EXPECT_FALSE(form->CheckBox1->Checked());
}

TEST_F(ButtonEvents, OptionButtonsOfOneParentExcludeEachOther) {
    form->Radio1->SetChecked(true);
    Click(form->Radio2);
    EXPECT_FALSE(form->Radio1->Checked());
    EXPECT_TRUE(form->Radio2->Checked());
    Click(form->Radio2);  // already checked: nothing
    form->Radio3->SetChecked(true);  // another parent: its own group
    EXPECT_TRUE(form->Radio2->Checked());
    form->Radio2->SetChecked(false);  // unchecking fires nothing
    EXPECT_EQ(form->Log(), "Radio1.Click Radio2.Click Radio3.Click");
}

TEST_F(ButtonEvents, SpeedButtonSetterFiresNothing) {
    form->Show1->SetDown(true);
    form->ModeA->SetDown(true);
    form->ModeB->SetDown(true);
    EXPECT_EQ(form->Log(), "");
    EXPECT_FALSE(form->ModeA->Down());
    EXPECT_TRUE(form->ModeB->Down());
    form->ModeB->SetDown(false);  // no all-up in this group
    EXPECT_TRUE(form->ModeB->Down());
    form->Tool1->SetDown(true);  // group 0 never stays down
    EXPECT_FALSE(form->Tool1->Down());
}

TEST_F(ButtonEvents, SpeedButtonClicksFollowTheGroupRules) {
    Click(form->Show1);
    Click(form->Show1);
    Click(form->Tool1);
    Click(form->ModeA);
    Click(form->ModeB);
    Click(form->ModeB);
    EXPECT_EQ(form->Log(),
              "Show1.Click:down Show1.Click:up Tool1.Click:up ModeA.Click:down ModeB.Click:down ModeB.Click:down");
    EXPECT_FALSE(form->ModeA->Down());
}

TEST_F(ButtonEvents, ButtonAndLabelClicks) {
    form->Label1->OnClick = [this](TObject*) { form->log.push_back("Label1.Click"); };
    Click(form->Button1);
    Click(form->Label1);
    EXPECT_EQ(form->Log(), "Button1.Click Label1.Click");
}

TEST_F(ButtonEvents, MenuItemsDoNotCheckThemselves) {
    form->Legend1->SetChecked(true);
    EXPECT_EQ(form->Log(), "");
    ClickMenu(form->Legend1);
    EXPECT_EQ(form->Log(), "Legend1.Click:1");
    EXPECT_TRUE(form->Legend1->Checked());
    form->Legend1->OnClick = [this](TObject*) { form->Legend1->SetChecked(!form->Legend1->Checked()); };
    ClickMenu(form->Legend1);
    EXPECT_FALSE(form->Legend1->Checked());
}

TEST_F(ButtonEvents, DisabledMenuItemAndItsShortcutDoNothing) {
    form->Disabled1->SetShortCut(ShortCut('K', TShiftState{ssCtrl}));
    ClickMenu(form->Disabled1);
    PressKey(form, 'K', TShiftState{ssCtrl});
    form->Copy1->SetEnabled(false);
    PressKey(form, 'D', TShiftState{ssCtrl});
    EXPECT_EQ(form->Log(), "");
    form->Copy1->SetEnabled(true);
    PressKey(form, 'D', TShiftState{ssCtrl});
    EXPECT_EQ(form->Log(), "Copy1.Click");
}

TEST_F(ButtonEvents, EnterRunsTheItemOfTheBarTheKeyboardHighlighted) {
    // An item of the bar itself, without a menu.
    TMenuItem* help = form->Menu1->Items().Add("Help1", "?");
    int clicks = 0;
    help->OnClick = [&](TObject*) { ++clicks; };
    std::string keys;
    form->Edit1->OnKeyPress = [&](TObject*, char& key) { keys += key; };
    QMenuBar* bar = form->Menu1->MenuBar();
    QCursor::setPos(bar->mapToGlobal(QPoint(-500, -500)));  // the mouse hovers no item

    // Nothing highlighted: Enter belongs to the edit.
    PressKey(form->Edit1, VK_RETURN);
    EXPECT_EQ(clicks, 0);
    EXPECT_EQ(keys, "\r");

    bar->setActiveAction(help->Action());
    ASSERT_EQ(bar->activeAction(), help->Action());
    PressKey(form->Edit1, VK_RETURN);
    EXPECT_EQ(clicks, 1);
    EXPECT_EQ(bar->activeAction(), nullptr);
    EXPECT_EQ(keys, "\r");  // the edit did not get this one

    // The highlight is gone with the click: the next Enter is the edit's again.
    PressKey(form->Edit1, VK_RETURN);
    EXPECT_EQ(clicks, 1);
    EXPECT_EQ(keys, "\r\r");

    // A checked item is not unchecked by its own run, like a click.
    help->SetChecked(true);
    bar->setActiveAction(help->Action());
    PressKey(form->Edit1, VK_RETURN);
    EXPECT_EQ(clicks, 2);
    EXPECT_TRUE(help->Checked());
    EXPECT_TRUE(help->Action()->isChecked());

    // A failing item: one error message, and the Enter still is not the edit's.
    help->OnClick = [](TObject*) { throw std::runtime_error("aide introuvable"); };
    bar->setActiveAction(help->Action());
    PressKey(form->Edit1, VK_RETURN);
    EXPECT_EQ(messages.Texts(), std::vector<std::string>{"aide introuvable"});
    EXPECT_EQ(keys, "\r\r");
}

TEST_F(ButtonEvents, MenuStructure) {
    EXPECT_EQ(form->File1->Count(), 5);
    EXPECT_TRUE(form->File1->Items(2)->IsSeparator());
    EXPECT_EQ(form->File1->Items(3)->Caption(), "L\xE9gende");
    EXPECT_EQ(ShortCutToText(form->Copy1->ShortCut()), "Ctrl+D");
    EXPECT_EQ(form->Menu1->FindShortCut(ShortCut('Z', TShiftState{ssCtrl})), form->Undo1);
}

TEST_F(ButtonEvents, PageTabsAndTheirPages) {
    EXPECT_EQ(form->Pages1->ActivePage(), form->Page1);
    EXPECT_TRUE(form->Image1->Showing());
    EXPECT_FALSE(form->Grid1->Showing());
    form->Pages1->SetActivePage(form->Page2);
    EXPECT_EQ(form->Log(), "");
    EXPECT_TRUE(form->Grid1->Showing());
    ChooseTab(form->Pages1, 0);
    EXPECT_EQ(form->Log(), "Pages1.Change:0");
    EXPECT_EQ(form->Page2->PageIndex(), 1);
}

}  // namespace
}  // namespace uitest
