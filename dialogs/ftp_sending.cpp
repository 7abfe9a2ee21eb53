#include "dialogs/ftp_sending.h"

#include <memory>

#include "engine/text_helpers.h"
#include "ftp/ftp_blocking_client.h"
#include "plotter/drawing_state.h"

TFtpClient* CurrentFtpClient = nullptr;

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
