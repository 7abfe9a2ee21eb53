#pragma once
// The upload of the current drawing: one blocking FTP session (connect, binary type, put,
// quit) and what became of it. The dialog's "Envoyer" (ftp_form.h) runs it.
#include <string>

class TFtpClient;

// The client of the upload in progress; null between uploads.
extern TFtpClient* CurrentFtpClient;

void CreateFtpClient();
void FreeFtpClient();
// Each true when its request ended without error.
bool ConnectFtp(const std::string& Host, const std::string& User, const std::string& Password,
                const std::string& Port);
bool PutFtpFile(const std::string& LocalFile, const std::string& RemotePath);
void QuitFtp();

// What became of one upload: Done only when the store succeeded and the server's last
// reply to it was 226 or 250; otherwise Error holds the client's error (the reply code
// and text, the socket error, or the refusal).
struct TFtpUploadOutcome {
    bool Done = false;
    std::string Error;
};

// Connects, sets the binary type, stores LocalFile as RemotePath and quits, then frees
// the client. After a failed connection nothing is stored, but the session is still
// ended. Never raises for an FTP failure.
TFtpUploadOutcome SendFileByFtp(const std::string& LocalFile, const std::string& RemotePath,
                                const std::string& Host, const std::string& User, const std::string& Password,
                                const std::string& Port);

// The remote path of the upload: the folder (with a "/" added when it has none at its
// end) followed by the file name.
std::string RemoteUploadPath(const std::string& Folder, const std::string& FileName);
// The preview file written before each upload, in the start directory.
std::string PreviewFileName();
