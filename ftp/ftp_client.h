#pragma once
// TCustomFtpCli: the asynchronous FTP client component. It owns a control socket, a data
// socket and a hidden window of its own. Every operation returns at once; a request
// ends later, from the message loop, with OnRequestDone and a 16-bit code (0 = success,
// else the failing reply code, or a code the client sets itself: 426, 500, 550, or a
// Windows Sockets code).
//
// One command runs like this: a starter (CmdUser, CmdType, ...) checks its parameter and
// calls StartCommand with the request number, the command text and the expected final
// reply codes; StartCommand sets the request state (rsCommandReply) and SendCommand
// writes the line; ControlDataAvailable cuts the replies into lines and hands each final
// line to the routine of the request state (FinishCommand for plain commands), which
// judges the code and calls FinishRequest. FinishRequest either runs the next step of a
// high-level request (HighLevelAsync) or ends the request and posts MsgRequestDone to the
// client's window. The states, the steps and the transitions between them are in
// ftp_requests.h and ftp_request_machine.cpp.
//
// Refusals (not ready, not connected, an empty parameter) never raise: they go to
// OnError through ReportError, and no request-done event follows.
//
// The high-level requests (the step machine behind StepSet and ContinueSteps) and the
// data connection with its transfers are operations of this class too, kept in their own
// source files; the fields they work on are declared here with the others.
#include <array>
#include <cstdint>
#include <exception>
#include <fstream>
#include <functional>
#include <initializer_list>
#include <memory>
#include <stdexcept>
#include <string>
#include <vector>

#include "ftp/enum_set.h"
#include "ftp/ftp_requests.h"
#include "ftp/socket_component.h"
#include "ftp/socket_logger.h"
#include "ftp/sync_wsocket.h"

// The exception class of the FTP client; what() is the message (Windows-1252).
class FtpException : public std::runtime_error {
public:
    explicit FtpException(const std::string& Msg) : std::runtime_error(Msg) {}
};

// The class name of an exception as the client words it in reply texts
// ("ESocketException", "FtpException", else "Exception").
std::string ExceptionClassName(const std::exception& E);

enum TFtpClientState : std::uint8_t {
    fcsNotConnected = 0,
    fcsReady = 1,
    fcsInternalReady = 2,
    fcsDnsLookup = 3,
    fcsConnected = 4,
    fcsAbort = 5,
    fcsWaitingGreeting = 7,
    fcsWaitingReply = 8,
    fcsPassiveReply = 9
};

enum TFtpShareMode : std::uint8_t {
    ftpShareCompat, ftpShareExclusive, ftpShareDenyWrite, ftpShareDenyRead, ftpShareDenyNone
};
enum TFtpConnectionType : std::uint8_t { ftpDirect, ftpProxy, ftpSocks4, ftpSocks4A, ftpSocks5 };
enum TFtpOption : std::uint8_t { ftpAcceptLF, ftpNoAutoResumeAt, ftpWaitUsingSleep, ftpBandwidthControl };
using TFtpOptions = TEnumSet<TFtpOption, std::uint8_t>;

// Messages the client posts to its own hidden window.
inline constexpr UINT MsgRequestDone = WM_USER + 1;     // raise OnRequestDone (lParam: the code)
inline constexpr UINT MsgSendFirstBlock = WM_USER + 2;  // an upload may send its first block
inline constexpr UINT MsgDrainWait = WM_USER + 3;       // check whether an upload's queue has drained

// Bits of FeatureFlags, set from the lines of a FEAT reply.
inline constexpr std::uint16_t FeatSize = 0x0002;
inline constexpr std::uint16_t FeatRestStream = 0x0004;
inline constexpr std::uint16_t FeatMdtmSet = 0x0008;
inline constexpr std::uint16_t FeatMdtm = 0x0010;
inline constexpr std::uint16_t FeatMlst = 0x0020;
inline constexpr std::uint16_t FeatMfmt = 0x0040;
inline constexpr std::uint16_t FeatMd5 = 0x0080;
inline constexpr std::uint16_t FeatAuthSsl = 0x0100;
inline constexpr std::uint16_t FeatAuthTls = 0x0200;
inline constexpr std::uint16_t FeatProtP = 0x0400;
inline constexpr std::uint16_t FeatProtC = 0x0800;
inline constexpr std::uint16_t FeatModeZ = 0x1000;
inline constexpr std::uint16_t FeatCcc = 0x2000;
inline constexpr std::uint16_t FeatPbsz = 0x4000;
inline constexpr std::uint16_t FeatXcrc = 0x8000;

// The secure-connection type; only "none" exists in this build.
inline constexpr std::uint8_t ftpSecureNone = 0;

class TCustomFtpCli;

using TFtpDisplay = std::function<void(TCustomFtpCli* Sender, std::string& Msg)>;
using TFtpCommand = std::function<void(TCustomFtpCli* Sender, std::string& Cmd)>;
using TFtpProgress = std::function<void(TCustomFtpCli* Sender, std::int64_t Count, bool& Abort)>;
using TFtpSessionConnected = std::function<void(TCustomFtpCli* Sender, std::uint16_t ErrCode)>;
using TFtpSessionClosed = std::function<void(TCustomFtpCli* Sender, std::uint16_t ErrCode)>;
using TFtpRequestDone = std::function<void(TCustomFtpCli* Sender, TFtpRequest RqType, std::uint16_t ErrCode)>;
using TFtpNotifyEvent = std::function<void(TCustomFtpCli* Sender)>;
using TFtpReadyToTransmit = std::function<void(TCustomFtpCli* Sender, bool& bCancel)>;
using TFtpBgExceptionEvent = std::function<void(TCustomFtpCli* Sender, const std::exception& E, bool& CanClose)>;

class TCustomFtpCli : public TSocketComponent {
public:
    TCustomFtpCli();
    ~TCustomFtpCli() override;

    // ---- Properties ----
    std::string HostName;      // server of the control connection
    std::string Port = "ftp";  // port name or number of the control connection
    std::string LocalAddr = "0.0.0.0";
    std::string UserName;
    std::string PassWord;
    std::string HostDirName;   // remote folder (CWD)
    std::string HostFileName;  // remote file (STOR, SIZE, MDTM, ...)
    std::string Account;       // sent by ACCT
    std::string ProxyServer;   // FTP proxy host (ConnectionType ftpProxy)
    bool DisplayFileFlag = false;
    TFtpOptions Options{ftpAcceptLF};

    std::uint32_t DataPortRangeStart() const { return FDataPortRangeStart; }
    void SetDataPortRangeStart(std::uint32_t Value);
    std::uint32_t DataPortRangeEnd() const { return FDataPortRangeEnd; }
    void SetDataPortRangeEnd(std::uint32_t Value);
    const std::string& LocalFileName() const { return FLocalFileName; }
    void SetLocalFileName(const std::string& Value);
    bool Binary() const { return TypeLetter == 'I'; }
    void SetBinary(bool Value);
    TFtpShareMode ShareMode() const;
    void SetShareMode(TFtpShareMode Value);
    TFtpConnectionType ConnectionType() const;
    void SetConnectionType(TFtpConnectionType Value);
    std::string SocksPassword() const;
    void SetSocksPassword(const std::string& Value);
    std::string SocksPort() const;
    void SetSocksPort(const std::string& Value);
    std::string SocksServer() const;
    void SetSocksServer(const std::string& Value);
    std::string SocksUserCode() const;
    void SetSocksUserCode(const std::string& Value);
    TSocketLogger* SocketLogger() const;
    void SetSocketLogger(TSocketLogger* Value);
    std::uint8_t SecureType() const { return ftpSecureNone; }
    virtual void SetSecureType(std::uint8_t Value);

    // True while the control socket is not closed.
    bool Connected() const;

    // ---- Events (each called only when assigned; Sender is the client) ----
    TFtpDisplay OnDisplay;          // commands sent ("> ...") and reply lines ("< ...")
    TFtpDisplay OnDisplayFile;      // data lines of a listing shown instead of stored
    TFtpCommand OnCommand;          // sees, and may change, each command before it is sent
    TFtpDisplay OnError;            // the text of a refusal
    TFtpNotifyEvent OnResponse;     // each reply line received
    TFtpProgress OnProgress;
    TFtpSessionConnected OnSessionConnected;  // greeting 220 received
    TFtpSessionClosed OnSessionClosed;        // control connection closed
    TFtpRequestDone OnRequestDone;
    TFtpNotifyEvent OnStateChange;
    TFtpReadyToTransmit OnReadyToTransmit;
    TFtpBgExceptionEvent OnBgException;  // an exception in a handler of the client's window

    // ---- Connection and single-command starters ----
    virtual void StartOpen();
    virtual void CmdUser();
    virtual void CmdPass();
    virtual void CmdAcct();
    virtual void CmdQuit();
    virtual void CmdType();
    virtual void CmdTypeBinary();
    virtual void CmdTypeAscii();
    virtual void CmdPwd();
    virtual void CmdCwd();
    virtual void CmdCdup();
    virtual void CmdSyst();
    virtual void CmdSize();
    virtual void CmdMkd();
    virtual void CmdRmd();
    virtual void CmdDele();
    virtual void CmdRnfr();
    virtual void CmdRnto();
    virtual void CmdQuote();
    virtual void CmdAbor();
    virtual void CmdRest();
    virtual void CmdMlst();
    virtual void CmdFeat();
    virtual void CmdMdtm();
    virtual void CmdMdtmSet();
    virtual void CmdAuth();
    virtual void CmdProt();
    virtual void CmdPbsz();
    virtual void CmdCcc();
    virtual void CmdMfmt();
    virtual void CmdMd5();
    virtual void CmdMode();
    virtual void CmdOpts();
    virtual void CmdXcrc();

    // Drops whatever runs: both connections closed at once, local file closed, state
    // fcsReady. Posts no request-done message itself.
    virtual void Abort();

    // ---- High-level requests: each runs a fixed set of steps through HighLevelAsync ----
    virtual void StartConnect();
    virtual void StartGet();
    virtual void StartFullGet();
    virtual void StartPut();
    virtual void StartFullPut();
    virtual void StartAppend();
    virtual void StartFullAppend();
    virtual void StartList();
    virtual void StartNameList();
    virtual void StartFullList();
    virtual void StartFullNameList();
    virtual void StartFullSystem();
    virtual void StartFullSize();
    virtual void StartFullMakeDir();
    virtual void StartFullRemoveDir();
    virtual void StartFullDelete();
    virtual void StartRename();
    virtual void StartFullRename();
    virtual void StartFullQuote();
    virtual void StartResumeGet();
    virtual void StartFullResumeGet();
    virtual void StartResumePut();
    virtual void StartFullResumePut();
    virtual void StartMachineList();
    virtual void StartOpenQuit();

    // ---- Data connection and transfers (single steps) ----
    // The PORT (active) or PASV (passive) step; active mode listens on the data socket.
    virtual void StartPortCommand();
    virtual void CmdRetr();
    virtual void CmdList();
    virtual void CmdNlst();
    virtual void CmdMlsd();
    virtual void CmdStor();
    virtual void CmdAppe();

    // The bytes of the data connection the server has taken so far (sent and
    // acknowledged); -1 without a data connection. A transfer moves while it grows.
    std::int64_t DataBytesTaken();

    // ---- Log hooks (lines beginning with "! "; level 11 protocol, 12 state machine) ----
    virtual bool IsLogged(int Level);
    virtual void LogDebugText(int Level, const std::string& Text);

    // ---- Connections ----
    TWSocket* ControlSocket = nullptr;  // owned; null once destroyed elsewhere
    TWSocket* DataSocket = nullptr;     // owned; null once destroyed elsewhere

    // ---- Request state ----
    TFtpClientState ClientState = fcsReady;
    TFtpRequest RequestType = 0;
    bool HighLevelActive = false;
    bool RequestDoneFlag = false;
    bool ConnectedFlag = false;  // set once the control connection is up
    TFtpStep CurrentStep() const { return FCurrentStep; }            // the step now running
    TFtpRequestState RequestState() const { return FRequestState; }  // what the next final reply is for
    TFtpStepSet StepSet;         // steps of a high-level request still to run
    bool ContinueSteps = false;  // a step that ends with 0 leads to the next one (HighLevelAsync)
    std::int32_t HighLevelResult = 0;
    std::string SavedResponse;   // the reply that becomes the final one of a high-level request
    std::int32_t SavedCode = -1;  // its code; below 0: none saved

    // ---- Reply state ----
    std::int32_t StatusCode = 0;     // the code of the last reply line that began with a digit
    std::int32_t RequestResult = 0;  // 0, or the code that made the command fail
    std::string LastResponse;        // the last complete reply line, without its line end
    std::string AllReplies;          // every line of the current command, each with CR LF
    std::string PasvReply;           // the last 227 reply in passive mode
    std::string ErrorMessage;        // the first error reply of the request (read-only for users)
    bool RequestRefused = false;     // set by every refusal (ReportError); cleared by its user
    std::uint32_t RequestsEnded = 0;  // counts the requests ended (request-done posted)
    std::uint16_t LastRequestCode = 0;  // the code the last ended request was given
    std::uint16_t FeatureFlags = 0;  // Feat... bits from the last FEAT reply
    std::string MlstFactsText;       // the facts the server offers for MLST
    std::string MlstResultText;      // the fact line of the last MLST reply

    // ---- Values read from replies ----
    std::int64_t SizeResult = 0;
    std::string DirResult;
    double FileTimeResult = 0;  // date-time: days since 30 December 1899
    std::string Md5Result;
    std::string CrcResult;

    // ---- Transfer settings and state ----
    char TypeLetter = 'I';  // 'I' binary, 'A' ASCII
    std::string ProxyPort = "ftp";
    std::string ResolvedAddress;
    std::int64_t ByteCount = 0;  // bytes moved by the running transfer
    std::int64_t ResumeAt = 0;   // restart position of the transfer
    bool Passive = false;
    std::int32_t DrainSeconds = 5;
    // The size of the blocks an upload reads and hands to the data socket, one per
    // data-sent event.
    static constexpr std::size_t UploadBlockSize = 256 * 1024;
    std::string OptsText = "MODE Z LEVEL 8";
    std::uint8_t ModeZRequested = 1;
    std::uint8_t ModeZActive = 0;

    // ---- Reply buffer ----
    static constexpr int ReplyBufferSize = 4096;
    std::int32_t ReplyBufferCount = 0;  // received bytes not yet cut into lines

protected:
    void Notification(TSocketComponent* AComponent, TOperation Operation) override;

    // ---- Hidden window ----
    virtual void ClientWindowProc(TMessage& Msg);
    virtual HWND AllocateWindow();
    virtual void ReleaseWindow(HWND Window);
    virtual void BackgroundException(const std::exception& E);
    void RequestDoneMessage(TMessage& Msg);
    void SendFirstBlockMessage(TMessage& Msg);
    void DrainWaitMessage(TMessage& Msg);

    // ---- Event triggers ----
    virtual void TriggerDisplay(const std::string& Msg);
    virtual void TriggerDisplayFile(const std::string& Msg);
    virtual void TriggerError(const std::string& Msg);
    // Reports ByteCount + ResumeAt to OnProgress; false (and the request aborted) when
    // the handler asks to stop.
    virtual bool TriggerProgress();
    virtual void NotifyReadyToTransmit(bool& Cancel);
    void NotifyStateChange();

    // ---- One command ----
    // Arms and sends one command. Codes: the expected final reply codes (at most 15; none:
    // any code below 500 succeeds). Awaiting: the request state that takes the final reply
    // (rsQuitReply closes the control connection after it).
    void StartCommand(TFtpRequest RqType, const std::string& Cmd, std::initializer_list<std::uint16_t> Codes,
                      TFtpRequestState Awaiting = rsCommandReply);
    // Writes one command line. A command holding CR, LF or NUL is not written: the
    // request ends at once with 500 (RefuseUnsafeCommand).
    virtual void SendCommand(const std::string& Cmd);
    // Ends the request with 500: the argument of Verb holds CR, LF or NUL.
    void RefuseUnsafeCommand(const std::string& Verb);
    // The verb of the first of Steps whose argument holds CR, LF or NUL; empty when
    // none does.
    std::string VerbWithUnsafeArgument(const TFtpStepSet& Steps) const;
    // Judges the final line of a plain command (in LastResponse) against the expected codes.
    void FinishCommand();
    // Reads the values of a successful reply of the current step (size, time, folder,
    // checksums).
    void ParseReplyValues();
    // Ends the running step or request with Code (see the class comment); at most once
    // until the next starter clears RequestDoneFlag.
    void FinishRequest(std::uint16_t Code);
    void ReportError(const std::string& Msg);
    bool RequireReady();
    void ChangeState(TFtpClientState NewState);
    void ShowLastReply();
    void KeepFirstError();
    // A lookup or connection that raised ends the request with 500 and the error's text.
    void FailRequestWith(const std::exception& E);
    void ReleaseLocalFile();
    void QuitDone();

    // ---- Control socket events ----
    void ControlDataAvailable(TCustomWSocket* Sender, std::uint16_t ErrCode);
    void ControlLookupDone(TCustomWSocket* Sender, std::uint16_t ErrCode);
    virtual void ControlConnected(TCustomWSocket* Sender, std::uint16_t ErrCode);
    void ControlClosed(TCustomWSocket* Sender, std::uint16_t ErrCode);
    // Whether Line ends a reply: a three-digit code not followed by "-", and inside a
    // multi-line reply only the code that opened it followed by a blank. Sets
    // StatusCode from the first and the last line of a reply.
    bool IsFinalReplyLine(const std::string& Line);
    // Records the server features named by one line of a FEAT reply.
    void NoteFeatureLine(const std::string& Line);

    HWND WindowHandle = nullptr;
    std::array<std::int32_t, 16> ExpectedCodes{};  // a 0 ends the list
    std::uint16_t FileShareFlags = 16;
    std::uint8_t ConnectionKind = ftpDirect;
    std::array<char, ReplyBufferSize> ReplyBuffer{};  // the byte after the fill is always 0
    // A command has gone out (or the greeting is awaited) and its request step has not
    // ended: a close of the control connection now is a failure, not an end.
    bool ReplyAwaited = false;
    std::int32_t MultiLineCode = -1;  // the code of the multi-line reply being read; -1: none
    bool SkipToLineEnd = false;       // the rest of a cut reply line is being dropped

    // ---- The request machine (ftp_request_machine.cpp) ----
    // The only way the request state changes. A move the machine does not make (a final
    // reply awaited without its go-ahead) is refused: logged, and reported through
    // ReportError as a program error, the state kept. Moves are logged old -> new.
    void SetRequestState(TFtpRequestState NewState);
    // The only way CurrentStep changes; logged old -> new.
    void EnterStep(TFtpStep Step);
    // Hands a final reply line to the routine of the request state; false (after
    // ReportError) when no reply is awaited.
    bool HandleFinalReply();
    // Whether Step runs now, the step before having been Previous with PreviousCode;
    // readies what the step needs.
    bool ReadyStep(TFtpStep Step, TFtpStep Previous, std::int32_t PreviousCode);
    void HighLevelStart(TFtpRequest RqType, std::initializer_list<TFtpStep> Steps);
    // Picks and runs the next step of a high-level request, or ends the request when none
    // is left. Virtual so that a subclass can chain steps of its own.
    virtual void HighLevelAsync();

    // ---- Data connection and transfers ----
    void StartDownload(TFtpRequest Kind);
    void StartUpload();
    void SetupPassiveGet(const std::string& PortText, const std::string& AddrText);
    void SetupPassivePut(const std::string& PortText, const std::string& AddrText);
    // The address and port of PasvReply; false when the reply holds none.
    bool ParsePasvReply(std::string& AddrText, std::string& PortText) const;
    // Ends a transfer that could not begin: LastResponse, StatusCode, first error, data
    // socket closed, the request finished with Code.
    void FailTransfer(const std::string& Response, std::uint16_t Code);
    void ShowTransferStatistics();
    // Takes a connection waiting on the listening data socket; true only for one that
    // comes from the control connection's peer (any other is closed at once).
    bool AcceptServerConnection(ws::SOCKET& Accepted);
    void GetDataAccepted(TCustomWSocket* Sender, std::uint16_t ErrCode);
    void GetDataConnected(TCustomWSocket* Sender, std::uint16_t ErrCode);
    void GetDataAvailable(TCustomWSocket* Sender, std::uint16_t ErrCode);
    void GetDataClosed(TCustomWSocket* Sender, std::uint16_t ErrCode);
    void PutDataAccepted(TCustomWSocket* Sender, std::uint16_t ErrCode);
    void PutDataConnected(TCustomWSocket* Sender, std::uint16_t ErrCode);
    void PutDataSent(TCustomWSocket* Sender, std::uint16_t ErrCode);
    void PutDataDiscard(TCustomWSocket* Sender, std::uint16_t ErrCode);
    void PutDataClosed(TCustomWSocket* Sender, std::uint16_t ErrCode);
    void BindGetDataHandlers();
    void GetFirstReply();
    void GetFinalReply();
    void PutFirstReply();
    void PutFinalReply();
    void TryFinishGet();
    void TryFinishPut();
    void RefuseTransfer();
    void FailTransfer(const std::string& Message);
    void FinishTransferWhenDone(bool DataSessionDone);
    void AbortTransfer(std::uint16_t Code, const std::string& Text);
    void EndFaultedTransfer();
    // Closes (or aborts) the data connection by this side's own decision: its handlers
    // are let go first, so that the close is never taken for the server's.
    void DropDataConnection(bool Abortive = false);

    // ---- Data connection and transfers ----
    std::unique_ptr<std::fstream> LocalFile;  // owned; the local file of the transfer
    std::int32_t NextDataPort = 0;            // next port of the range to try
    std::string TransferVerb;                 // RETR, LIST, NLST or MLSD
    bool AppendMode = false;                  // store with APPE instead of STOR
    bool TransferReplyDone = false;           // the final transfer reply has come
    bool GetDataSessionDone = false;          // the download's data connection has closed
    bool PutDataSessionDone = false;          // the upload's data connection has closed
    std::uint16_t DataCloseError = 0;
    bool TransferAllowed = false;  // STOR or APPE was accepted with 150 or 125
    bool DataConnected = false;    // the upload's data connection is up
    bool SendFinished = false;     // the end of the local file was reached
    std::uint16_t TransferFault = 0;   // 426 or 550 once this side broke the transfer
    std::string TransferFaultText;      // its reply-like text, the request's final reply
    std::vector<char> SendBuffer;       // one block of the upload
    DWORD TransferStart = 0;
    DWORD TransferEnd = 0;
    DWORD DrainDeadline = 0;
    std::int32_t DrainQueued = 0;  // the queued bytes the drain wait saw last
    std::uint8_t DisplayFileMode = 0;  // 0: cut received text into lines; 1: whole blocks

private:
    TFtpStep FCurrentStep = stepNone;
    TFtpRequestState FRequestState = rsIdle;
    std::uint32_t FDataPortRangeStart = 0;
    std::uint32_t FDataPortRangeEnd = 0;
    std::string FLocalFileName;
};
