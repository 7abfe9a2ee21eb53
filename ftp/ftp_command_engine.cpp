// Opening the control connection and the one-command machinery every request uses:
// arming a command, writing it on the control connection, judging its final reply
// against the expected codes and reading the values a reply carries.
#include "ftp/ftp_client.h"
#include "ftp/ftp_text_helpers.h"

void TCustomFtpCli::StartOpen() {
    if (!RequireReady()) return;
    if (ConnectedFlag) {
        ReportError("FTP component already connected");
        return;
    }
    if (!HighLevelActive) RequestType = rqOpen;
    RequestDoneFlag = false;
    ReplyBufferCount = 0;
    ReplyBuffer[0] = 0;
    MultiLineCode = -1;
    SkipToLineEnd = false;
    RequestResult = 0;
    ResolvedAddress.clear();
    MlstFactsText.clear();
    FeatureFlags = 0;
    ChangeState(fcsDnsLookup);
    if (!ControlSocket) return;
    // The connection and the greeting follow from ControlLookupDone. A lookup that cannot
    // even start (an empty host name, no window) ends the request at once, as a failed
    // connect does, so the client never stays stuck in the lookup state.
    try {
        if (ConnectionKind == ftpProxy)
            ControlSocket->DnsLookup(ProxyServer);
        else if (ConnectionKind <= ftpSocks5)
            ControlSocket->DnsLookup(HostName);
    } catch (const std::exception& E) {
        FailRequestWith(E);
    }
}

void TCustomFtpCli::StartCommand(TFtpRequest RqType, const std::string& Cmd,
                                 std::initializer_list<std::uint16_t> Codes, TFtpRequestState Awaiting) {
    // ABOR, STAT and QUIT go out whatever the state: they are how a stuck or closed
    // session is ended.
    if (Cmd != "ABOR" && Cmd != "STAT" && Cmd != "QUIT") {
        if (!RequireReady()) return;
        if (!ConnectedFlag) {
            ReportError("FTP component not connected");
            return;
        }
    }
    if (!HighLevelActive) RequestType = RqType;
    std::size_t count = 0;
    for (std::uint16_t code : Codes) {
        if (count == ExpectedCodes.size() - 1) break;
        ExpectedCodes[count++] = code;
    }
    ExpectedCodes[count] = 0;
    AllReplies.clear();
    RequestDoneFlag = false;
    SetRequestState(Awaiting);
    ErrorMessage.clear();
    ChangeState(fcsWaitingReply);
    SendCommand(Cmd);
}

void TCustomFtpCli::SendCommand(const std::string& Cmd) {
    std::string command = Cmd;
    if (OnCommand) OnCommand(this, command);
    // A CR, LF or NUL inside a command would let its argument (a password, a path) end
    // the line and start a command of its own: such a command never goes out.
    if (HoldsLineBreak(command)) {
        RefuseUnsafeCommand(command.substr(0, command.find_first_of(std::string(" \r\n\0", 4))));
        return;
    }
    TriggerDisplay("> " + command);
    if (ControlSocket && ControlSocket->State() == wsConnected) {
        ReplyAwaited = true;
        ControlSocket->SendStr(command + "\r\n");
        return;
    }
    // No control connection: the command ends at once, QUIT as done, anything else as
    // failed.
    StatusCode = command == "QUIT" ? 200 : 550;
    ContinueSteps = false;
    ConnectedFlag = false;
    RequestResult = StatusCode;
    LastResponse = IntToStr(StatusCode) + " not connected";
    if (StatusCode == 550) {
        KeepFirstError();
        FinishRequest(550);
    } else {
        FinishRequest(0);
    }
}

void TCustomFtpCli::FinishCommand() {
    // The final reply is here: what follows is the client's own doing.
    ReplyAwaited = false;
    ShowLastReply();
    ParseInteger(LastResponse.c_str(), StatusCode);
    if (ExpectedCodes[0] == 0) {
        if (StatusCode < 500) {
            RequestResult = 0;
        } else {
            RequestResult = StatusCode;
            KeepFirstError();
        }
    } else {
        for (std::int32_t expected : ExpectedCodes) {
            if (expected == StatusCode) {
                RequestResult = 0;
                break;
            }
            if (expected == 0) {
                RequestResult = StatusCode;
                KeepFirstError();
                break;
            }
        }
    }
    if (Passive && StatusCode == 227) {
        ChangeState(fcsPassiveReply);
        PasvReply = LastResponse;
    }
    if (CurrentStep() == stepModeZ && StatusCode == 200) ModeZActive = ModeZRequested;
    ParseReplyValues();
    if (RequestState() == rsQuitReply)
        QuitDone();
    else
        FinishRequest(static_cast<std::uint16_t>(RequestResult));
}

void TCustomFtpCli::ParseReplyValues() {
    if (RequestResult != 0) return;
    std::int32_t code = 0;
    const char* afterCode = ParseInteger(LastResponse.c_str(), code);
    const TFtpStep step = CurrentStep();
    if (step == stepSize) ParseInteger(afterCode, SizeResult);
    if (step == stepMdtm) {
        if (code == 213) {
            std::string word;
            ParseWord(afterCode, word);
            FileTimeResult = ParseMdtmTimestamp(word);
        } else {
            FileTimeResult = -1.0;
        }
    }
    if (step == stepCwd || step == stepMkd || step == stepPwd || step == stepCdup)
        ParseQuoted(afterCode, DirResult);
    if (step == stepMd5) {
        DirResult.clear();
        Md5Result.clear();
        if (code == 251) {
            const char* position = ParseQuoted(afterCode, DirResult);
            if (DirResult.empty()) position = ParseWord(position, DirResult);
            ParseWord(position, Md5Result);
        }
    }
    if (step == stepXcrc) {
        CrcResult.clear();
        if (code == 250) {
            const char* position = ParseWord(afterCode, CrcResult);
            if (CrcResult == "XCRC") ParseWord(position, CrcResult);
        }
    }
}

void TCustomFtpCli::QuitDone() {
    // Closing the control connection finishes the request (ControlClosed). A connection
    // that the server has already closed reports nothing more, so the request ends here.
    if (ControlSocket && ControlSocket->State() != wsClosed)
        ControlSocket->Close();
    else
        FinishRequest(static_cast<std::uint16_t>(RequestResult));
}

void TCustomFtpCli::RefuseUnsafeCommand(const std::string& Verb) {
    TriggerDisplay("! " + Verb + " not sent: its argument holds a line break or a NUL");
    LastResponse = "500 Line break or NUL in the argument of " + Verb + "; nothing sent";
    StatusCode = 500;
    ErrorMessage.clear();
    KeepFirstError();
    ReleaseLocalFile();
    StepSet = TFtpStepSet();
    ContinueSteps = false;
    SetRequestState(rsIdle);
    RequestResult = 500;
    FinishRequest(500);
}

std::string TCustomFtpCli::VerbWithUnsafeArgument(const TFtpStepSet& Steps) const {
    struct StepArgument {
        TFtpStep Step;
        const char* Verb;
        const std::string* Argument;
    };
    const StepArgument arguments[] = {
        {stepUser, "USER", &UserName},
        {stepPass, "PASS", &PassWord},
        {stepAcct, "ACCT", &Account},
        {stepCwd, "CWD", &HostDirName},
        {stepSize, "SIZE", &HostFileName},
        {stepMkd, "MKD", &HostFileName},
        {stepRmd, "RMD", &HostFileName},
        {stepRenFrom, "RNFR", &HostFileName},
        {stepRenTo, "RNTO", &FLocalFileName},
        {stepDele, "DELE", &HostFileName},
        {stepQuote, "QUOTE", &FLocalFileName},
        {stepGet, "RETR", &HostFileName},
        {stepPut, "STOR", &HostFileName},
        {stepAppend, "APPE", &HostFileName},
        {stepDir, "LIST", &HostFileName},
        {stepLs, "NLST", &HostFileName},
        {stepMlsd, "MLSD", &HostFileName},
        {stepOpts, "OPTS", &OptsText},
    };
    for (const StepArgument& argument : arguments)
        if (Steps.Contains(argument.Step) && HoldsLineBreak(*argument.Argument)) return argument.Verb;
    return std::string();
}
