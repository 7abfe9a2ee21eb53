// Message boxes, file dialogs, the screen and the cursor through the scripted services.
#include <QAbstractButton>
#include <QApplication>
#include <QDialog>
#include <QStringList>
#include <QTimer>

#include "platform/ui/services.h"
#include "tests/ui/test_form.h"

namespace uitest {
namespace {

class Services : public ShownFormTest {};

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

// The standard dialogs that the platform services show speak French: the buttons of a
// message box, and those of the open dialog.
TEST_F(Services, TheStandardDialogsAreInFrench) {
    const TPlatformServices qt = QtPlatformServices();
    QStringList seen;
    const auto readAndClose = [&seen](bool accept) {
        QTimer::singleShot(0, [&seen, accept] {
            QWidget* dialog = QApplication::activeModalWidget();
            if (!dialog) return;
            for (QAbstractButton* button : dialog->findChildren<QAbstractButton*>())
                if (button->isVisible() && !button->text().isEmpty()) seen << button->text().remove(QLatin1Char('&'));
            if (accept) {
                static_cast<QDialog*>(dialog)->accept();
            } else {
                static_cast<QDialog*>(dialog)->reject();
            }
        });
    };
    TMessageBoxRequest question;
    question.Text = "Confirmez vous l'effacement de ce qui est en cours ?";
    question.Type = mtConfirmation;
    question.Buttons = mbYesNo;
    readAndClose(false);
    qt.MessageBoxes->Show(question);
    EXPECT_TRUE(seen.contains(QStringLiteral("Oui"))) << seen.join(QLatin1Char(',')).toStdString();
    EXPECT_TRUE(seen.contains(QStringLiteral("Non"))) << seen.join(QLatin1Char(',')).toStdString();

    seen.clear();
    TFileDialogRequest open;
    open.Kind = fdOpen;
    open.Filter = "Fichier Fonction|*.fct";
    open.InitialDir = startDirectory->Path();
    readAndClose(false);
    EXPECT_FALSE(qt.FileDialogs->Choose(open).has_value());
    EXPECT_TRUE(seen.contains(QStringLiteral("Ouvrir"))) << seen.join(QLatin1Char(',')).toStdString();
    EXPECT_TRUE(seen.contains(QStringLiteral("Annuler"))) << seen.join(QLatin1Char(',')).toStdString();
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
