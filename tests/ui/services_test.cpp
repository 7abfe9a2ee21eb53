// Message boxes, file dialogs, the screen and the cursor through the scripted services.
#include "tests/ui/test_form.h"

namespace uitest {
namespace {

class Services : public UiTest {
protected:
    void SetUp() override {
        UiTest::SetUp();
        Application->CreateForm(form);
        form->Show();
        form->ClearLog();
    }
    TTestForm* form = nullptr;
};

TEST_F(Services, MessageBoxesAnswerFromTheScript) {
    messages.Answer(mrNo);
    EXPECT_EQ(MessageDlg("Confirmez vous l'effacement de ce qui est en cours ?", mtConfirmation, mbYesNo), mrNo);
    messages.Answer(mrCancel);
    EXPECT_EQ(Application->MessageBox("Quitter ?", "Vartelo", MB_YESNOCANCEL | MB_ICONQUESTION), IDCANCEL);
    EXPECT_EQ(messages.Last().Caption, "Vartelo");
    EXPECT_EQ(messages.Last().Type, mtConfirmation);
    EXPECT_EQ(messages.Last().Buttons, mbYesNoCancel);
    EXPECT_EQ(MessageDlg("?", mtWarning, mbYesNo), mrNo);  // unscripted: the safe answer
    EXPECT_EQ(messages.Unscripted(), 1);
    Application->SetTitle("Quimbel");
    ShowMessage("Fen\xEAtre deffectueuse");
    EXPECT_EQ(messages.Last().Caption, "Quimbel");
    EXPECT_EQ(messages.Last().Text, "Fen\xEAtre deffectueuse");
}

TEST_F(Services, FileDialogsAddTheDefaultExtension) {
    form->Save1->SetDefaultExt("*.fct");
    form->Save1->SetFilter("Fichier Fonction|*.fct");
    files.Pick(startDirectory->Path() / "courbe");
    ASSERT_TRUE(form->Save1->Execute());
    EXPECT_EQ(form->Save1->FileName(), startDirectory->Path() / "courbe.fct");
    EXPECT_EQ(files.Requests().back().Kind, fdSave);
    EXPECT_EQ(files.Requests().back().DefaultExt, "fct");
    EXPECT_EQ(files.Requests().back().Filter, "Fichier Fonction|*.fct");

    files.Pick("image.jpeg");
    form->Save1->SetDefaultExt("jpg");
    ASSERT_TRUE(form->Save1->Execute());
    EXPECT_EQ(form->Save1->FileName(), "image.jpeg");
}

TEST_F(Services, ACancelledDialogKeepsTheFileName) {
    form->Open1->SetFileName("old.fct");
    files.Cancel();
    EXPECT_FALSE(form->Open1->Execute());
    EXPECT_FALSE(form->Open1->Execute());  // nothing queued: cancel
    EXPECT_EQ(form->Open1->FileName(), "old.fct");
    EXPECT_EQ(files.Requests().back().Kind, fdOpen);
    EXPECT_EQ(files.Requests().back().FileName, "old.fct");
}

TEST_F(Services, TheCursorIsAnAssignment) {
    Screen->SetCursor(crHourGlass);
    Screen->SetCursor(crHourGlass);
    Screen->SetCursor(crDefault);
    EXPECT_EQ(Screen->Cursor(), crDefault);
    EXPECT_EQ(cursor.Current(), crDefault);
    EXPECT_EQ(cursor.History(), (std::vector<TCursor>{crHourGlass, crHourGlass, crDefault}));
}

TEST_F(Services, ScreenSizeAndFonts) {
    screen.width = 1920;
    EXPECT_EQ(Screen->Width(), 1920);
    EXPECT_EQ(Screen->Height(), 1024);
    EXPECT_EQ(Screen->Fonts().front(), "Arial");
    EXPECT_EQ(Screen->ActiveForm(), form);
}

TEST_F(Services, TheClipboardDoubleIsTheDrawingLayersService) {
    TBitmap picture(4, 3);
    ClipboardService().SetImage(picture);
    EXPECT_EQ(clipboard.SetCount(), 1);
    TBitmap back;
    EXPECT_TRUE(ClipboardService().GetImage(back));
    EXPECT_EQ(back.Width(), 4);
}

TEST_F(Services, TheTemporaryStartDirectoryIsCurrent) {
    EXPECT_EQ(std::filesystem::current_path(), startDirectory->Path());
}

TEST(KeyCodes, VirtualKeysAndShortcuts) {
    EXPECT_EQ(ShortCut('Z', TShiftState{ssCtrl}), 0x4000 | 90);
    EXPECT_EQ(ShortCutToText(ShortCut('Y', TShiftState{ssCtrl})), "Ctrl+Y");
    EXPECT_EQ(ShortCutToText(ShortCut(VK_F1, TShiftState{ssShift})), "Shift+F1");
    EXPECT_EQ(ShortCutToText(0), "");
    TShiftState s{ssCtrl};
    s << ssShift;
    EXPECT_TRUE(s.Contains(ssShift));
    EXPECT_FALSE(s.Contains(ssAlt));
}

}  // namespace
}  // namespace uitest
