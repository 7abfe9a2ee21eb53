// The single FTP commands: each starter checks its parameter, names its step, builds the
// command text and starts it with its request number and its expected final codes.
#include "ftp/ftp_client.h"
#include "ftp/ftp_text_helpers.h"
#include "ftp/name_resolution.h"

namespace {

// The oldest time a set-time command may send: below it no real date was set.
constexpr double kFirstRealDate = 10.0;

}  // namespace

void TCustomFtpCli::CmdUser() {
    if (UserName.empty()) {
        ReportError("UserName empty");
        return;
    }
    CurrentStep = stepUser;
    std::string user = UserName;
    if (ConnectionKind == ftpProxy) {
        // Through an FTP proxy the user name also names the real server.
        user += "@" + HostName;
        const std::string port = AsciiLowerCase(Port);
        if (port != "ftp" && port != "21") user += ":" + Port;
    }
    StartCommand(2, "USER " + user, {331, 230});
}

void TCustomFtpCli::CmdPass() {
    if (PassWord.empty()) {
        ReportError("Password empty");
        return;
    }
    CurrentStep = stepPass;
    StartCommand(3, "PASS " + PassWord, {230, 332});
}

void TCustomFtpCli::CmdAcct() {
    if (Account.empty()) {
        ReportError("Account empty!");
        return;
    }
    CurrentStep = stepAcct;
    StartCommand(51, "ACCT " + Account, {230, 202});
}

void TCustomFtpCli::CmdQuit() {
    ReleaseLocalFile();
    CurrentStep = stepQuit;
    StartCommand(15, "QUIT", {221}, &TCustomFtpCli::QuitDone);
}

void TCustomFtpCli::CmdType() {
    CurrentStep = stepTypeSet;
    StartCommand(37, std::string("TYPE ") + TypeLetter, {200});
}

void TCustomFtpCli::CmdTypeBinary() {
    SetBinary(true);
    CmdType();
}

void TCustomFtpCli::CmdTypeAscii() {
    SetBinary(false);
    CmdType();
}

void TCustomFtpCli::CmdPwd() {
    CurrentStep = stepPwd;
    StartCommand(32, "PWD", {250, 257});
}

void TCustomFtpCli::CmdCwd() {
    if (HostDirName.empty()) {
        ReportError("HostDirName empty");
        return;
    }
    CurrentStep = stepCwd;
    StartCommand(4, "CWD " + HostDirName, {200, 250, 257});
}

void TCustomFtpCli::CmdCdup() {
    CurrentStep = stepCdup;
    StartCommand(34, "CDUP", {250, 257});
}

void TCustomFtpCli::CmdSyst() {
    CurrentStep = stepSyst;
    StartCommand(14, "SYST", {215});
}

void TCustomFtpCli::CmdSize() {
    SizeResult = 0;
    CurrentStep = stepSize;
    StartCommand(17, "SIZE " + HostFileName, {213});
}

void TCustomFtpCli::CmdMkd() {
    CurrentStep = stepMkd;
    StartCommand(22, "MKD " + HostFileName, {200, 250, 257});
}

void TCustomFtpCli::CmdRmd() {
    CurrentStep = stepRmd;
    StartCommand(23, "RMD " + HostFileName, {200, 250, 257});
}

void TCustomFtpCli::CmdDele() {
    CurrentStep = stepDele;
    StartCommand(25, "DELE " + HostFileName, {200, 250, 257});
}

void TCustomFtpCli::CmdRnfr() {
    CurrentStep = stepRenFrom;
    StartCommand(28, "RNFR " + HostFileName, {350});
}

void TCustomFtpCli::CmdRnto() {
    CurrentStep = stepRenTo;
    StartCommand(27, "RNTO " + LocalFileName(), {200, 250, 257});
}

void TCustomFtpCli::CmdQuote() {
    CurrentStep = stepQuote;
    StartCommand(33, LocalFileName(), {});
}

void TCustomFtpCli::CmdAbor() {
    CurrentStep = stepAbor;
    StartCommand(16, "ABOR", {});
}

void TCustomFtpCli::CmdRest() {
    CurrentStep = stepRest;
    // A download resumes after what the local file already holds, unless the request is
    // a resuming upload (its position is set by the caller) or the option forbids it.
    if (RequestType != 41 && RequestType != 42 && !Options.Contains(ftpNoAutoResumeAt))
        ResumeAt = GetFileSize(LocalFileName());
    if (ResumeAt <= 0) {
        // Nothing to skip: the step ends at once without a command.
        RequestDoneFlag = false;
        ReplyHandler = &TCustomFtpCli::FinishCommand;
        CommandDoneHandler = nullptr;
        FinishRequest(0);
        return;
    }
    StartCommand(38, "REST " + IntToStr(ResumeAt), {});
}

void TCustomFtpCli::CmdMlst() {
    MlstResultText.clear();
    CurrentStep = stepMlst;
    StartCommand(45, "MLST " + HostFileName, {250});
}

void TCustomFtpCli::CmdFeat() {
    CurrentStep = stepFeat;
    StartCommand(44, "FEAT", {211});
}

void TCustomFtpCli::CmdMdtm() {
    CurrentStep = stepMdtm;
    StartCommand(46, "MDTM " + HostFileName, {213});
}

void TCustomFtpCli::CmdMdtmSet() {
    if (FileTimeResult < kFirstRealDate) {
        ReportError("Modification date empty");
        return;
    }
    CurrentStep = stepMdtmSet;
    StartCommand(47, "MDTM " + FormatFtpTimestamp(FileTimeResult) + "+0 " + HostFileName, {213, 253});
}

void TCustomFtpCli::CmdAuth() {
    throw FtpException("AUTH SSL/TLS requires SSL-enabled version");
}

void TCustomFtpCli::CmdProt() {
    throw FtpException("PROT require SSL-enabled version");
}

void TCustomFtpCli::CmdPbsz() {
    throw FtpException("PBSZ require SSL-enabled version");
}

void TCustomFtpCli::CmdCcc() {
    throw FtpException("CCC require SSL-enabled version");
}

void TCustomFtpCli::CmdMfmt() {
    if (FileTimeResult < kFirstRealDate) {
        ReportError("Modification date empty");
        return;
    }
    CurrentStep = stepMfmt;
    StartCommand(49, "MFMT " + FormatFtpTimestamp(FileTimeResult) + " " + HostFileName, {213});
}

void TCustomFtpCli::CmdMd5() {
    CurrentStep = stepMd5;
    StartCommand(50, "MD5 " + HostFileName, {251});
}

void TCustomFtpCli::CmdMode() {
    CurrentStep = stepModeZ;
    StartCommand(54, ModeZRequested ? "MODE Z" : "MODE S", {200});
}

void TCustomFtpCli::CmdOpts() {
    CurrentStep = stepOpts;
    StartCommand(55, "OPTS " + OptsText, {200});
}

void TCustomFtpCli::CmdXcrc() {
    CurrentStep = stepXcrc;
    StartCommand(57, "XCRC " + HostFileName, {250});
}
