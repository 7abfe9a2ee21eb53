// The error boundary: an exception that leaves a handler becomes one message box.
#include <stdexcept>

#include "tests/ui/test_form.h"

namespace uitest {
namespace {

class ErrorBoundary : public ShownFormTest {};

TEST_F(ErrorBoundary, AThrowingHandlerBecomesOneMessageBoxAndTheProgramGoesOn) {
    int clicks = 0;
    form->Button1->OnClick = [&](TObject*) {
        ++clicks;
        if (clicks == 1) throw std::runtime_error("'abc' n'est pas une valeur enti\xE8re correcte");
    };
    Click(form->Button1);
    ASSERT_EQ(messages.Count(), 1);
    EXPECT_EQ(messages.Last().Text, "'abc' n'est pas une valeur enti\xE8re correcte");
    EXPECT_EQ(messages.Last().Type, mtError);
    EXPECT_EQ(messages.Last().Buttons, TMsgDlgButtons{mbOK});
    Click(form->Button1);
    EXPECT_EQ(clicks, 2);
    EXPECT_EQ(messages.Count(), 1);
}

TEST_F(ErrorBoundary, AnEventFiredByASetterInsideAHandlerPassesItsErrorToThatHandler) {
    form->CheckBox1->OnClick = [](TObject*) { throw std::runtime_error("inner"); };
    std::string seen;
    form->Button1->OnClick = [&](TObject*) {
        try {
            form->CheckBox1->SetChecked(true);
        } catch (const std::exception& e) {
            seen = e.what();
        }
        form->Edit1->SetText("after");
    };
    Click(form->Button1);
    EXPECT_EQ(seen, "inner");
    EXPECT_EQ(messages.Count(), 0);
    EXPECT_EQ(form->Edit1->Text(), "after");

    form->Button1->OnClick = [&](TObject*) {
        form->CheckBox1->SetChecked(false);  // not caught: the outer handler's boundary shows it
        form->Edit1->SetText("not reached");
    };
    Click(form->Button1);
    EXPECT_EQ(messages.Texts(), std::vector<std::string>{"inner"});
    EXPECT_EQ(form->Edit1->Text(), "after");
}

TEST_F(ErrorBoundary, ErrorsOfUserEventsOfEveryKindAreCaught) {
    form->Edit1->SetText("");
    auto thrower = [](const char* text) { return [text](auto&&...) { throw std::runtime_error(text); }; };
    form->Edit1->OnChange = thrower("change");
    form->Edit1->OnKeyPress = [](TObject*, char& key) {
        if (key == 'k') throw std::runtime_error("keypress");
    };
    form->UpDown1->OnClick = thrower("updown");
    form->Image1->OnMouseDown = thrower("mouse");
    form->Copy1->OnClick = thrower("menu");
    form->OnResize = thrower("resize");
    TypeText(form->Edit1, "a");
    TypeText(form->Edit1, "k");
    ClickUpDown(form->UpDown1, btNext);
    MouseDown(form->Image1, mbLeft, 5, 5);
    MouseUp(form->Image1, mbLeft, 5, 5);
    ClickMenu(form->Copy1);
    PressKey(form, 'D', TShiftState{ssCtrl});
    Resize(form, 900, 700);
    EXPECT_EQ(Joined(messages.Texts()), "change keypress updown mouse menu menu resize");
    EXPECT_EQ(form->Edit1->Text(), "a");  // the failing key press swallowed its key
}

TEST_F(ErrorBoundary, AFailingActivationDoesNotLoopThroughItsOwnMessageBox) {
    int activations = 0;
    form->OnActivate = [&](TObject*) {
        ++activations;
        throw std::runtime_error("load failed");
    };
    form->Hide();
    form->Show();
    EXPECT_EQ(activations, 1);
    EXPECT_EQ(messages.Count(), 1);
    EXPECT_TRUE(form->Active());
}

TEST_F(ErrorBoundary, AFailingCloseQueryKeepsTheWindowOpen) {
    form->OnCloseQuery = [](TObject*, bool&) { throw std::runtime_error("save failed"); };
    Close(form);
    EXPECT_TRUE(form->Visible());
    EXPECT_FALSE(Application->Terminated());
    EXPECT_EQ(messages.Texts(), std::vector<std::string>{"save failed"});
}

TEST_F(ErrorBoundary, OnCreateErrorsAreShownAndTheFormIsStillCreated) {
    struct TFailingForm : TForm {
        explicit TFailingForm(TApplication& app) : TForm(app, "Failing") {
            OnCreate = [](TObject*) { throw std::runtime_error("create"); };
        }
    };
    TFailingForm* failing = nullptr;
    Application->CreateForm(failing);
    EXPECT_NE(failing, nullptr);
    EXPECT_EQ(messages.Texts(), std::vector<std::string>{"create"});
}

TEST_F(ErrorBoundary, UnknownExceptionsAndTheApplicationsOwnHandler) {
    form->Button1->OnClick = [](TObject*) { throw 42; };
    Click(form->Button1);
    EXPECT_EQ(messages.Count(), 1);
    std::string handled;
    Application->OnException = [&](TObject* sender, const std::exception& e) {
        EXPECT_EQ(sender, Application);
        handled = e.what();
    };
    form->Button1->OnClick = [](TObject*) { throw std::logic_error("own"); };
    Click(form->Button1);
    EXPECT_EQ(handled, "own");
    EXPECT_EQ(messages.Count(), 1);
}

}  // namespace
}  // namespace uitest
