#include "dialogs/ftp_sending.h"

#include <memory>

#include "dialogs/ftp_form.h"
#include "engine/text_helpers.h"
#include "ftp/ftp_blocking_client.h"
#include "platform/graphics/bitmap.h"
#include "platform/graphics/clipboard.h"
#include "platform/graphics/jpeg.h"
#include "platform/ui/screen.h"
#include "plotter/drawing_state.h"
#include "plotter/main_form.h"

TFtpClient* CurrentFtpClient = nullptr;

namespace {

bool gUploadRunning = false;

// Restores the cursor and frees the running flag however the click ends.
class UploadScope {
public:
    UploadScope() { gUploadRunning = true; }
    ~UploadScope() {
        gUploadRunning = false;
        Screen->SetCursor(crDefault);
    }
    UploadScope(const UploadScope&) = delete;
    UploadScope& operator=(const UploadScope&) = delete;
};

}  // namespace

bool FtpUploadRunning() { return gUploadRunning; }

void CreateFtpClient() {
    CurrentFtpClient = new TFtpClient();
}

void FreeFtpClient() {
    delete CurrentFtpClient;
    CurrentFtpClient = nullptr;
}

void ConnectFtp(const std::string& Host, const std::string& User, const std::string& Password,
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
        client.Connect();
    } catch (...) {
    }
}

void PutFtpFile(const std::string& LocalFile, const std::string& RemotePath) {
    TFtpClient& client = *CurrentFtpClient;
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
    client.Put();
}

void QuitFtp() {
    CurrentFtpClient->Quit();
}

void SendFileByFtp(const std::string& LocalFile, const std::string& RemotePath, const std::string& Host,
                   const std::string& User, const std::string& Password, const std::string& Port) {
    CreateFtpClient();
    // The client is freed whatever happens; the blocking calls never raise.
    std::unique_ptr<TFtpClient, void (*)(TFtpClient*)> owner(CurrentFtpClient, [](TFtpClient*) { FreeFtpClient(); });
    ConnectFtp(Host, User, Password, Port);
    PutFtpFile(LocalFile, RemotePath);
    QuitFtp();
}

std::string RemoteUploadPath(const std::string& Folder, const std::string& FileName) {
    std::string path = Folder;
    if (!path.empty() && path.back() != '/') path += '/';
    return path + FileName;
}

std::string PreviewFileName() {
    return AddTrailingBackslash(StartDirectory.string()) + "quimbel_prv.jpg";
}

void SendDrawingByFtp(TForm4* Dialog, TObject*) {
    // The blocking calls let other handlers run: a second click meanwhile must not
    // replace the client still in use.
    if (gUploadRunning) return;
    Form1->Copierdanslepresspapier1Click(Dialog);
    if (!ClipboardService().HasImage()) return;
    UploadScope scope;
    Screen->SetCursor(crHourGlass);
    {
        TBitmap bitmap;
        if (!ClipboardService().GetImage(bitmap)) return;
        // A failed write raises to the application's report; nothing is sent then.
        SaveJpegFile(bitmap, PreviewFileName());
    }
    SendFileByFtp(PreviewFileName(), RemoteUploadPath(Dialog->Edit5->Text(), Dialog->Edit6->Text()),
                  Dialog->Edit1->Text(), Dialog->edit3->Text(), Dialog->edit4->Text(), Dialog->Edit2->Text());
    Screen->SetCursor(crDefault);
    Dialog->Hide();
}
