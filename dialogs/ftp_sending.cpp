#include "dialogs/ftp_sending.h"

#include <memory>
#include <utility>

#include "dialogs/ftp_form.h"
#include "engine/text_helpers.h"
#include "ftp/ftp_blocking_client.h"
#include "platform/graphics/bitmap.h"
#include "platform/graphics/clipboard.h"
#include "platform/graphics/jpeg.h"
#include "platform/ui/dialogs.h"
#include "platform/ui/screen.h"
#include "plotter/drawing_state.h"
#include "plotter/main_form.h"

TFtpClient* CurrentFtpClient = nullptr;

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

void CreateFtpClient() {
    CurrentFtpClient = new TFtpClient();
}

void FreeFtpClient() {
    delete CurrentFtpClient;
    CurrentFtpClient = nullptr;
}

bool ConnectFtp(const std::string& Host, const std::string& User, const std::string& Password,
                const std::string& Port) {
    TFtpClient& client = *CurrentFtpClient;
    if (client.Connected()) client.Quit();
    client.SetBinary(true);
    client.HostDirName.clear();
    client.HostName = Host;
    client.UserName = User;
    client.PassWord = Password;
    if (!Port.empty()) client.Port = Port;
    try {
        return client.Connect();
    } catch (...) {
        return false;
    }
}

bool PutFtpFile(const std::string& LocalFile, const std::string& RemotePath) {
    TFtpClient& client = *CurrentFtpClient;
    // A failed TYPE does not stop the upload.
    client.SetTransferType();
    client.SetBinary(true);
    // Only "\" and ":" separate the folder here: a path typed with "/" reaches the server
    // whole in the STOR command.
    const std::size_t cut = RemotePath.find_last_of("\\:");
    if (cut == std::string::npos) {
        client.HostDirName.clear();
        client.HostFileName = RemotePath;
    } else {
        client.HostDirName = RemotePath.substr(0, cut);
        client.HostFileName = RemotePath.substr(cut + 1);
    }
    client.SetLocalFileName(LocalFile);
    return client.Put();
}

void QuitFtp() {
    CurrentFtpClient->Quit();
}

TFtpUploadOutcome SendFileByFtp(const std::string& LocalFile, const std::string& RemotePath,
                                const std::string& Host, const std::string& User, const std::string& Password,
                                const std::string& Port) {
    CreateFtpClient();
    // The client is freed whatever happens; the blocking calls never raise.
    std::unique_ptr<TFtpClient, void (*)(TFtpClient*)> owner(CurrentFtpClient, [](TFtpClient*) { FreeFtpClient(); });
    TFtpClient& client = *CurrentFtpClient;
    // A refusal (an empty login, no connection) is told through OnError only.
    std::string refusal;
    client.OnError = [&refusal](TCustomFtpCli*, std::string& Msg) {
        if (refusal.empty()) refusal = Msg;
    };
    auto errorText = [&] {
        if (!client.ErrorMessage.empty()) return client.ErrorMessage;
        if (!refusal.empty()) return refusal;
        if (!client.LastResponse.empty()) return client.LastResponse;
        return std::string("erreur inconnue");
    };
    TFtpUploadOutcome outcome;
    if (!ConnectFtp(Host, User, Password, Port)) {
        outcome.Error = errorText();
    } else {
        refusal.clear();
        const bool stored = PutFtpFile(LocalFile, RemotePath);
        outcome.Done = stored && (client.StatusCode == 226 || client.StatusCode == 250);
        if (!outcome.Done) outcome.Error = errorText();
    }
    QuitFtp();
    return outcome;
}

std::string RemoteUploadPath(const std::string& Folder, const std::string& FileName) {
    std::string path = Folder;
    if (!path.empty() && path.back() != '/') path += '/';
    return path + FileName;
}

std::string PreviewFileName() {
    return AddTrailingBackslash(StartDirectory.string()) + "quimbel_prv.jpg";
}

std::string FieldWithLineBreak(const TForm4& Dialog) {
    const std::pair<const TLabel*, const TEdit*> fields[] = {
        {Dialog.Label3, Dialog.edit3}, {Dialog.Label4, Dialog.edit4}, {Dialog.Label5, Dialog.Edit5},
        {Dialog.Label6, Dialog.Edit6}};
    for (const auto& [label, edit] : fields) {
        if (edit->Text().find_first_of(std::string("\r\n\0", 3)) == std::string::npos) continue;
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
