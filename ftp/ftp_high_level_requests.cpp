// The high-level requests: one call runs a fixed series of steps (connect, log in,
// change folder, set the type, open the data connection, transfer, quit). The request is
// the set of steps still to run; HighLevelAsync runs after each step that ended with 0
// and picks the next one in one fixed order.
#include "ftp/ftp_client.h"
#include "ftp/socket_errors.h"

void TCustomFtpCli::HighLevelStart(TFtpRequest RqType, std::initializer_list<TFtpStep> Steps) {
    TFtpStepSet steps;
    for (TFtpStep step : Steps) steps.Include(step);
    if (ConnectedFlag && steps.Contains(stepOpen)) {
        ReportError("FTP component already connected");
        return;
    }
    if (!RequireReady()) return;
    SavedResponse = LastResponse;
    SavedCode = -1;
    RequestType = RqType;
    RequestResult = 0;
    StepSet = steps;
    CurrentStep = stepNone;
    HighLevelResult = 0;
    HighLevelActive = true;
    LastResponse.clear();
    ErrorMessage.clear();
    StepContinuation = nullptr;
    // An argument that would end its command line early and start another ends the
    // request before anything is written to the control connection.
    const std::string unsafe = VerbWithUnsafeArgument(steps);
    if (!unsafe.empty()) {
        RequestDoneFlag = false;
        RefuseUnsafeCommand(unsafe);
        return;
    }
    HighLevelAsync();
}

void TCustomFtpCli::HighLevelAsync() {
    if (IsLogged(loProtSpecDump)) LogDebugText(loProtSpecDump, "! HighLevelAsync " + IntToStr(RequestResult));
    if (ClientState == fcsAbort) {
        if (IsLogged(loProtSpecInfo)) LogDebugText(loProtSpecInfo, "! Abort detected");
        StepSet = TFtpStepSet();
        HighLevelResult = 426;
        ErrorMessage = "426 Operation aborted.";
    }
    StepContinuation = &TCustomFtpCli::HighLevelAsync;
    ParseReplyValues();

    const TFtpStep previous = CurrentStep;
    const std::int32_t previousCode = StatusCode;
    // Removes Step from the set and makes it the current one; false when it was not there.
    auto take = [this](TFtpStep Step) {
        if (!StepSet.Contains(Step)) return false;
        StepSet.Exclude(Step);
        CurrentStep = Step;
        return true;
    };
    // Runs one step's starter. A starter that refuses (an empty parameter, not connected)
    // clears the continuation through ReportError: the request then ends there, and is
    // no longer marked as running.
    auto run = [this](void (TCustomFtpCli::*Starter)()) {
        (this->*Starter)();
        if (!StepContinuation) HighLevelActive = false;
    };

    if (take(stepOpen)) return run(&TCustomFtpCli::StartOpen);
    // stepAuth, stepPbsz, stepProt and stepCcc need a secure layer, which this build has
    // not: the secure type is never 1 or 2, so their bits are left alone and ignored.
    if (take(stepUser)) return run(&TCustomFtpCli::CmdUser);
    if (StepSet.Contains(stepPass)) {
        StepSet.Exclude(stepPass);
        // A server that accepts the user with 230 gets no PASS.
        if (!(previous == stepUser && previousCode != 331)) {
            CurrentStep = stepPass;
            return run(&TCustomFtpCli::CmdPass);
        }
    }
    if (StepSet.Contains(stepAcct)) {
        StepSet.Exclude(stepAcct);
        // ACCT only when the server asked for it by answering PASS with 332; a login
        // accepted with 230 needs none.
        if (previous == stepPass && previousCode == 332) {
            CurrentStep = stepAcct;
            return run(&TCustomFtpCli::CmdAcct);
        }
    }
    if (StepSet.Contains(stepCwd)) {
        StepSet.Exclude(stepCwd);
        if (!HostDirName.empty()) {
            CurrentStep = stepCwd;
            return run(&TCustomFtpCli::CmdCwd);
        }
    }
    if (take(stepCdup)) return run(&TCustomFtpCli::CmdCdup);
    if (take(stepTypeSet)) return run(&TCustomFtpCli::CmdType);
    if (take(stepPort)) return run(&TCustomFtpCli::StartPortCommand);
    if (take(stepRest)) return run(&TCustomFtpCli::CmdRest);
    if (StepSet.Contains(stepGet)) {
        if (!(previous == stepRest && ResumeAt >= 0 && previousCode == 350)) ResumeAt = 0;
        take(stepGet);
        return run(&TCustomFtpCli::CmdRetr);
    }
    if (take(stepPut)) return run(&TCustomFtpCli::CmdStor);
    if (take(stepAppend)) return run(&TCustomFtpCli::CmdAppe);
    if (take(stepDir)) return run(&TCustomFtpCli::CmdList);
    if (take(stepLs)) return run(&TCustomFtpCli::CmdNlst);
    if (take(stepSyst)) return run(&TCustomFtpCli::CmdSyst);
    if (take(stepMkd)) return run(&TCustomFtpCli::CmdMkd);
    if (take(stepRmd)) return run(&TCustomFtpCli::CmdRmd);
    if (take(stepRenFrom)) return run(&TCustomFtpCli::CmdRnfr);
    if (take(stepRenTo)) return run(&TCustomFtpCli::CmdRnto);
    if (take(stepSize)) return run(&TCustomFtpCli::CmdSize);
    if (take(stepDele)) return run(&TCustomFtpCli::CmdDele);
    if (take(stepPwd)) return run(&TCustomFtpCli::CmdPwd);
    if (take(stepAbor)) return run(&TCustomFtpCli::CmdAbor);
    if (take(stepQuote)) return run(&TCustomFtpCli::CmdQuote);
    if (StepSet.Contains(stepQuit)) {
        // The reply of the step before QUIT becomes the request's final reply.
        SavedResponse = LastResponse;
        SavedCode = StatusCode;
        take(stepQuit);
        return run(&TCustomFtpCli::CmdQuit);
    }
    if (take(stepMlsd)) return run(&TCustomFtpCli::CmdMlsd);
    if (take(stepModeZ)) return run(&TCustomFtpCli::CmdMode);
    if (take(stepOpts)) return run(&TCustomFtpCli::CmdOpts);

    if (IsLogged(loProtSpecDump)) LogDebugText(loProtSpecDump, "! HighLevelAsync done");
    StepSet = TFtpStepSet();
    StepContinuation = nullptr;
    RequestDoneFlag = false;
    FinishRequest(static_cast<std::uint16_t>(HighLevelResult));
}

// ---------------------------------------------------------------------------
// The starters

void TCustomFtpCli::StartConnect() { HighLevelStart(5, {stepOpen, stepUser, stepPass, stepAcct, stepAuth}); }
void TCustomFtpCli::StartGet() { HighLevelStart(10, {stepPort, stepGet}); }
void TCustomFtpCli::StartFullGet() {
    HighLevelStart(6, {stepOpen, stepUser, stepPass, stepAcct, stepAuth, stepCwd, stepTypeSet, stepPort, stepGet,
                       stepQuit});
}

void TCustomFtpCli::StartPut() {
    if (DataSocket) DataSocket->LastError = 0;
    HighLevelStart(18, {stepPort, stepPut});
    if (DataSocket && DataSocket->LastError != 0)
        throw FtpException("Socket Error - " + FormatSocketError(DataSocket->LastError));
}

void TCustomFtpCli::StartFullPut() {
    HighLevelStart(36, {stepOpen, stepUser, stepPass, stepAcct, stepAuth, stepCwd, stepTypeSet, stepPort, stepPut,
                        stepQuit});
}
void TCustomFtpCli::StartAppend() { HighLevelStart(19, {stepPort, stepAppend}); }
void TCustomFtpCli::StartFullAppend() {
    HighLevelStart(36, {stepOpen, stepUser, stepPass, stepAcct, stepAuth, stepCwd, stepTypeSet, stepPort,
                        stepAppend, stepQuit});
}
void TCustomFtpCli::StartList() { HighLevelStart(7, {stepPort, stepDir}); }
void TCustomFtpCli::StartNameList() { HighLevelStart(8, {stepPort, stepLs}); }
void TCustomFtpCli::StartFullList() {
    HighLevelStart(11, {stepOpen, stepUser, stepPass, stepAcct, stepAuth, stepCwd, stepPort, stepDir, stepQuit});
}
void TCustomFtpCli::StartFullNameList() {
    HighLevelStart(12, {stepOpen, stepUser, stepPass, stepAcct, stepAuth, stepCwd, stepPort, stepLs, stepQuit});
}
void TCustomFtpCli::StartFullSystem() {
    HighLevelStart(13, {stepOpen, stepUser, stepPass, stepAcct, stepAuth, stepSyst, stepQuit});
}
void TCustomFtpCli::StartFullSize() {
    HighLevelStart(17, {stepOpen, stepUser, stepPass, stepAcct, stepAuth, stepCwd, stepSize, stepQuit});
}
void TCustomFtpCli::StartFullMakeDir() {
    HighLevelStart(30, {stepOpen, stepUser, stepPass, stepAcct, stepAuth, stepCwd, stepMkd, stepQuit});
}
void TCustomFtpCli::StartFullRemoveDir() {
    HighLevelStart(31, {stepOpen, stepUser, stepPass, stepAcct, stepAuth, stepCwd, stepRmd, stepQuit});
}
void TCustomFtpCli::StartFullDelete() {
    HighLevelStart(29, {stepOpen, stepUser, stepPass, stepAcct, stepAuth, stepCwd, stepDele, stepQuit});
}
void TCustomFtpCli::StartRename() { HighLevelStart(26, {stepRenFrom, stepRenTo}); }
void TCustomFtpCli::StartFullRename() {
    HighLevelStart(24, {stepOpen, stepUser, stepPass, stepAcct, stepAuth, stepCwd, stepRenFrom, stepRenTo, stepQuit});
}
void TCustomFtpCli::StartFullQuote() {
    HighLevelStart(35, {stepOpen, stepUser, stepPass, stepAcct, stepAuth, stepCwd, stepQuote, stepQuit});
}
void TCustomFtpCli::StartResumeGet() { HighLevelStart(39, {stepPort, stepRest, stepGet}); }
void TCustomFtpCli::StartFullResumeGet() {
    HighLevelStart(40, {stepOpen, stepUser, stepPass, stepAcct, stepAuth, stepCwd, stepTypeSet, stepPort, stepRest,
                        stepGet, stepQuit});
}
void TCustomFtpCli::StartResumePut() { HighLevelStart(41, {stepPort, stepRest, stepPut}); }
void TCustomFtpCli::StartFullResumePut() {
    HighLevelStart(42, {stepOpen, stepUser, stepPass, stepAcct, stepAuth, stepCwd, stepTypeSet, stepPort, stepRest,
                        stepPut, stepQuit});
}
void TCustomFtpCli::StartMachineList() { HighLevelStart(43, {stepPort, stepMlsd}); }
void TCustomFtpCli::StartOpenQuit() { HighLevelStart(48, {stepOpen, stepQuit, stepAuth}); }
