#pragma once
// The FTP sending dialog, Form4: the server, the account and the name under which the
// current drawing is sent. The texts of Edit1, Edit2, edit3, edit4 and Edit5 are
// persistent settings; Edit6 is refilled with a date-stamped name at each activation.
#include <ctime>
#include <functional>
#include <string>

#include "platform/ui/components.h"

class TForm4 : public TForm {
public:
    explicit TForm4(TApplication& app);

    TLabel* Label1;  // "Hote Ftp"
    TMaskEdit* Edit1;  // FTP host name or address
    TLabel* Label2;  // "Port"
    TEdit* Edit2;  // port, number or service name
    TLabel* Label3;  // "Login"
    TMaskEdit* edit3;  // user name (shown as "*")
    TLabel* Label4;  // "Passe"
    TMaskEdit* edit4;  // password (shown as "*")
    TLabel* Label5;  // "Chemin"
    TEdit* Edit5;  // remote folder
    TPanel* Panel1;  // separator line
    TLabel* Label6;  // "Nom pour l'envoi de l'image actuelle :"
    TEdit* Edit6;  // remote file name
    TButton* Button1;  // "Envoyer"

    void FormActivate(TObject* Sender);
    void FormKeyPress(TObject* Sender, char& Key);
    void Button1Click(TObject* Sender);

private:
    void CentreOnMainWindow();
};

extern TForm4* Form4;

// The remote file name proposed for a drawing sent at the local time When:
// "Quimbel" yy-mm-dd_hh-mm-ss ".jpg".
std::string DefaultRemoteFileName(const std::tm& When);

// The local time the dialog stamps its proposed name with; tests replace it (an empty
// function restores the system clock).
using TLocalClock = std::function<std::tm()>;
void SetFtpFormClock(TLocalClock Clock);

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
