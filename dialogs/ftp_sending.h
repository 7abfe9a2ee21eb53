#pragma once
// The upload of the current drawing: the dialog's "Envoyer" and the module that runs one
// blocking FTP session (connect, binary type, put, quit) for it. No result reaches the
// user: every FTP failure is silent.
#include <string>

class TFtpClient;
class TForm4;
class TObject;

// The client of the upload in progress; null between uploads.
extern TFtpClient* CurrentFtpClient;

void CreateFtpClient();
void FreeFtpClient();
void ConnectFtp(const std::string& Host, const std::string& User, const std::string& Password,
                const std::string& Port);
void PutFtpFile(const std::string& LocalFile, const std::string& RemotePath);
void QuitFtp();
// Connects, sets the binary type, stores LocalFile as RemotePath and quits, each step
// whatever the previous one gave, then frees the client. Never raises for an FTP failure.
void SendFileByFtp(const std::string& LocalFile, const std::string& RemotePath, const std::string& Host,
                   const std::string& User, const std::string& Password, const std::string& Port);

// The remote path of the upload: the folder (with a "/" added when it has none at its
// end) followed by the file name.
std::string RemoteUploadPath(const std::string& Folder, const std::string& FileName);
// The preview file written before each upload, in the start directory.
std::string PreviewFileName();

// "Envoyer": copies the drawing to the clipboard through the main window, writes the
// clipboard's bitmap as the preview file and sends it. Returns at once, doing nothing,
// when the clipboard holds no bitmap or an upload is already running.
void SendDrawingByFtp(TForm4* Dialog, TObject* Sender);

// Whether an upload is running (a second "Envoyer" meanwhile is ignored).
bool FtpUploadRunning();
