// The request machine of the FTP client, in one place.
//
// A request is one step (a single command) or a set of steps (a high-level request). A
// step's starter sets the step (EnterStep) and the request state for the reply it awaits
// (SetRequestState); each final reply line goes to the routine of that state
// (HandleFinalReply); FinishRequest ends the step, back in rsIdle, and either runs the
// next step of a high-level request (HighLevelAsync, in the order of kStepOrder) or ends
// the request with the request-done message.
//
//   state            a final reply line runs       and leads to
//   rsIdle           nothing: a program error
//   rsCommandReply   FinishCommand                 rsIdle
//   rsQuitReply      FinishCommand, QuitDone       rsIdle once the control connection closed
//   rsGetFirstReply  GetFirstReply                 rsGetFinalReply, or rsIdle when refused
//   rsGetFinalReply  GetFinalReply                 rsIdle once the data connection closed too
//   rsPutFirstReply  PutFirstReply                 rsPutFinalReply, or rsIdle when refused
//   rsPutFinalReply  PutFinalReply                 rsIdle once the data connection closed too
//
// The starters set rsCommandReply, rsQuitReply, rsGetFirstReply or rsPutFirstReply from
// any state (ABOR and QUIT go out whatever runs); a final reply state is entered only from
// its first reply state.
#include <iterator>

#include "ftp/ftp_client.h"
#include "ftp/socket_errors.h"
#include "platform/messages/message_queue.h"

namespace {

// The names the log gives the steps and the states.
constexpr const char* kStepNames[] = {
    "stepNone",    "stepOpen",    "stepUser",    "stepPass",    "stepCwd",     "stepSize",    "stepMkd",
    "stepRmd",     "stepRenFrom", "stepRenTo",   "stepGet",     "stepDir",     "stepQuit",    "stepSyst",
    "stepDele",    "stepPwd",     "stepQuote",   "stepPut",     "stepTypeSet", "stepRest",    "stepCdup",
    "stepLs",      "stepAppend",  "stepPort",    "stepAbor",    "stepMlsd",    "stepFeat",    "stepMlst",
    "stepMdtm",    "stepMdtmSet", "stepAuth",    "stepMfmt",    "stepMd5",     "stepAcct",    "stepProt",
    "stepPbsz",    "stepModeZ",   "stepOpts",    "stepCcc",     "stepXcrc",
};
static_assert(std::size(kStepNames) == stepXcrc + 1);
constexpr const char* kStateNames[] = {"rsIdle",          "rsCommandReply",  "rsQuitReply",    "rsGetFirstReply",
                                       "rsGetFinalReply", "rsPutFirstReply", "rsPutFinalReply"};
static_assert(std::size(kStateNames) == rsPutFinalReply + 1);

// Whether the machine moves From -> To: a starter arms a first reply from any state and
// every state may end in rsIdle, but a final reply is awaited only after its go-ahead.
constexpr bool MoveAllowed(TFtpRequestState From, TFtpRequestState To) {
    switch (To) {
    case rsGetFinalReply: return From == rsGetFirstReply;
    case rsPutFinalReply: return From == rsPutFirstReply;
    case rsIdle:
    case rsCommandReply:
    case rsQuitReply:
    case rsGetFirstReply:
    case rsPutFirstReply: return true;
    }
    return false;
}

// A step of a high-level request and the starter that runs it.
struct StepStarter {
    TFtpStep Step;
    void (TCustomFtpCli::*Start)();
};

// The order in which a high-level request runs its steps, whatever order they were given
// in. stepAuth, stepPbsz, stepProt and stepCcc need a secure layer, which this build has
// not: their bits are left in the set and ignored.
const StepStarter kStepOrder[] = {
    {stepOpen, &TCustomFtpCli::StartOpen},   {stepUser, &TCustomFtpCli::CmdUser},
    {stepPass, &TCustomFtpCli::CmdPass},     {stepAcct, &TCustomFtpCli::CmdAcct},
    {stepCwd, &TCustomFtpCli::CmdCwd},       {stepCdup, &TCustomFtpCli::CmdCdup},
    {stepTypeSet, &TCustomFtpCli::CmdType},  {stepPort, &TCustomFtpCli::StartPortCommand},
    {stepRest, &TCustomFtpCli::CmdRest},     {stepGet, &TCustomFtpCli::CmdRetr},
    {stepPut, &TCustomFtpCli::CmdStor},      {stepAppend, &TCustomFtpCli::CmdAppe},
    {stepDir, &TCustomFtpCli::CmdList},      {stepLs, &TCustomFtpCli::CmdNlst},
    {stepSyst, &TCustomFtpCli::CmdSyst},     {stepMkd, &TCustomFtpCli::CmdMkd},
    {stepRmd, &TCustomFtpCli::CmdRmd},       {stepRenFrom, &TCustomFtpCli::CmdRnfr},
    {stepRenTo, &TCustomFtpCli::CmdRnto},    {stepSize, &TCustomFtpCli::CmdSize},
    {stepDele, &TCustomFtpCli::CmdDele},     {stepPwd, &TCustomFtpCli::CmdPwd},
    {stepAbor, &TCustomFtpCli::CmdAbor},     {stepQuote, &TCustomFtpCli::CmdQuote},
    {stepQuit, &TCustomFtpCli::CmdQuit},     {stepMlsd, &TCustomFtpCli::CmdMlsd},
    {stepModeZ, &TCustomFtpCli::CmdMode},    {stepOpts, &TCustomFtpCli::CmdOpts},
};

}  // namespace

const char* FtpStepName(TFtpStep Step) {
    return Step < std::size(kStepNames) ? kStepNames[Step] : "step?";
}

const char* FtpRequestStateName(TFtpRequestState State) {
    return State < std::size(kStateNames) ? kStateNames[State] : "rs?";
}

// ---------------------------------------------------------------------------
// Transitions

void TCustomFtpCli::SetRequestState(TFtpRequestState NewState) {
    const TFtpRequestState old = FRequestState;
    if (NewState == old) return;
    auto move = [&] { return std::string(FtpRequestStateName(old)) + " -> " + FtpRequestStateName(NewState); };
    if (!MoveAllowed(old, NewState)) {
        if (IsLogged(loProtSpecErr)) LogDebugText(loProtSpecErr, "! Request state " + move() + " refused");
        ReportError("Program error: request state " + move() + " refused");
        return;
    }
    if (IsLogged(loProtSpecDump)) LogDebugText(loProtSpecDump, "! Request state " + move());
    FRequestState = NewState;
}

void TCustomFtpCli::EnterStep(TFtpStep Step) {
    if (Step == FCurrentStep) return;
    if (IsLogged(loProtSpecDump))
        LogDebugText(loProtSpecDump, std::string("! Step ") + FtpStepName(FCurrentStep) + " -> " + FtpStepName(Step));
    FCurrentStep = Step;
}

bool TCustomFtpCli::HandleFinalReply() {
    switch (FRequestState) {
    case rsCommandReply:
    case rsQuitReply: FinishCommand(); return true;
    case rsGetFirstReply: GetFirstReply(); return true;
    case rsGetFinalReply: GetFinalReply(); return true;
    case rsPutFirstReply: PutFirstReply(); return true;
    case rsPutFinalReply: PutFinalReply(); return true;
    case rsIdle: break;
    }
    ReportError("Program error: FNext is nil");
    return false;
}

void TCustomFtpCli::FinishRequest(std::uint16_t Code) {
    if (RequestDoneFlag) return;
    RequestDoneFlag = true;
    ReplyAwaited = false;
    SetRequestState(rsIdle);
    if (Code == 0 && ContinueSteps) {
        if (ClientState != fcsAbort && ClientState != fcsPassiveReply) ChangeState(fcsInternalReady);
        HighLevelAsync();
        return;
    }
    ChangeState(fcsReady);
    // A restart position serves the request that set it only: a later transfer never
    // starts in the middle of its file.
    ResumeAt = 0;
    if (DataSocket && DataSocket->State() != wsClosed) {
        // The request ends whatever the data connection's close says.
        try {
            DropDataConnection();
        } catch (...) {
        }
    }
    if (HighLevelActive && SavedCode >= 0) {
        LastResponse = SavedResponse;
        StatusCode = SavedCode;
    }
    HighLevelActive = false;
    ContinueSteps = false;
    LastRequestCode = Code;
    ++RequestsEnded;
    PostMessageA(WindowHandle, MsgRequestDone, 0, static_cast<LPARAM>(Code));
}

// ---------------------------------------------------------------------------
// The steps of a high-level request

bool TCustomFtpCli::ReadyStep(TFtpStep Step, TFtpStep Previous, std::int32_t PreviousCode) {
    switch (Step) {
    case stepPass:
        // A server that accepts the user with 230 gets no PASS.
        return !(Previous == stepUser && PreviousCode != 331);
    case stepAcct:
        // ACCT only when the server asked for it by answering PASS with 332; a login
        // accepted with 230 needs none.
        return Previous == stepPass && PreviousCode == 332;
    case stepCwd:
        return !HostDirName.empty();
    case stepGet:
        // A download restarts only where an accepted REST said.
        if (!(Previous == stepRest && ResumeAt >= 0 && PreviousCode == 350)) ResumeAt = 0;
        return true;
    case stepQuit:
        // The reply of the step before QUIT becomes the request's final reply.
        SavedResponse = LastResponse;
        SavedCode = StatusCode;
        return true;
    default:
        return true;
    }
}

void TCustomFtpCli::HighLevelAsync() {
    if (IsLogged(loProtSpecDump)) LogDebugText(loProtSpecDump, "! HighLevelAsync " + IntToStr(RequestResult));
    if (ClientState == fcsAbort) {
        if (IsLogged(loProtSpecInfo)) LogDebugText(loProtSpecInfo, "! Abort detected");
        StepSet = TFtpStepSet();
        HighLevelResult = 426;
        ErrorMessage = "426 Operation aborted.";
    }
    ContinueSteps = true;
    ParseReplyValues();

    const TFtpStep previous = FCurrentStep;
    const std::int32_t previousCode = StatusCode;
    for (const StepStarter& next : kStepOrder) {
        if (!StepSet.Contains(next.Step)) continue;
        StepSet.Exclude(next.Step);
        if (!ReadyStep(next.Step, previous, previousCode)) continue;
        EnterStep(next.Step);
        (this->*next.Start)();
        // A starter that refuses (an empty parameter, not connected) stops the steps
        // through ReportError: the request ends there, and is no longer marked as running.
        if (!ContinueSteps) HighLevelActive = false;
        return;
    }

    if (IsLogged(loProtSpecDump)) LogDebugText(loProtSpecDump, "! HighLevelAsync done");
    StepSet = TFtpStepSet();
    ContinueSteps = false;
    RequestDoneFlag = false;
    FinishRequest(static_cast<std::uint16_t>(HighLevelResult));
}
