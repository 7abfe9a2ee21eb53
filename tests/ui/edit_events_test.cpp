// Edits and combo boxes: which setter and which user action fires which event.
#include <QComboBox>
#include <QLineEdit>

#include "tests/ui/test_form.h"

namespace uitest {
namespace {

class EditEvents : public ShownFormTest {};

TEST_F(EditEvents, SetTextFiresOnChangeOnlyWhenTheTextDiffers) {
    form->Edit1->SetText("initial");
    EXPECT_EQ(form->Log(), "");
    form->Edit1->SetText("5");
    form->Edit1->SetText("5");
    form->Edit1->SetText("");
    EXPECT_EQ(form->Log(), "Edit1.Change:5 Edit1.Change:");
}

TEST_F(EditEvents, TypingFiresOnChangeAtEveryCharacterWithTheNewText) {
    form->Edit1->SetText("");
    form->ClearLog();
    TypeText(form->Edit1, "x\xE9");  // e acute in Windows-1252
    EXPECT_EQ(form->Log(), "Edit1.Change:x Edit1.Change:x\xE9");
    EXPECT_EQ(form->Edit1->Text(), "x\xE9");
}

TEST_F(EditEvents, ReplacingTheTextByTheKeyboard) {
    ReplaceText(form->Edit1, "-2");
    EXPECT_EQ(form->Edit1->Text(), "-2");
    EXPECT_EQ(form->log.back(), "Edit1.Change:-2");
}

TEST_F(EditEvents, OnClickOnlyOnAUserClick) {
    form->Edit1->SetText("abc");
    form->Edit1->SetFocus();
    PressKey(form->Edit1, VK_END);  // the program's text puts the caret at its start
    TypeText(form->Edit1, "d");
    EXPECT_EQ(form->Log(), "Edit1.Change:abc Edit1.Change:abcd");
    form->ClearLog();
    Click(form->Edit1);
    EXPECT_EQ(form->Log(), "Edit1.Click");
}

TEST_F(EditEvents, OnKeyPressChangesOrSwallowsTheCharacter) {
    form->Edit1->SetText("");
    form->Edit1->OnKeyPress = [](TObject*, char& key) {
        if (key == '.') key = ',';
        if (key == 'q') key = 0;
    };
    form->ClearLog();
    TypeText(form->Edit1, "1.5q");
    EXPECT_EQ(form->Edit1->Text(), "1,5");
    EXPECT_EQ(form->Log(), "Edit1.Change:1 Edit1.Change:1, Edit1.Change:1,5");
}

TEST_F(EditEvents, EnterReachesOnKeyPressAsCharacter13) {
    std::vector<int> keys;
    form->Edit1->OnKeyPress = [&](TObject* sender, char& key) {
        EXPECT_EQ(sender, form->Edit1);
        keys.push_back(int(static_cast<unsigned char>(key)));
    };
    PressKey(form->Edit1, VK_RETURN);
    PressKey(form->Edit1, VK_ESCAPE);
    EXPECT_EQ(keys, (std::vector<int>{13, 27}));
}

TEST_F(EditEvents, CtrlZYDReachTheProgramNotTheEditsUndo) {
    form->SetKeyPreview(true);
    std::vector<std::string> keys;
    form->OnKeyUp = [&](TObject*, std::uint16_t& key, TShiftState shift) {
        if (shift.Contains(ssCtrl)) keys.push_back("Ctrl+" + std::string(1, char(key)));
    };
    form->Edit1->SetText("");
    TypeText(form->Edit1, "ab");
    form->ClearLog();
    PressKey(form->Edit1, 'Z', TShiftState{ssCtrl});
    PressKey(form->Edit1, 'Y', TShiftState{ssCtrl});
    PressKey(form->Edit1, 'D', TShiftState{ssCtrl});
    EXPECT_EQ(form->Edit1->Text(), "ab");  // no undo, no delete
    EXPECT_EQ(Joined(keys), "Ctrl+Z Ctrl+Y Ctrl+D");
    EXPECT_EQ(form->Log(), "Copy1.Click");  // Ctrl+D is the menu shortcut; Ctrl+Z has no handler
}

// A long text that the program writes into a narrow edit shows its start (the sign and
// the first digits of a number), not its tail; a text typed by the user keeps the caret
// where the user types.
TEST_F(EditEvents, TextWrittenByTheProgramShowsItsStart) {
    const std::string number = "-0,0123456789012345678901234567890123456789";
    // A line edit scrolls to show its caret: a caret at the start shows the start.
    const auto shownFromStart = [](QLineEdit* line) { return line->cursorPosition() == 0; };
    auto* edit = static_cast<QLineEdit*>(form->Edit1->Widget());
    TypeText(form->Edit1, "123");
    form->Edit1->SetText(number);
    EXPECT_TRUE(shownFromStart(edit));
    form->Combo1->SetText(number);
    EXPECT_TRUE(shownFromStart(static_cast<QComboBox*>(form->Combo1->Widget())->lineEdit()));

    ReplaceText(form->Edit1, "45");
    EXPECT_EQ(edit->cursorPosition(), 2);
}

TEST_F(EditEvents, ComboSettersFireNothingAndUserEditsFireOnChange) {
    TComboBox* combo = form->Combo1;
    combo->SetText("g");
    EXPECT_EQ(combo->ItemIndex(), 1);
    combo->SetItemIndex(2);
    EXPECT_EQ(combo->Text(), "h");
    combo->SetText("z");  // a text that is not an item
    EXPECT_EQ(combo->Text(), "z");
    EXPECT_EQ(combo->ItemIndex(), -1);
    combo->SetItemIndex(7);
    EXPECT_EQ(combo->Text(), "");
    EXPECT_EQ(form->Log(), "");

    ChooseItem(combo, 1);
    EXPECT_EQ(form->Log(), "Combo1.Change:g:1");
    form->ClearLog();
    TypeText(combo, "k");
    EXPECT_EQ(form->Log(), "Combo1.Change:gk:-1");
    EXPECT_EQ(combo->Text(), "gk");
}

TEST_F(EditEvents, ComboKeepsItsTextWhenItsItemsChange) {
    TComboBox* combo = form->Combo1;
    combo->SetText("Arial");
    combo->Items().Clear();
    for (const auto& name : Screen->Fonts()) combo->Items().Add(name);
    EXPECT_EQ(combo->Text(), "Arial");
    EXPECT_EQ(combo->Items().Count(), 4);
    EXPECT_EQ(combo->Items().IndexOf("Symbol"), 2);
}

TEST_F(EditEvents, MemoLinesAndTyping) {
    TMemo* memo = form->Memo1;
    memo->Lines().Add("Action souris :");
    memo->Lines().Add("- Click droit : \xE9largir");
    EXPECT_EQ(memo->Lines().Count(), 2);
    EXPECT_EQ(memo->Text(), "Action souris :\r\n- Click droit : \xE9largir\r\n");
    EXPECT_EQ(form->Log(), "");
    memo->Lines().Clear();
    TypeText(memo, "ab");
    EXPECT_EQ(form->Log(), "Memo1.Change Memo1.Change");
    ASSERT_EQ(memo->Lines().Count(), 1);
    EXPECT_EQ(memo->Lines()[0], "ab");
    EXPECT_THROW((void)memo->Lines()[5], std::out_of_range);
}

TEST_F(EditEvents, PasswordCharHidesTheTextButKeepsIt) {
    form->Edit1->SetPasswordChar('*');
    form->Edit1->SetText("");
    TypeText(form->Edit1, "secret");
    EXPECT_EQ(form->Edit1->Text(), "secret");
}

}  // namespace
}  // namespace uitest
