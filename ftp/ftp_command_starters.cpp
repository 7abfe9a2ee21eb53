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
    EnterStep(stepUser);
    std::string user = UserName;
    if (ConnectionKind == ftpProxy) {
        // Through an FTP proxy the user name also names the real server.
        user += "@" + HostName;
        const std::string port = AsciiLowerCase(Port);
        if (port != "ftp" && port != "21") user += ":" + Port;
    }
    StartCommand(rqUser, "USER " + user, {331, 230});
}

void TCustomFtpCli::CmdPass() {
    if (PassWord.empty()) {
        ReportError("Password empty");
        return;
    }
    EnterStep(stepPass);
    StartCommand(rqPass, "PASS " + PassWord, {230, 332});
}

void TCustomFtpCli::CmdAcct() {
    if (Account.empty()) {
        ReportError("Account empty!");
        return;
    }
    EnterStep(stepAcct);
    StartCommand(rqAcct, "ACCT " + Account, {230, 202});
}

void TCustomFtpCli::CmdQuit() {
    ReleaseLocalFile();
    EnterStep(stepQuit);
    StartCommand(rqQuit, "QUIT", {221}, rsQuitReply);
}

void TCustomFtpCli::CmdType() {
    EnterStep(stepTypeSet);
    StartCommand(rqType, std::string("TYPE ") + TypeLetter, {200});
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
    EnterStep(stepPwd);
    StartCommand(rqPwd, "PWD", {250, 257});
}

void TCustomFtpCli::CmdCwd() {
    if (HostDirName.empty()) {
        ReportError("HostDirName empty");
        return;
    }
    EnterStep(stepCwd);
    StartCommand(rqCwd, "CWD " + HostDirName, {200, 250, 257});
}

void TCustomFtpCli::CmdCdup() {
    EnterStep(stepCdup);
    StartCommand(rqCdup, "CDUP", {250, 257});
}

void TCustomFtpCli::CmdSyst() {
    EnterStep(stepSyst);
    StartCommand(rqSyst, "SYST", {215});
}

void TCustomFtpCli::CmdSize() {
    SizeResult = 0;
    EnterStep(stepSize);
    StartCommand(rqSize, "SIZE " + HostFileName, {213});
}

void TCustomFtpCli::CmdMkd() {
    EnterStep(stepMkd);
    StartCommand(rqMkd, "MKD " + HostFileName, {200, 250, 257});
}

void TCustomFtpCli::CmdRmd() {
    EnterStep(stepRmd);
    StartCommand(rqRmd, "RMD " + HostFileName, {200, 250, 257});
}

void TCustomFtpCli::CmdDele() {
    EnterStep(stepDele);
    StartCommand(rqDele, "DELE " + HostFileName, {200, 250, 257});
}

void TCustomFtpCli::CmdRnfr() {
    EnterStep(stepRenFrom);
    StartCommand(rqRnfr, "RNFR " + HostFileName, {350});
}

void TCustomFtpCli::CmdRnto() {
    EnterStep(stepRenTo);
    StartCommand(rqRnto, "RNTO " + LocalFileName(), {200, 250, 257});
}

void TCustomFtpCli::CmdQuote() {
    EnterStep(stepQuote);
    StartCommand(rqQuote, LocalFileName(), {});
}

void TCustomFtpCli::CmdAbor() {
    EnterStep(stepAbor);
    StartCommand(rqAbor, "ABOR", {});
}

void TCustomFtpCli::CmdRest() {
    EnterStep(stepRest);
    // A download resumes after what the local file already holds, unless the request is
    // a resuming upload (its position is set by the caller) or the option forbids it.
    if (RequestType != rqResumePut && RequestType != rqFullResumePut && !Options.Contains(ftpNoAutoResumeAt))
        ResumeAt = GetFileSize(LocalFileName());
    if (ResumeAt <= 0) {
        // Nothing to skip: the step ends at once without a command.
        RequestDoneFlag = false;
        FinishRequest(0);
        return;
    }
    StartCommand(rqRest, "REST " + IntToStr(ResumeAt), {});
}

void TCustomFtpCli::CmdMlst() {
    MlstResultText.clear();
    EnterStep(stepMlst);
    StartCommand(rqMlst, "MLST " + HostFileName, {250});
}

void TCustomFtpCli::CmdFeat() {
    EnterStep(stepFeat);
    StartCommand(rqFeat, "FEAT", {211});
}

void TCustomFtpCli::CmdMdtm() {
    EnterStep(stepMdtm);
    StartCommand(rqMdtm, "MDTM " + HostFileName, {213});
}

void TCustomFtpCli::CmdMdtmSet() {
    if (FileTimeResult < kFirstRealDate) {
        ReportError("Modification date empty");
        return;
    }
    EnterStep(stepMdtmSet);
    StartCommand(rqMdtmSet, "MDTM " + FormatFtpTimestamp(FileTimeResult) + "+0 " + HostFileName, {213, 253});
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
    EnterStep(stepMfmt);
    StartCommand(rqMfmt, "MFMT " + FormatFtpTimestamp(FileTimeResult) + " " + HostFileName, {213});
}

void TCustomFtpCli::CmdMd5() {
    EnterStep(stepMd5);
    StartCommand(rqMd5, "MD5 " + HostFileName, {251});
}

void TCustomFtpCli::CmdMode() {
    EnterStep(stepModeZ);
    StartCommand(rqMode, ModeZRequested ? "MODE Z" : "MODE S", {200});
}

void TCustomFtpCli::CmdOpts() {
    EnterStep(stepOpts);
    StartCommand(rqOpts, "OPTS " + OptsText, {200});
}

void TCustomFtpCli::CmdXcrc() {
    EnterStep(stepXcrc);
    StartCommand(rqXcrc, "XCRC " + HostFileName, {250});
}
