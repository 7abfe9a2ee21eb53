#pragma once
// The upload of the current drawing: the dialog's "Envoyer" and the module that runs one
// blocking FTP session (connect, binary type, put, quit) for it. A failed upload is told
// to the user with the client's error and leaves the dialog open; only an upload the
// server confirmed closes it.
#include <string>

class TFtpClient;
class TForm4;
class TObject;

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

// The caption of the first of the fields that go into FTP commands (login, password,
// folder, file name) holding a CR, LF or NUL; empty when none does.
std::string FieldWithLineBreak(const TForm4& Dialog);

// "Envoyer": refuses a field holding a line break, copies the drawing to the clipboard
// through the main window, writes the clipboard's bitmap as the preview file and sends
// it; "Envoyer" is disabled meanwhile. A failure shows one message and keeps the dialog;
// success hides it. Returns at once, doing nothing, when the clipboard holds no bitmap
// or an upload is already running.
void SendDrawingByFtp(TForm4* Dialog, TObject* Sender);

// Whether an upload is running (a second "Envoyer" meanwhile is ignored).
bool FtpUploadRunning();
