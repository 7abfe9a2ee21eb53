// The FTP dialog: its components and defaults, the date-stamped remote name, Esc, the
// menu item that shows it, and the whole road of "Envoyer": the drawing as a JPEG
// preview file in the start directory, the same bytes on a loopback FTP server, a
// failure told with the client's error, and fields holding line breaks refused.
#include <algorithm>
#include <fstream>
#include <vector>

#include "dialogs/ftp_form.h"
#include "dialogs/ftp_sending.h"
#include "ftp/ftp_blocking_client.h"
#include "ftp/socket_window.h"
#include "ftpclient/ftp_test_support.h"
#include "platform/graphics/clipboard.h"
#include "platform/ui/application.h"
#include "plotter/drawing_state.h"
#include "plotter/main_form.h"
#include "tests/plotter/program_harness.h"
#include "tests/support/user_actions.h"
#include "variants/quimbel_program.h"

namespace ftpdialogtest {
namespace {

std::tm At(int Year, int Month, int Day, int Hour, int Minute, int Second) {
    std::tm when{};
    when.tm_year = Year - 1900;
    when.tm_mon = Month - 1;
    when.tm_mday = Day;
    when.tm_hour = Hour;
    when.tm_min = Minute;
    when.tm_sec = Second;
    return when;
}

// Whether "Envoyer" was enabled, seen at each pass of the message loop during an upload.
std::vector<bool> gEnabledDuringUpload;
void PumpNotingTheSendButton() {
    if (FtpUploadRunning()) gEnabledDuringUpload.push_back(Form4->Button1->Enabled());
    Application->ProcessMessages();
}

class FtpDialogTest : public plottest::ProgramTest {
protected:
    void SetUp() override {
        ProgramTest::SetUp();
        StartProgram(QuimbelProgram(), false);
        ShowMainWindow();
        // As at program start-up: the socket layer's waits run the application's loop.
        SetApplicationMessagePump([] { Application->ProcessMessages(); });
        SetApplicationTerminatedQuery([] { return Application->Terminated(); });
        SetFtpFormClock([] { return At(2026, 12, 8, 6, 30, 4); });
    }
    void TearDown() override {
        SetFtpFormClock(nullptr);
        SetApplicationMessagePump(nullptr);
        SetApplicationTerminatedQuery(nullptr);
        ProgramTest::TearDown();
    }
    // A drawing on the clipboard, as the main window's copy leaves it.
    void PutDrawingOnClipboard() {
        TBitmap drawing;
        drawing.SetSize(120, 80);
        drawing.Canvas().Brush.Color = 0x3060C0;
        drawing.Canvas().FillRect({0, 0, 120, 80});
        clipboard.SetImage(drawing);
    }
    void FillDialog(const std::string& Port, const std::string& Folder) {
        Form4->Edit1->SetText("127.0.0.1");
        Form4->Edit2->SetText(Port);
        Form4->edit3->SetText("alice");
        Form4->edit4->SetText("s3cret");
        Form4->Edit5->SetText(Folder);
    }
    std::filesystem::path Preview() const { return StartDirectory / "quimbel_prv.jpg"; }
};

TEST_F(FtpDialogTest, TheDialogHoldsItsComponentsAndDefaults) {
    EXPECT_EQ(Form4->Caption(), "Envoie par ftp");
    EXPECT_EQ(Form4->BorderStyle(), bsToolWindow);
    EXPECT_EQ(Form4->ClientWidth(), 420);
    EXPECT_EQ(Form4->ClientHeight(), 236);
    EXPECT_TRUE(Form4->KeyPreview());
    EXPECT_EQ(Form4->Font.Name, "MS Sans Serif");
    EXPECT_EQ(Form4->Font.Height, -11);
    EXPECT_EQ(Form4->Label1->Caption(), "Hote Ftp");
    EXPECT_EQ(Form4->Label2->Caption(), "Port");
    EXPECT_EQ(Form4->Label3->Caption(), "Login");
    EXPECT_EQ(Form4->Label4->Caption(), "Passe");
    EXPECT_EQ(Form4->Label5->Caption(), "Chemin");
    EXPECT_EQ(Form4->Label6->Caption(), "Nom pour l'envoi de l'image actuelle :");
    EXPECT_EQ(Form4->Edit1->Text(), "");
    EXPECT_EQ(Form4->edit3->PasswordChar(), '*');
    EXPECT_EQ(Form4->edit4->PasswordChar(), '*');
    EXPECT_EQ(Form4->Edit1->PasswordChar(), 0);
    EXPECT_EQ(Form4->Edit5->Text(), "");
    EXPECT_EQ(Form4->Panel1->Width(), 418);
    EXPECT_EQ(Form4->Panel1->Height(), 2);
    EXPECT_EQ(Form4->Button1->Caption(), "Envoyer");
    EXPECT_TRUE(Form4->Button1->Font.Bold);
    EXPECT_FALSE(Form4->Visible());
    Form4->Show();
    const int centreX = Form4->Left() + Form4->Width() / 2;
    const int centreY = Form4->Top() + Form4->Height() / 2;
    EXPECT_NEAR(centreX, Form1->Left() + Form1->Width() / 2, 4);
    EXPECT_NEAR(centreY, Form1->Top() + Form1->Height() / 2, 4);
}

TEST_F(FtpDialogTest, EachActivationProposesAFreshDateStampedName) {
    EXPECT_EQ(DefaultRemoteFileName(At(2026, 12, 8, 6, 30, 4)), "Quimbel26-12-08_06-30-04.jpg");
    EXPECT_EQ(DefaultRemoteFileName(At(2000, 1, 2, 23, 5, 9)), "Quimbel00-01-02_23-05-09.jpg");

    uitest::ClickMenu(Form1->EnvoyerparFtp1);
    ASSERT_TRUE(Form4->Visible());
    EXPECT_EQ(Form4->Edit6->Text(), "Quimbel26-12-08_06-30-04.jpg");
    // A name typed by the user gives way to a new stamp when the user comes back to the
    // dialog from the main window.
    Form4->Edit6->SetText("mine.jpg");
    SetFtpFormClock([] { return At(2027, 3, 4, 17, 8, 59); });
    uitest::Activate(Form1);
    EXPECT_EQ(Form4->Edit6->Text(), "mine.jpg");
    uitest::Activate(Form4);
    EXPECT_EQ(Form4->Edit6->Text(), "Quimbel27-03-04_17-08-59.jpg");
}

TEST_F(FtpDialogTest, EscHidesTheDialogAndOtherKeysPassOn) {
    Form4->Show();
    char key = 'a';
    Form4->FormKeyPress(Form4, key);
    EXPECT_EQ(key, 'a');
    EXPECT_TRUE(Form4->Visible());
    uitest::PressKey(Form4, 27);
    EXPECT_FALSE(Form4->Visible());
}

TEST_F(FtpDialogTest, SendingStoresThePreviewJpegOnTheServer) {
    LoopbackFtpServer server;
    if (!server.Start()) GTEST_SKIP() << server.Reason();
    std::filesystem::create_directory(server.Root() / "pub");
    PutDrawingOnClipboard();
    Form4->Show();
    FillDialog(server.Port(), "pub");
    cursor.Clear();
    uitest::Click(Form4->Button1);

    ASSERT_TRUE(std::filesystem::exists(Preview()));
    const std::string jpeg = ReadAll(Preview());
    ASSERT_GT(jpeg.size(), 4u);
    EXPECT_EQ(jpeg.substr(0, 2), "\xFF\xD8");
    // "pub/" and the name reach the server as one path.
    const auto stored = server.Root() / "pub" / "Quimbel26-12-08_06-30-04.jpg";
    ASSERT_TRUE(std::filesystem::exists(stored));
    EXPECT_TRUE(ReadAll(stored) == jpeg);
    EXPECT_FALSE(Form4->Visible());
    EXPECT_EQ(messages.Count(), 0);
    ASSERT_FALSE(cursor.History().empty());
    EXPECT_EQ(cursor.History().front(), crHourGlass);
    EXPECT_EQ(cursor.Current(), crDefault);
    EXPECT_EQ(CurrentFtpClient, nullptr);
    EXPECT_FALSE(FtpUploadRunning());
}

TEST_F(FtpDialogTest, AFailedUploadTellsTheClientsErrorAndKeepsTheDialogAsTyped) {
    LoopbackFtpServer server;
    if (!server.Start()) GTEST_SKIP() << server.Reason();
    PutDrawingOnClipboard();
    // "Envoyer" is disabled for as long as the upload runs.
    gEnabledDuringUpload.clear();
    SetApplicationMessagePump(&PumpNotingTheSendButton);
    struct Case {
        const char* What;
        std::string Port, Folder, Password, Expected;
    };
    const Case cases[] = {
        {"a wrong password", server.Port(), "", "wrong", "530 "},
        {"nobody listening", ClosedLoopbackPort(), "", "s3cret", "500 Connect error"},
        {"a refused path", server.Port(), "missing", "s3cret", "550 "},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.What);
        messages.Clear();
        uitest::ClickMenu(Form1->EnvoyerparFtp1);
        FillDialog(c.Port, c.Folder);
        Form4->edit4->SetText(c.Password);
        Form4->Edit6->SetText("mine.jpg");
        uitest::Click(Form4->Button1);
        ASSERT_EQ(messages.Count(), 1);
        const std::string text = messages.Last().Text;
        EXPECT_EQ(text.rfind("L'envoi par FTP a \xE9" "chou\xE9 : ", 0), 0u) << text;
        EXPECT_NE(text.find(c.Expected), std::string::npos) << text;
        EXPECT_TRUE(Form4->Visible());
        EXPECT_EQ(Form4->Edit1->Text(), "127.0.0.1");
        EXPECT_EQ(Form4->Edit2->Text(), c.Port);
        EXPECT_EQ(Form4->edit4->Text(), c.Password);
        EXPECT_EQ(Form4->Edit5->Text(), c.Folder);
        // Not even the name, which each activation of the dialog stamps afresh.
        EXPECT_EQ(Form4->Edit6->Text(), "mine.jpg");
        EXPECT_TRUE(Form4->Button1->Enabled());
        EXPECT_EQ(cursor.Current(), crDefault);
        EXPECT_EQ(CurrentFtpClient, nullptr);
        Form4->Hide();
    }
    EXPECT_FALSE(std::filesystem::exists(server.Root() / "mine.jpg"));
    ASSERT_FALSE(gEnabledDuringUpload.empty());
    EXPECT_EQ(std::count(gEnabledDuringUpload.begin(), gEnabledDuringUpload.end(), true), 0);

    // The same dialog then succeeds and closes without a message.
    messages.Clear();
    uitest::ClickMenu(Form1->EnvoyerparFtp1);
    FillDialog(server.Port(), "");
    uitest::Click(Form4->Button1);
    EXPECT_EQ(messages.Count(), 0);
    EXPECT_FALSE(Form4->Visible());
    EXPECT_TRUE(std::filesystem::exists(server.Root() / "Quimbel26-12-08_06-30-04.jpg"));
}

TEST_F(FtpDialogTest, AFieldWithALineBreakIsRefusedBeforeConnecting) {
    TempFolder logFolder;
    const auto log = logFolder.Path() / "commands.log";
    LoopbackFtpServer server;
    if (!server.Start({"--command-log", log.string()})) GTEST_SKIP() << server.Reason();
    std::ofstream(server.Root() / "notes.txt") << "keep me";
    PutDrawingOnClipboard();
    struct Field {
        TEdit* Edit;
        const char* Caption;
    };
    const Field fields[] = {{Form4->edit3, "Login"}, {Form4->edit4, "Passe"}, {Form4->Edit5, "Chemin"},
                            {Form4->Edit6, "Nom pour l'envoi de l'image actuelle"}};
    const std::string breaks[] = {"\r", "\n", "\r\n", std::string(1, '\0')};
    for (const Field& field : fields) {
        for (const std::string& cut : breaks) {
            SCOPED_TRACE(field.Caption);
            messages.Clear();
            uitest::ClickMenu(Form1->EnvoyerparFtp1);
            FillDialog(server.Port(), "");
            // As a state file or a curve file could have filled it.
            const std::string typed = "x" + cut + "DELE notes.txt";
            field.Edit->SetText(typed);
            uitest::Click(Form4->Button1);
            ASSERT_EQ(messages.Count(), 1);
            EXPECT_EQ(messages.Last().Text, std::string("Le champ \"") + field.Caption +
                                                "\" contient un retour \xE0 la ligne ou un caract\xE8re nul : rien "
                                                "n'a \xE9t\xE9 envoy\xE9.");
            EXPECT_TRUE(Form4->Visible());
            EXPECT_EQ(field.Edit->Text(), typed);
            EXPECT_TRUE(Form4->Button1->Enabled());
            Form4->Hide();
        }
    }
    DrainMessages();
    // The server never saw a command, nor a connection that sent one.
    EXPECT_FALSE(std::filesystem::exists(log));
    EXPECT_EQ(ReadAll(server.Root() / "notes.txt"), "keep me");
    EXPECT_FALSE(std::filesystem::exists(Preview()));
}

TEST_F(FtpDialogTest, AnUnwritablePreviewIsReportedAndNothingIsSent) {
    PutDrawingOnClipboard();
    Form4->Show();
    FillDialog(ClosedLoopbackPort(), "");
    const auto saved = StartDirectory;
    StartDirectory = saved / "missing" / "folder";
    uitest::Click(Form4->Button1);
    StartDirectory = saved;
    // The error reaches the application's report; the dialog stays, the cursor returns.
    EXPECT_EQ(messages.Count(), 1);
    EXPECT_TRUE(Form4->Visible());
    EXPECT_EQ(cursor.Current(), crDefault);
    EXPECT_EQ(CurrentFtpClient, nullptr);
}

// A clipboard that never holds a bitmap (another program took it meanwhile).
class NoImageClipboard final : public IClipboard {
public:
    void SetImage(const TBitmap&) override {}
    bool HasImage() override { return false; }
    bool GetImage(TBitmap&) override { return false; }
};

TEST_F(FtpDialogTest, WithoutABitmapOnTheClipboardNothingHappens) {
    NoImageClipboard empty;
    IClipboard* previous = SetClipboardService(&empty);
    Form4->Show();
    FillDialog(ClosedLoopbackPort(), "");
    cursor.Clear();
    uitest::Click(Form4->Button1);
    EXPECT_TRUE(Form4->Visible());
    EXPECT_FALSE(std::filesystem::exists(Preview()));
    EXPECT_EQ(cursor.Current(), crDefault);
    EXPECT_EQ(messages.Count(), 0);
    SetClipboardService(previous);
}

TEST_F(FtpDialogTest, TheRemotePathKeepsSlashesAndSplitsAtBackslashOrColon) {
    EXPECT_EQ(RemoteUploadPath("", "a.jpg"), "a.jpg");
    EXPECT_EQ(RemoteUploadPath("pub", "a.jpg"), "pub/a.jpg");
    EXPECT_EQ(RemoteUploadPath("pub/", "a.jpg"), "pub/a.jpg");
    EXPECT_EQ(PreviewFileName(), (StartDirectory / "quimbel_prv.jpg").string());

    CreateFtpClient();
    PutFtpFile("local.jpg", "images/Quimbel26-12-08_06-30-04.jpg");
    EXPECT_EQ(CurrentFtpClient->HostDirName, "");
    EXPECT_EQ(CurrentFtpClient->HostFileName, "images/Quimbel26-12-08_06-30-04.jpg");
    EXPECT_EQ(CurrentFtpClient->LocalFileName(), "local.jpg");
    EXPECT_TRUE(CurrentFtpClient->Binary());
    PutFtpFile("local.jpg", "c:\\dir\\name.jpg");
    EXPECT_EQ(CurrentFtpClient->HostDirName, "c:\\dir");
    EXPECT_EQ(CurrentFtpClient->HostFileName, "name.jpg");
    // An empty port keeps the client's service name.
    ConnectFtp("", "u", "p", "");
    EXPECT_EQ(CurrentFtpClient->Port, "ftp");
    FreeFtpClient();
    EXPECT_EQ(CurrentFtpClient, nullptr);
}

}  // namespace
}  // namespace ftpdialogtest
