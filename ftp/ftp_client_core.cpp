// The FTP client's life cycle, its properties, its hidden window and the small
// operations shared by every request: refusals, state changes, event triggers, the
// background-exception path and the abort.
#include "ftp/ftp_client.h"

#include "ftp/socket_window.h"
#include "ftp/tick_deadline.h"
#include "platform/messages/hidden_windows.h"
#include "platform/messages/message_queue.h"
#include "platform/messages/ticks.h"

std::string ExceptionClassName(const std::exception& E) {
    if (dynamic_cast<const ESocketException*>(&E)) return "ESocketException";
    if (dynamic_cast<const FtpException*>(&E)) return "FtpException";
    return "Exception";
}

// ---------------------------------------------------------------------------
// Life cycle

TCustomFtpCli::TCustomFtpCli() {
    WindowHandle = AllocateWindow();
    if (!WindowHandle) throw FtpException("Cannot create the FTP client's window");
    try {
        ControlSocket = new TWSocket();
        FreeNotification(ControlSocket);
        ControlSocket->OnSessionConnected = [this](TCustomWSocket* Sender, std::uint16_t ErrCode) {
            ControlConnected(Sender, ErrCode);
        };
        ControlSocket->OnDataAvailable = [this](TCustomWSocket* Sender, std::uint16_t ErrCode) {
            ControlDataAvailable(Sender, ErrCode);
        };
        ControlSocket->OnSessionClosed = [this](TCustomWSocket* Sender, std::uint16_t ErrCode) {
            ControlClosed(Sender, ErrCode);
        };
        ControlSocket->OnDnsLookupDone = [this](TCustomWSocket* Sender, std::uint16_t ErrCode) {
            ControlLookupDone(Sender, ErrCode);
        };
        // The data socket's events are bound by each transfer.
        DataSocket = new TWSocket();
        FreeNotification(DataSocket);
    } catch (...) {
        delete ControlSocket;
        delete DataSocket;
        ReleaseWindow(WindowHandle);
        throw;
    }
    LastDataSocket = DataSocket;
}

TCustomFtpCli::~TCustomFtpCli() {
    BeginDestruction();
    try {
        ReleaseWindow(WindowHandle);
    } catch (...) {
    }
    WindowHandle = nullptr;
    ReleaseLocalFile();
    // Each delete tells us through Notification, which clears the field.
    TWSocket* control = ControlSocket;
    TWSocket* data = DataSocket;
    ControlSocket = nullptr;
    DataSocket = nullptr;
    delete control;
    delete data;
}

void TCustomFtpCli::Notification(TSocketComponent* AComponent, TOperation Operation) {
    TSocketComponent::Notification(AComponent, Operation);
    if (Operation != TOperation::opRemove) return;
    if (AComponent == ControlSocket)
        ControlSocket = nullptr;
    else if (AComponent == DataSocket)
        DataSocket = nullptr;
}

// ---------------------------------------------------------------------------
// Properties

void TCustomFtpCli::SetDataPortRangeStart(std::uint32_t Value) {
    if (Value > 65535) {
        ReportError("DataPortRangeStart must be in the range 0..65535");
        return;
    }
    FDataPortRangeStart = Value;
}

void TCustomFtpCli::SetDataPortRangeEnd(std::uint32_t Value) {
    if (Value > 65535) {
        ReportError("DataPortRangeEnd must be in the range 0..65535");
        return;
    }
    FDataPortRangeEnd = Value;
}

void TCustomFtpCli::SetLocalFileName(const std::string& Value) {
    FLocalFileName = Value;
}

void TCustomFtpCli::SetBinary(bool Value) {
    TypeLetter = Value ? 'I' : 'A';
}

TFtpShareMode TCustomFtpCli::ShareMode() const {
    switch (FileShareFlags) {
    case 0: return ftpShareCompat;
    case 32: return ftpShareDenyWrite;
    case 48: return ftpShareDenyRead;
    case 64: return ftpShareDenyNone;
    default: return ftpShareExclusive;
    }
}

void TCustomFtpCli::SetShareMode(TFtpShareMode Value) {
    switch (Value) {
    case ftpShareCompat: FileShareFlags = 0; break;
    case ftpShareDenyWrite: FileShareFlags = 32; break;
    case ftpShareDenyRead: FileShareFlags = 48; break;
    case ftpShareDenyNone: FileShareFlags = 64; break;
    default: FileShareFlags = 16; break;
    }
}

TFtpConnectionType TCustomFtpCli::ConnectionType() const {
    return ConnectionKind >= ftpProxy && ConnectionKind <= ftpSocks5 ? static_cast<TFtpConnectionType>(ConnectionKind)
                                                                   : ftpDirect;
}

void TCustomFtpCli::SetConnectionType(TFtpConnectionType Value) {
    if (ConnectedFlag) {
        ReportError("FTP component connected");
        return;
    }
    TWSocket* sockets[] = {ControlSocket, DataSocket};
    switch (Value) {
    case ftpProxy:
        ConnectionKind = ftpProxy;
        Passive = true;
        for (TWSocket* socket : sockets)
            if (socket) socket->SocksAuthentication = socksNoAuthentication;
        break;
    case ftpSocks4:
    case ftpSocks4A:
    case ftpSocks5: {
        ConnectionKind = Value;
        Passive = true;
        const char* level = Value == ftpSocks4 ? "4" : Value == ftpSocks4A ? "4A" : "5";
        for (TWSocket* socket : sockets) {
            if (!socket) continue;
            socket->SetSocksLevel(level);
            socket->SocksAuthentication = socksAuthenticateUsercode;
        }
        break;
    }
    default:
        ConnectionKind = ftpDirect;
        for (TWSocket* socket : sockets)
            if (socket) socket->SocksAuthentication = socksNoAuthentication;
        break;
    }
}

std::string TCustomFtpCli::SocksPassword() const {
    return ControlSocket ? ControlSocket->SocksPassword : std::string();
}

void TCustomFtpCli::SetSocksPassword(const std::string& Value) {
    if (ControlSocket) ControlSocket->SocksPassword = Value;
    if (DataSocket) DataSocket->SocksPassword = Value;
}

std::string TCustomFtpCli::SocksPort() const {
    return ControlSocket ? ControlSocket->SocksPort() : std::string();
}

void TCustomFtpCli::SetSocksPort(const std::string& Value) {
    if (ControlSocket) ControlSocket->SetSocksPort(Value);
    if (DataSocket) DataSocket->SetSocksPort(Value);
}

std::string TCustomFtpCli::SocksServer() const {
    return ControlSocket ? ControlSocket->SocksServer() : std::string();
}

void TCustomFtpCli::SetSocksServer(const std::string& Value) {
    if (ControlSocket) ControlSocket->SetSocksServer(Value);
    if (DataSocket) DataSocket->SetSocksServer(Value);
}

std::string TCustomFtpCli::SocksUserCode() const {
    return ControlSocket ? ControlSocket->SocksUsercode : std::string();
}

void TCustomFtpCli::SetSocksUserCode(const std::string& Value) {
    if (ControlSocket) ControlSocket->SocksUsercode = Value;
    if (DataSocket) DataSocket->SocksUsercode = Value;
}

TSocketLogger* TCustomFtpCli::SocketLogger() const {
    return ControlSocket ? ControlSocket->SocketLogger() : nullptr;
}

void TCustomFtpCli::SetSocketLogger(TSocketLogger* Value) {
    if (ControlSocket) ControlSocket->SetSocketLogger(Value);
    if (DataSocket) DataSocket->SetSocketLogger(Value);
}

void TCustomFtpCli::SetSecureType(std::uint8_t Value) {
    if (Value != ftpSecureNone) throw FtpException("SSL requires SSL-enabled version");
}

bool TCustomFtpCli::Connected() const {
    return ControlSocket && ControlSocket->State() != wsClosed;
}

// ---------------------------------------------------------------------------
// Log hooks

bool TCustomFtpCli::IsLogged(int Level) {
    TSocketLogger* logger = SocketLogger();
    if (!logger || Level < 0 || Level > 15) return false;
    return logger->LogOptions().ContainsOrdinal(static_cast<unsigned>(Level));
}

void TCustomFtpCli::LogDebugText(int Level, const std::string& Text) {
    TSocketLogger* logger = SocketLogger();
    if (!logger || Level < 0 || Level > loProtSpecDump) return;
    logger->DoDebugLog(this, static_cast<TLogOption>(Level), Text);
}

// ---------------------------------------------------------------------------
// Hidden window

HWND TCustomFtpCli::AllocateWindow() {
    return AllocateMessageWindow([this](TMessage& Msg) { ClientWindowProc(Msg); });
}

void TCustomFtpCli::ReleaseWindow(HWND Window) {
    DeallocateMessageWindow(Window);
}

void TCustomFtpCli::ClientWindowProc(TMessage& Msg) {
    try {
        switch (Msg.Msg) {
        case MsgRequestDone:
            RequestDoneMessage(Msg);
            break;
        case MsgSendFirstBlock:
            SendFirstBlockMessage(Msg);
            break;
        case MsgDrainWait:
            DrainWaitMessage(Msg);
            break;
        default:
            Msg.Result = DefWindowProcA(WindowHandle, Msg.Msg, Msg.WParam, Msg.LParam);
            break;
        }
    } catch (const std::exception& E) {
        BackgroundException(E);
    }
}

void TCustomFtpCli::RequestDoneMessage(TMessage& Msg) {
    if (OnRequestDone) OnRequestDone(this, RequestType, static_cast<std::uint16_t>(Msg.LParam & 0xFFFF));
}

void TCustomFtpCli::SendFirstBlockMessage(TMessage&) {
    // Posted once both the server's go-ahead and the data connection are there; the data
    // socket's data-sent handler (bound when the connection was accepted) sends the block.
    TransferStart = GetTickCount();
    if (DataSocket && DataSocket->OnDataSent) DataSocket->OnDataSent(DataSocket, 0);
}

void TCustomFtpCli::DrainWaitMessage(TMessage&) {
    if (!DataSocket) return;
    // The end of the file is told to the server (by shutting the sending side down) only
    // once the queued blocks have left. The wait goes on as long as the queue shrinks;
    // a queue that stops moving for DrainSeconds breaks the transfer, since shutting
    // down then would pass a cut file off as complete.
    const std::int32_t queued = DataSocket->BufferedByteCount();
    if (queued > 0) {
        if (queued < DrainQueued) DrainDeadline = TickDeadline(GetTickCount(), static_cast<DWORD>(DrainSeconds) * 1000u);
        DrainQueued = queued;
        if (TickDeadlineReached(GetTickCount(), DrainDeadline)) {
            AbortTransfer(426, "Data connection stalled: the end of the file could not be sent");
            return;
        }
        if (ControlSocket && ControlSocket->State() == wsConnected && DataSocket->State() == wsConnected)
            PostMessageA(WindowHandle, MsgDrainWait, 0, 0);
        return;
    }
    DataSocket->Shutdown(ws::SD_SEND);
    SendFinished = true;
}

void TCustomFtpCli::BackgroundException(const std::exception& E) {
    bool CanClose = true;
    if (OnBgException) {
        try {
            OnBgException(this, E, CanClose);
        } catch (...) {
        }
    }
    if (!CanClose) return;
    try {
        Abort();
    } catch (...) {
    }
}

// ---------------------------------------------------------------------------
// Triggers

void TCustomFtpCli::TriggerDisplay(const std::string& Msg) {
    if (!OnDisplay) return;
    std::string text = Msg;
    OnDisplay(this, text);
}

void TCustomFtpCli::TriggerDisplayFile(const std::string& Msg) {
    if (!OnDisplayFile) return;
    std::string text = Msg;
    OnDisplayFile(this, text);
}

void TCustomFtpCli::TriggerError(const std::string& Msg) {
    if (!OnError) return;
    std::string text = Msg;
    OnError(this, text);
}

bool TCustomFtpCli::TriggerProgress() {
    bool abort = false;
    if (OnProgress) OnProgress(this, ByteCount + ResumeAt, abort);
    if (!abort) return true;
    // The application stopped the transfer: both connections are dropped and the
    // request ends with 426, once, whether the close of the control connection ends it
    // (it finishes the request with RequestResult) or the call below.
    LastResponse = "426 Transfer aborted by the application";
    StatusCode = 426;
    ErrorMessage = LastResponse;
    RequestResult = 426;
    StepSet = TFtpStepSet();
    ContinueSteps = false;
    Abort();
    FinishRequest(426);
    return false;
}

void TCustomFtpCli::NotifyReadyToTransmit(bool& Cancel) {
    if (OnReadyToTransmit) OnReadyToTransmit(this, Cancel);
}

void TCustomFtpCli::NotifyStateChange() {
    if (OnStateChange) OnStateChange(this);
}

// ---------------------------------------------------------------------------
// Shared small operations

void TCustomFtpCli::ReportError(const std::string& Msg) {
    StepSet = TFtpStepSet();
    EnterStep(stepNone);
    LastResponse.clear();
    ErrorMessage.clear();
    ContinueSteps = false;
    RequestRefused = true;
    if (OnError) TriggerError(Msg);
}

bool TCustomFtpCli::RequireReady() {
    if (ClientState == fcsReady || ClientState == fcsInternalReady || ClientState == fcsPassiveReply) return true;
    ReportError("FTP component not ready");
    return false;
}

void TCustomFtpCli::ChangeState(TFtpClientState NewState) {
    if (NewState == ClientState) return;
    ClientState = NewState;
    NotifyStateChange();
}

void TCustomFtpCli::ShowLastReply() {
    TriggerDisplay("< " + LastResponse);
}

void TCustomFtpCli::KeepFirstError() {
    if (ErrorMessage.empty()) ErrorMessage = LastResponse;
}

void TCustomFtpCli::FailRequestWith(const std::exception& E) {
    LastResponse = "500 " + ExceptionClassName(E) + ": " + E.what();
    StatusCode = 500;
    RequestResult = 500;
    KeepFirstError();
    FinishRequest(500);
}

void TCustomFtpCli::ReleaseLocalFile() {
    LocalFile.reset();
}

void TCustomFtpCli::Abort() {
    if (IsLogged(loProtSpecInfo)) LogDebugText(loProtSpecInfo, "! Aborting");
    ChangeState(fcsAbort);
    ReleaseLocalFile();
    ReplyAwaited = false;
    ResumeAt = 0;
    if (ControlSocket) ControlSocket->Abort();
    DropDataConnection(true);
    ConnectedFlag = false;
    ChangeState(fcsReady);
}

std::int64_t TCustomFtpCli::DataBytesTaken() {
    if (!DataSocket || DataSocket->State() != wsConnected) return -1;
    return DataSocket->BytesTakenByPeer();
}
