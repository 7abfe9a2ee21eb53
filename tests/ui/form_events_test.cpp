// Forms: creation, showing, activation, resizing, closing, keys and the message loop.
#include <QPalette>
#include <QTimer>
#include <QWidget>

#include "tests/ui/test_form.h"

namespace uitest {
namespace {

// A second window of the program, like a modeless dialog.
class TDialogForm : public TForm {
public:
    explicit TDialogForm(TApplication& app) : TForm(app, "Dialog") {
        SetKeyPreview(true);
        Edit1 = Add<TEdit>("Edit1");
        OnActivate = [this](TObject*) { log.push_back("Dialog.Activate"); };
        OnShow = [this](TObject*) { log.push_back("Dialog.Show"); };
        OnKeyPress = [this](TObject*, char& key) {
            if (key == 27) Hide();
        };
    }
    TEdit* Edit1;
    std::vector<std::string> log;
};

class FormEvents : public UiTest {
protected:
    void SetUp() override {
        UiTest::SetUp();
        Application->CreateForm(form);
    }
    TTestForm* form = nullptr;
};

TEST_F(FormEvents, OnCreateRunsAfterTheComponentsExistAndFormsStartHidden) {
    EXPECT_EQ(form->createdWithText, "initial");
    EXPECT_EQ(form->Log(), "Form.Create");
    EXPECT_FALSE(form->Visible());
    EXPECT_EQ(Application->MainForm(), form);
    EXPECT_EQ(Application->ActiveForm(), nullptr);
}

TEST_F(FormEvents, OnShowAtEachChangeFromHiddenToShown) {
    form->ClearLog();
    form->Show();
    form->Show();
    form->Hide();
    form->Show();
    EXPECT_EQ(form->Log(), "Form.Show Form.Activate Form.Hide Form.Deactivate Form.Show Form.Activate");
}

TEST_F(FormEvents, ActivationFollowsDialogsAndNotOtherApplications) {
    TDialogForm* dialog = nullptr;
    Application->CreateForm(dialog);
    form->Show();
    form->ClearLog();

    dialog->Show();  // the dialog takes the activation
    EXPECT_EQ(form->Log(), "Form.Deactivate");
    EXPECT_EQ(Joined(dialog->log), "Dialog.Show Dialog.Activate");
    EXPECT_EQ(Application->ActiveForm(), dialog);

    PressKey(dialog, VK_ESCAPE);  // hides it: the main form is active again
    EXPECT_FALSE(dialog->Visible());
    EXPECT_EQ(form->Log(), "Form.Deactivate Form.Activate");

    form->ClearLog();
    LeaveAndReturn(form);  // another application in between
    EXPECT_EQ(form->Log(), "");

    dialog->Show();
    Activate(form);  // the user clicks the main window
    EXPECT_EQ(form->Log(), "Form.Deactivate Form.Activate");
    Activate(dialog);
    EXPECT_EQ(Joined(dialog->log), "Dialog.Show Dialog.Activate Dialog.Show Dialog.Activate Dialog.Activate");
}

TEST_F(FormEvents, MessageBoxAndFileDialogGiveTheActivationBack) {
    form->Show();
    TForm* activeDuringBox = form;
    messages.WhileShown = [&](const TMessageBoxRequest&) { activeDuringBox = Application->ActiveForm(); };
    form->Button1->OnClick = [](TObject*) { ShowMessage("Bonjour"); };
    form->ClearLog();
    Click(form->Button1);
    EXPECT_EQ(activeDuringBox, nullptr);
    EXPECT_EQ(form->Log(), "Form.Deactivate Form.Activate");
    EXPECT_EQ(messages.Texts(), std::vector<std::string>{"Bonjour"});

    form->ClearLog();
    files.Cancel();
    EXPECT_FALSE(form->Open1->Execute());
    EXPECT_EQ(form->Log(), "Form.Deactivate Form.Activate");
}

TEST_F(FormEvents, ActivateAfterTheBoxRunsAfterTheCallReturnsItsAnswer) {
    form->Show();
    messages.Answer(mrYes);
    std::string order;
    form->OnActivate = [&](TObject*) { order += "activate "; };
    form->Button1->OnClick = [&](TObject*) {
        const TModalResult r = MessageDlg("Confirmez vous ?", mtConfirmation, mbYesNo);
        order += r == mrYes ? "yes" : "no";
    };
    Click(form->Button1);
    EXPECT_EQ(order, "activate yes");
    EXPECT_EQ(messages.Last().Type, mtConfirmation);
    EXPECT_EQ(messages.Last().Buttons, mbYesNo);
}

TEST_F(FormEvents, OnResizeAtEverySizeChange) {
    form->ClearLog();
    form->SetWidth(700);
    form->SetWidth(700);
    form->SetLeft(10);
    form->SetBounds(10, 0, 700, 500);
    EXPECT_EQ(form->Log(), "Form.Resize:700x480 Form.Resize:700x500");
    form->Show();
    form->ClearLog();
    Resize(form, 800, 600);
    EXPECT_EQ(form->Log(), "Form.Resize:800x600");
    EXPECT_EQ(form->Width(), 800);
}

TEST_F(FormEvents, AMaximisedFormTakesTheScreenAndCanBePlacedAgain) {
    form->SetWindowState(wsMaximized);
    form->ClearLog();
    form->Show();
    ASSERT_TRUE(WaitUntil([&] { return form->Width() > 640; }));
    EXPECT_EQ(form->log.back(), "Form.Resize:" + std::to_string(form->Width()) + "x" + std::to_string(form->Height()));
    EXPECT_EQ(form->Pages1->Width(), form->Width() - 200);
    form->SetBounds(0, 0, 400, 300);  // as "Moitie gauche" does
    EXPECT_EQ(form->WindowState(), wsNormal);
    Application->ProcessMessages();
    EXPECT_EQ(form->Width(), 400);
    EXPECT_EQ(form->Height(), 300);
}

TEST_F(FormEvents, AlignedControlsFollowTheForm) {
    form->SetBounds(0, 0, 800, 600);
    EXPECT_EQ(form->Panel1->Left(), 0);
    EXPECT_EQ(form->Panel1->Height(), form->ClientHeight());
    EXPECT_EQ(form->Pages1->Left(), 200);
    EXPECT_EQ(form->Pages1->Width(), 600);
    EXPECT_LT(form->ClientHeight(), 600);  // the menu bar takes the top
    EXPECT_EQ(form->Image1->Width(), form->Page1->ClientWidth());
    form->Show();
    Resize(form, 1000, 700);
    EXPECT_EQ(form->Pages1->Width(), 800);
    EXPECT_EQ(form->Image1->Width(), 800);
    EXPECT_EQ(form->Image1->Height(), form->Page1->Height());
}

TEST_F(FormEvents, CloseQueryCanRefuseAndClosingTheMainFormEndsTheProgram) {
    form->Show();
    bool allow = false;
    form->OnCloseQuery = [&](TObject* sender, bool& canClose) {
        EXPECT_EQ(sender, form);
        EXPECT_TRUE(canClose);
        canClose = allow;
    };
    Close(form);
    EXPECT_TRUE(form->Visible());
    EXPECT_FALSE(Application->Terminated());
    allow = true;
    Close(form);
    EXPECT_FALSE(form->Visible());
    EXPECT_TRUE(Application->Terminated());
}

TEST_F(FormEvents, KeyPreviewGivesKeysToTheFormFirst) {
    form->Show();
    std::string order;
    form->OnKeyDown = [&](TObject*, std::uint16_t& key, TShiftState) { order += "form-down:" + std::to_string(key) + " "; };
    form->OnKeyPress = [&](TObject*, char& key) { order += std::string("form-press:") + key + " "; };
    form->OnKeyUp = [&](TObject*, std::uint16_t& key, TShiftState) { order += "form-up:" + std::to_string(key) + " "; };
    form->Edit1->OnKeyDown = [&](TObject*, std::uint16_t&, TShiftState) { order += "edit-down "; };
    form->Edit1->OnKeyPress = [&](TObject*, char&) { order += "edit-press "; };
    form->Edit1->OnKeyUp = [&](TObject*, std::uint16_t&, TShiftState) { order += "edit-up "; };

    PressKey(form->Edit1, 'A');
    EXPECT_EQ(order, "edit-down edit-press edit-up ");  // no preview yet
    order.clear();
    form->SetKeyPreview(true);
    PressKey(form->Edit1, 'A');
    EXPECT_EQ(order, "form-down:65 edit-down form-press:a edit-press form-up:65 edit-up ");
    order.clear();
    form->OnKeyPress = [&](TObject*, char& key) { key = 0; };  // the form swallows characters
    form->Edit1->SetText("");
    PressKey(form->Edit1, 'B');
    EXPECT_EQ(order, "form-down:66 edit-down form-up:66 edit-up ");
    EXPECT_EQ(form->Edit1->Text(), "");
}

TEST_F(FormEvents, ArrowKeysReachTheFormFromAControlAndRepeatedReleasesAreIgnored) {
    form->Show();
    form->SetKeyPreview(true);
    std::vector<std::string> ups;
    form->OnKeyUp = [&](TObject*, std::uint16_t& key, TShiftState shift) {
        ups.push_back(std::to_string(key) + (shift.Contains(ssShift) ? "+shift" : ""));
    };
    PressKey(form->Edit1, VK_UP);
    form->Pages1->SetActivePage(form->Page2);
    PressKey(form->Grid1, VK_DOWN, TShiftState{ssShift});
    KeyDown(form->Edit1, VK_UP);
    KeyUp(form->Edit1, VK_UP, {}, true);  // the keyboard repeats: release and press
    KeyDown(form->Edit1, VK_UP, {}, true);
    KeyUp(form->Edit1, VK_UP);
    EXPECT_EQ(Joined(ups), "38 40+shift 38");
}

TEST_F(FormEvents, AKeyReleasedAfterItsModifierCountsAsTypedWithIt) {
    form->Show();
    form->SetKeyPreview(true);
    std::vector<std::string> ups;
    form->OnKeyUp = [&](TObject*, std::uint16_t& key, TShiftState shift) {
        ups.push_back(std::to_string(key) + (shift.Contains(ssCtrl) ? "+ctrl" : ""));
    };
    // Ctrl+A typed fast: the window system reports A's release without Ctrl.
    KeyDown(form->Edit1, 'A', TShiftState{ssCtrl});
    KeyUp(form->Edit1, 'A');
    // A alone after it is A alone.
    PressKey(form->Edit1, 'A');
    EXPECT_EQ(Joined(ups), "65+ctrl 65");
}

TEST_F(FormEvents, KeysOfAFormWithoutFocusedControlGoToTheForm) {
    form->Show();
    form->SetFocus();
    std::vector<int> keys;
    form->OnKeyUp = [&](TObject* sender, std::uint16_t& key, TShiftState) {
        EXPECT_EQ(sender, form);
        keys.push_back(key);
    };
    PressKey(form, VK_F1);
    PressKey(form, '7');
    EXPECT_EQ(keys, (std::vector<int>{112, 55}));
}

TEST_F(FormEvents, FocusBelongsToTheActiveForm) {
    form->Edit1->SetFocus();
    EXPECT_EQ(form->ActiveControl(), form->Edit1);
    EXPECT_FALSE(form->Edit1->Focused());  // the form is not shown yet
    form->Show();
    EXPECT_TRUE(form->Edit1->Focused());
    EXPECT_FALSE(form->Edit2->Focused());
}

TEST_F(FormEvents, RunShowsTheMainFormAndEndsWhenItCloses) {
    form->ClearLog();
    QTimer::singleShot(0, [this] { Close(form); });
    Application->Run();
    EXPECT_TRUE(Application->Forms().empty());  // Run destroys the forms at its end
}

TEST_F(FormEvents, RunEndsOnTerminateAndDestroysTheFormsNewestFirst) {
    std::vector<std::string> destroyed;
    TDialogForm* dialog = nullptr;
    Application->CreateForm(dialog);
    form->OnDestroy = [&](TObject*) { destroyed.push_back("main"); };
    dialog->OnDestroy = [&](TObject*) { destroyed.push_back("dialog"); };
    form->OnShow = [](TObject*) { QTimer::singleShot(0, [] { Application->Terminate(); }); };
    Application->Run();
    EXPECT_EQ(Joined(destroyed), "dialog main");
}

TEST_F(FormEvents, ProcessMessagesRunsPendingEventsInsideAHandler) {
    form->Show();
    bool ran = false;
    form->Button1->OnClick = [&](TObject*) {
        QTimer::singleShot(0, [&] { ran = true; });
        Application->ProcessMessages();
    };
    Click(form->Button1);
    EXPECT_TRUE(ran);
}

TEST_F(FormEvents, FontsAndColoursReachTheWidgets) {
    form->Show();
    form->Label1->Font.Bold = true;
    form->Label1->Font.Color = clWhite;
    form->Label1->SetColor(RGB(44, 117, 255));
    form->Button1->OnClick = [this](TObject*) { form->Edit1->Font.Color = clRed; };
    Click(form->Button1);  // fonts are applied when the handler ends
    EXPECT_TRUE(form->Label1->Widget()->font().bold());
    EXPECT_EQ(form->Label1->Widget()->palette().color(QPalette::WindowText), QColor(255, 255, 255));
    EXPECT_EQ(form->Label1->Widget()->palette().color(QPalette::Window), QColor(44, 117, 255));
    EXPECT_EQ(form->Edit1->Widget()->palette().color(QPalette::Text), QColor(255, 0, 0));
}

}  // namespace
}  // namespace uitest
