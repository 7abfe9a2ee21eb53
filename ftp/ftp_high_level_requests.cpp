// The high-level requests: one call runs a fixed series of steps (connect, log in,
// change folder, set the type, open the data connection, transfer, quit). The request is
// the set of steps still to run; HighLevelAsync (ftp_request_machine.cpp) runs after each
// step that ended with 0 and picks the next one in one fixed order.
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
    EnterStep(stepNone);
    HighLevelResult = 0;
    HighLevelActive = true;
    LastResponse.clear();
    ErrorMessage.clear();
    ContinueSteps = false;
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

// ---------------------------------------------------------------------------
// The starters

void TCustomFtpCli::StartConnect() { HighLevelStart(rqConnect, {stepOpen, stepUser, stepPass, stepAcct, stepAuth}); }
void TCustomFtpCli::StartGet() { HighLevelStart(rqGet, {stepPort, stepGet}); }
void TCustomFtpCli::StartFullGet() {
    HighLevelStart(rqFullGet, {stepOpen, stepUser, stepPass, stepAcct, stepAuth, stepCwd, stepTypeSet, stepPort,
                               stepGet, stepQuit});
}

void TCustomFtpCli::StartPut() {
    if (DataSocket) DataSocket->LastError = 0;
    HighLevelStart(rqPut, {stepPort, stepPut});
    if (DataSocket && DataSocket->LastError != 0)
        throw FtpException("Socket Error - " + FormatSocketError(DataSocket->LastError));
}

void TCustomFtpCli::StartFullPut() {
    HighLevelStart(rqFullPut, {stepOpen, stepUser, stepPass, stepAcct, stepAuth, stepCwd, stepTypeSet, stepPort,
                               stepPut, stepQuit});
}
void TCustomFtpCli::StartAppend() { HighLevelStart(rqAppend, {stepPort, stepAppend}); }
void TCustomFtpCli::StartFullAppend() {
    HighLevelStart(rqFullAppend, {stepOpen, stepUser, stepPass, stepAcct, stepAuth, stepCwd, stepTypeSet, stepPort,
                                  stepAppend, stepQuit});
}
void TCustomFtpCli::StartList() { HighLevelStart(rqList, {stepPort, stepDir}); }
void TCustomFtpCli::StartNameList() { HighLevelStart(rqNameList, {stepPort, stepLs}); }
void TCustomFtpCli::StartFullList() {
    HighLevelStart(rqFullList, {stepOpen, stepUser, stepPass, stepAcct, stepAuth, stepCwd, stepPort, stepDir,
                                stepQuit});
}
void TCustomFtpCli::StartFullNameList() {
    HighLevelStart(rqFullNameList, {stepOpen, stepUser, stepPass, stepAcct, stepAuth, stepCwd, stepPort, stepLs,
                                    stepQuit});
}
void TCustomFtpCli::StartFullSystem() {
    HighLevelStart(rqFullSystem, {stepOpen, stepUser, stepPass, stepAcct, stepAuth, stepSyst, stepQuit});
}
void TCustomFtpCli::StartFullSize() {
    HighLevelStart(rqFullSize, {stepOpen, stepUser, stepPass, stepAcct, stepAuth, stepCwd, stepSize, stepQuit});
}
void TCustomFtpCli::StartFullMakeDir() {
    HighLevelStart(rqFullMakeDir, {stepOpen, stepUser, stepPass, stepAcct, stepAuth, stepCwd, stepMkd, stepQuit});
}
void TCustomFtpCli::StartFullRemoveDir() {
    HighLevelStart(rqFullRemoveDir, {stepOpen, stepUser, stepPass, stepAcct, stepAuth, stepCwd, stepRmd, stepQuit});
}
void TCustomFtpCli::StartFullDelete() {
    HighLevelStart(rqFullDelete, {stepOpen, stepUser, stepPass, stepAcct, stepAuth, stepCwd, stepDele, stepQuit});
}
void TCustomFtpCli::StartRename() { HighLevelStart(rqRename, {stepRenFrom, stepRenTo}); }
void TCustomFtpCli::StartFullRename() {
    HighLevelStart(rqFullRename, {stepOpen, stepUser, stepPass, stepAcct, stepAuth, stepCwd, stepRenFrom, stepRenTo,
                                  stepQuit});
}
void TCustomFtpCli::StartFullQuote() {
    HighLevelStart(rqFullQuote, {stepOpen, stepUser, stepPass, stepAcct, stepAuth, stepCwd, stepQuote, stepQuit});
}
void TCustomFtpCli::StartResumeGet() { HighLevelStart(rqResumeGet, {stepPort, stepRest, stepGet}); }
void TCustomFtpCli::StartFullResumeGet() {
    HighLevelStart(rqFullResumeGet, {stepOpen, stepUser, stepPass, stepAcct, stepAuth, stepCwd, stepTypeSet, stepPort,
                                     stepRest, stepGet, stepQuit});
}
void TCustomFtpCli::StartResumePut() { HighLevelStart(rqResumePut, {stepPort, stepRest, stepPut}); }
void TCustomFtpCli::StartFullResumePut() {
    HighLevelStart(rqFullResumePut, {stepOpen, stepUser, stepPass, stepAcct, stepAuth, stepCwd, stepTypeSet, stepPort,
                                     stepRest, stepPut, stepQuit});
}
void TCustomFtpCli::StartMachineList() { HighLevelStart(rqMachineList, {stepPort, stepMlsd}); }
void TCustomFtpCli::StartOpenQuit() { HighLevelStart(rqOpenQuit, {stepOpen, stepQuit, stepAuth}); }
