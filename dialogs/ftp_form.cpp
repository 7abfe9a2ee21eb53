#include "dialogs/ftp_form.h"

#include <chrono>
#include <utility>

#include "dialogs/ftp_sending.h"
#include "ftp/ftp_text_helpers.h"
#include "platform/graphics/bitmap.h"
#include "platform/graphics/clipboard.h"
#include "platform/graphics/jpeg.h"
#include "platform/ui/dialogs.h"
#include "platform/ui/screen.h"
#include "plotter/form_building.h"
#include "plotter/main_form.h"

TForm4* Form4 = nullptr;

namespace {

TLocalClock& FormClock() {
    static TLocalClock clock;
    return clock;
}

std::tm SystemLocalTime() {
    const std::time_t now = std::chrono::system_clock::to_time_t(std::chrono::system_clock::now());
    std::tm local{};
    localtime_r(&now, &local);
    return local;
}

void AppendTwoDigits(std::string& text, int value) {
    // Two digits as the date pattern writes them (the year modulo 100).
    value %= 100;
    if (value < 0) value += 100;
    text += static_cast<char>('0' + value / 10);
    text += static_cast<char>('0' + value % 10);
}

}  // namespace

std::string DefaultRemoteFileName(const std::tm& When) {
    std::string name = "Quimbel";
    AppendTwoDigits(name, When.tm_year + 1900);
    name += '-';
    AppendTwoDigits(name, When.tm_mon + 1);
    name += '-';
    AppendTwoDigits(name, When.tm_mday);
    name += '_';
    AppendTwoDigits(name, When.tm_hour);
    name += '-';
    AppendTwoDigits(name, When.tm_min);
    name += '-';
    AppendTwoDigits(name, When.tm_sec);
    return name + ".jpg";
}

void SetFtpFormClock(TLocalClock Clock) {
    FormClock() = std::move(Clock);
}

TForm4::TForm4(TApplication& app) : TForm(app, "Form4") {
    using namespace form_building;
    SetCaption("Envoie par ftp");
    SetBorderStyle(bsToolWindow);
    SetClientSize(420, 236);
    SetKeyPreview(true);
    Font.Name = "MS Sans Serif";
    Font.Height = -11;

    // The edits and the button are made in their tab order (the focus moves through the
    // controls in the order they were made): Edit2, Edit5, edit3, Button1, Panel1, Edit6,
    // edit4, Edit1.
    Edit2 = AddEdit(this, "Edit2", "21", 112, 38, 60);
    Edit5 = AddEdit(this, "Edit5", "", 112, 116, 290);
    edit3 = AddEdit(this, "edit3", "", 112, 64, 160);
    edit3->SetPasswordChar('*');
    Button1 = AddButton(this, "Button1", "Envoyer", 172, 206, 80);
    Button1->Font.Bold = true;
    Panel1 = Add<TPanel>("Panel1");
    Panel1->SetBounds(1, 146, 418, 2);
    Edit6 = AddEdit(this, "Edit6", "", 16, 178, 386);
    edit4 = AddEdit(this, "edit4", "", 112, 90, 160);
    edit4->SetPasswordChar('*');
    Edit1 = AddEdit(this, "Edit1", "", 112, 12, 290);

    Label1 = AddLabel(this, "Label1", "Hote Ftp", 16, 12, 90);
    Label2 = AddLabel(this, "Label2", "Port", 16, 38, 90);
    Label3 = AddLabel(this, "Label3", "Login", 16, 64, 90);
    Label4 = AddLabel(this, "Label4", "Passe", 16, 90, 90);
    Label5 = AddLabel(this, "Label5", "Chemin", 16, 116, 90);
    Label6 = AddLabel(this, "Label6", "Nom pour l'envoi de l'image actuelle :", 16, 156, 250);

    // The dialog opens centred on the main window.
    OnShow = [this](TObject*) { CentreOnMainWindow(); };
    OnActivate = [this](TObject* s) { FormActivate(s); };
    OnKeyPress = [this](TObject* s, char& key) { FormKeyPress(s, key); };
    Button1->OnClick = [this](TObject* s) { Button1Click(s); };
}

// At every activation, also on coming back from another window, the proposed name is
// stamped afresh; whatever the user typed there is replaced.
void TForm4::FormActivate(TObject*) {
    const std::tm now = FormClock() ? FormClock()() : SystemLocalTime();
    Edit6->SetText(DefaultRemoteFileName(now));
}

void TForm4::CentreOnMainWindow() {
    if (!Form1) return;
    SetBounds(Form1->Left() + (Form1->Width() - Width()) / 2, Form1->Top() + (Form1->Height() - Height()) / 2,
              Width(), Height());
}

void TForm4::FormKeyPress(TObject*, char& Key) {
    if (Key == 27) Hide();
}

void TForm4::Button1Click(TObject* Sender) {
    SendDrawingByFtp(this, Sender);
}

// --- "Envoyer" ---

namespace {

bool gUploadRunning = false;

// Restores the cursor and frees the running flag however the click ends.
class UploadScope {
public:
    explicit UploadScope(TButton* Send) : FSend(Send) {
        gUploadRunning = true;
        FSend->SetEnabled(false);
    }
    ~UploadScope() {
        gUploadRunning = false;
        FSend->SetEnabled(true);
        Screen->SetCursor(crDefault);
    }
    UploadScope(const UploadScope&) = delete;
    UploadScope& operator=(const UploadScope&) = delete;

private:
    TButton* FSend;
};

// Shows Text over the dialog. The message box takes the activation and gives it back,
// and each activation stamps the remote name afresh: the name the user gave is kept.
void TellUser(TForm4* Dialog, const std::string& Text) {
    const std::string typedName = Dialog->Edit6->Text();
    ShowMessage(Text);
    Dialog->Edit6->SetText(typedName);
}

}  // namespace

bool FtpUploadRunning() { return gUploadRunning; }

std::string FieldWithLineBreak(const TForm4& Dialog) {
    const std::pair<const TLabel*, const TEdit*> fields[] = {
        {Dialog.Label3, Dialog.edit3}, {Dialog.Label4, Dialog.edit4}, {Dialog.Label5, Dialog.Edit5},
        {Dialog.Label6, Dialog.Edit6}};
    for (const auto& [label, edit] : fields) {
        if (!HoldsLineBreak(edit->Text())) continue;
        // The caption as the user reads it, without the colon some captions end with.
        std::string caption = label->Caption();
        while (!caption.empty() && (caption.back() == ':' || caption.back() == ' ')) caption.pop_back();
        return caption;
    }
    return std::string();
}

void SendDrawingByFtp(TForm4* Dialog, TObject*) {
    // The blocking calls let other handlers run: a second click meanwhile must not
    // replace the client still in use.
    if (gUploadRunning) return;
    // The fields also come from the state file and curve files: whatever filled them, a
    // line break never reaches the server.
    const std::string badField = FieldWithLineBreak(*Dialog);
    if (!badField.empty()) {
        TellUser(Dialog, "Le champ \"" + badField +
                             "\" contient un retour \xE0 la ligne ou un caract\xE8re nul : rien n'a \xE9t\xE9 envoy\xE9.");
        return;
    }
    Form1->Copierdanslepresspapier1Click(Dialog);
    if (!ClipboardService().HasImage()) return;
    UploadScope scope(Dialog->Button1);
    Screen->SetCursor(crHourGlass);
    {
        TBitmap bitmap;
        if (!ClipboardService().GetImage(bitmap)) return;
        // A failed write raises to the application's report; nothing is sent then.
        SaveJpegFile(bitmap, PreviewFileName());
    }
    const TFtpUploadOutcome outcome =
        SendFileByFtp(PreviewFileName(), RemoteUploadPath(Dialog->Edit5->Text(), Dialog->Edit6->Text()),
                      Dialog->Edit1->Text(), Dialog->edit3->Text(), Dialog->edit4->Text(), Dialog->Edit2->Text());
    Screen->SetCursor(crDefault);
    if (!outcome.Done) {
        TellUser(Dialog, "L'envoi par FTP a \xE9" "chou\xE9 : " + outcome.Error);
        return;
    }
    Dialog->Hide();
}
