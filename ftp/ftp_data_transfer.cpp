// The data connection: the PORT or PASV step that prepares it, the downloads (RETR,
// LIST, NLST, MLSD) that run over it with their reply handlers and data-socket events,
// and the end of a transfer shared with the uploads (ftp_upload.cpp): refusals,
// failures, the statistics and the close of the data connection.
#include <exception>

#include "engine/text_helpers.h"
#include "ftp/ftp_client.h"
#include "ftp/ftp_text_helpers.h"
#include "ftp/socket_errors.h"
#include "ftp/tick_deadline.h"
#include "ftp/winsock_binding.h"
#include "platform/messages/ticks.h"

namespace {

std::string VerbOf(TFtpRequest Kind) {
    switch (Kind) {
    case rqGet: return "RETR";
    case rqList: return "LIST";
    case rqNameList: return "NLST";
    default: return "MLSD";
    }
}

}  // namespace

// ---------------------------------------------------------------------------
// The PORT / PASV step

void TCustomFtpCli::StartPortCommand() {
    if (!DataSocket || !ControlSocket) return;
    // Refused before anything is prepared when there is no session to send PORT on.
    if (!ConnectedFlag) {
        ReportError("FTP component not connected");
        return;
    }
    DataSocket->SetProto("tcp");
    DataSocket->SetAddr("0.0.0.0");
    DataSocket->SetPort("0");
    DataSocket->OnSessionAvailable = nullptr;
    DataSocket->OnSessionClosed = nullptr;
    DataSocket->OnDataAvailable = nullptr;

    std::uint32_t dataPort = 0;
    if (!Passive) {
        // The server may connect as soon as it reads PORT, before the transfer's own
        // starter runs: every transfer kind has its handler bound here already, or that
        // connection would go unnoticed and the transfer would never end.
        if (StepSet.Contains(stepGet) || StepSet.Contains(stepDir) || StepSet.Contains(stepMlsd) ||
            StepSet.Contains(stepLs))
            DataSocket->OnSessionAvailable = [this](TCustomWSocket* s, std::uint16_t e) { GetDataAccepted(s, e); };
        else if (StepSet.Contains(stepPut) || StepSet.Contains(stepAppend))
            DataSocket->OnSessionAvailable = [this](TCustomWSocket* s, std::uint16_t e) { PutDataAccepted(s, e); };
        DataSocket->LingerOnOff = wsLingerOn;
        DataSocket->LingerTimeout = 10;
        const std::uint32_t start = DataPortRangeStart();
        const std::uint32_t end = DataPortRangeEnd();
        if (start != 0 || end != 0) {
            if (end < start) {
                ReportError("DataPortRangeEnd must be greater than DataPortRangeStart");
                return;
            }
            if (NextDataPort < static_cast<std::int32_t>(start) || NextDataPort > static_cast<std::int32_t>(end))
                NextDataPort = static_cast<std::int32_t>(start);
            const std::int32_t first = NextDataPort;
            for (;;) {
                const std::int32_t port = NextDataPort;
                NextDataPort = port + 1 > static_cast<std::int32_t>(end) ? static_cast<std::int32_t>(start) : port + 1;
                try {
                    DataSocket->SetPort(IntToStr(port));
                    DataSocket->Listen();
                    dataPort = static_cast<std::uint32_t>(port);
                    break;
                } catch (const std::exception&) {
                    const std::int32_t error = DataSocket->LastError;
                    if (error != 10048) {
                        ReportError("Data connection winsock bind failed - " + FormatSocketError(error));
                        return;
                    }
                    if (NextDataPort == first) {
                        ReportError("All ports in DataPortRange are in use");
                        return;
                    }
                }
            }
        } else {
            // A listen failure raises to the caller of the step.
            DataSocket->Listen();
            std::int32_t chosen = 0;
            ParseInteger(DataSocket->GetBoundPort().c_str(), chosen);
            dataPort = static_cast<std::uint32_t>(chosen);
        }
    }

    ws::sockaddr_in local{};
    int length = sizeof local;
    ControlSocket->GetSockName(local, length);
    std::string command;
    if (Passive) {
        command = "PASV";
    } else {
        const std::string hi = IntToStr((dataPort >> 8) & 0xFF);
        const std::string lo = IntToStr(dataPort & 0xFF);
        if (ControlSocket->GetPeerAddr() == "127.0.0.1") {
            command = "PORT 127,0,0,1," + hi + "," + lo;
        } else {
            const auto* bytes = reinterpret_cast<const unsigned char*>(&local.sin_addr);
            command = "PORT " + IntToStr(bytes[0]) + "," + IntToStr(bytes[1]) + "," + IntToStr(bytes[2]) + "," +
                      IntToStr(bytes[3]) + "," + hi + "," + lo;
        }
    }
    ByteCount = 0;
    EnterStep(stepPort);
    StartCommand(rqPort, command, {200, 227});
}

bool TCustomFtpCli::ParsePasvReply(std::string& AddrText, std::string& PortText) const {
    const std::size_t open = PasvReply.find('(');
    if (open == std::string::npos) return false;
    const char* position = PasvReply.c_str() + open + 1;
    std::int64_t numbers[6] = {};
    for (int i = 0; i < 6; ++i) {
        if (!IsDigit(*position)) return false;
        const char* after = ParseInteger(position, numbers[i]);
        if (numbers[i] < 0 || numbers[i] > 255) return false;
        position = after;
        if (i < 5) {
            if (*position != ',') return false;
            ++position;
        }
    }
    const std::int64_t port = numbers[4] * 256 + numbers[5];
    if (port == 0) return false;
    // The data connection goes to the server the control connection reached, whatever
    // address the reply names: a reply cannot send the data elsewhere.
    if (!ControlSocket) return false;
    if (ConnectionKind >= ftpSocks4 && ConnectionKind <= ftpSocks5) {
        // Through a SOCKS server the control connection's far end is the FTP server it
        // was asked to reach, not the SOCKS server itself.
        AddrText = ControlSocket->Addr();
    } else {
        ws::sockaddr_in server{};
        if (ControlSocket->GetPeerName(server, sizeof server) != 0) return false;
        AddrText = WSocket::inet_ntoa(server.sin_addr);
    }
    PortText = IntToStr(port);
    return true;
}

void TCustomFtpCli::SetupPassiveGet(const std::string& PortText, const std::string& AddrText) {
    DataSocket->SetPort(PortText);
    DataSocket->SetAddr(AddrText);
    DataSocket->SetLocalAddr(LocalAddr);
    DataSocket->OnSessionConnected = [this](TCustomWSocket* s, std::uint16_t e) { GetDataConnected(s, e); };
    DataSocket->LingerOnOff = wsLingerOff;
    DataSocket->LingerTimeout = 0;
    DataSocket->ComponentOptions = TWSocketOptions{wsoNoReceiveLoop};
}

void TCustomFtpCli::SetupPassivePut(const std::string& PortText, const std::string& AddrText) {
    SetupPassiveGet(PortText, AddrText);
    DataSocket->OnSessionConnected = [this](TCustomWSocket* s, std::uint16_t e) { PutDataConnected(s, e); };
}

void TCustomFtpCli::FailTransfer(const std::string& Response, std::uint16_t Code) {
    LastResponse = Response;
    StatusCode = Code;
    KeepFirstError();
    DropDataConnection();
    ReleaseLocalFile();
    RequestResult = Code;
    FinishRequest(Code);
}

// ---------------------------------------------------------------------------
// Downloads

void TCustomFtpCli::CmdRetr() { StartDownload(rqGet); }
void TCustomFtpCli::CmdList() { StartDownload(rqList); }
void TCustomFtpCli::CmdNlst() { StartDownload(rqNameList); }
void TCustomFtpCli::CmdMlsd() { StartDownload(rqMachineList); }

void TCustomFtpCli::StartDownload(TFtpRequest Kind) {
    if (!ConnectedFlag) {
        ReportError(VerbOf(Kind) + ": not connected");
        return;
    }
    if (LocalFileName().empty() && !DisplayFileFlag) {
        ReportError("LocalFileName empty");
        return;
    }
    if (!HighLevelActive) RequestType = Kind;
    TransferVerb = VerbOf(Kind);
    TransferFault = 0;
    TransferReplyDone = false;
    GetDataSessionDone = false;
    RequestDoneFlag = false;
    ByteCount = 0;
    DataCloseError = 0;
    DataSocket->OnSessionAvailable = [this](TCustomWSocket* s, std::uint16_t e) { GetDataAccepted(s, e); };

    if (!DisplayFileFlag) {
        try {
            ReleaseLocalFile();
            if (ResumeAt > 0) {
                LocalFile = std::make_unique<std::fstream>(LocalFileName(),
                                                           std::ios::in | std::ios::out | std::ios::binary);
                if (!LocalFile->is_open()) throw FtpException("cannot open the file");
                if (GetFileSize(LocalFileName()) >= ResumeAt) LocalFile->seekp(ResumeAt);
                if (LocalFile->tellp() != ResumeAt) {
                    FailTransfer("Unable to set resume position in local file", 550);
                    return;
                }
            } else {
                LocalFile = std::make_unique<std::fstream>(LocalFileName(),
                                                           std::ios::out | std::ios::trunc | std::ios::binary);
                if (!LocalFile->is_open()) throw FtpException("cannot create the file");
            }
        } catch (const std::exception& E) {
            FailTransfer("Unable to open local file " + LocalFileName() + ": " + E.what(), 550);
            return;
        }
    }

    if (Passive) {
        std::string addr, port;
        try {
            if (!ParsePasvReply(addr, port)) throw FtpException("No address in the PASV reply");
            SetupPassiveGet(port, addr);
            if (IsLogged(loProtSpecInfo)) LogDebugText(loProtSpecInfo, "! Data Socket Connect");
            DataSocket->Connect();
        } catch (const std::exception& E) {
            FailTransfer("550 " + ExceptionClassName(E) + ": " + E.what(), 550);
            return;
        }
    }
    ChangeState(fcsWaitingReply);
    SetRequestState(rsGetFirstReply);
    ErrorMessage.clear();
    SendCommand(HostFileName.empty() ? TransferVerb : TransferVerb + " " + HostFileName);
}

void TCustomFtpCli::BindGetDataHandlers() {
    DataSocket->OnSessionClosed = [this](TCustomWSocket* s, std::uint16_t e) { GetDataClosed(s, e); };
    DataSocket->OnDataAvailable = [this](TCustomWSocket* s, std::uint16_t e) { GetDataAvailable(s, e); };
    DataSocket->OnDataSent = nullptr;
    DataSocket->ComponentOptions = TWSocketOptions{wsoNoReceiveLoop};
}

bool TCustomFtpCli::AcceptServerConnection(ws::SOCKET& Accepted) {
    Accepted = DataSocket->Accept();
    if (Accepted == ws::INVALID_SOCKET) return false;
    ws::sockaddr_in server{};
    const ws::in_addr from = DataSocket->RemoteSockAddr.sin_addr;
    if (ControlSocket && ControlSocket->GetPeerName(server, sizeof server) == 0 &&
        server.sin_addr.s_addr == from.s_addr)
        return true;
    // Anyone else who reached the listening port is turned away; the socket goes on
    // listening for the server until the request ends or times out.
    TriggerDisplay(std::string("! Data connection from ") + WSocket::inet_ntoa(from) + " refused");
    WSocket::closesocket(Accepted);
    Accepted = ws::INVALID_SOCKET;
    return false;
}

void TCustomFtpCli::GetDataAccepted(TCustomWSocket*, std::uint16_t) {
    if (IsLogged(loProtSpecInfo)) LogDebugText(loProtSpecInfo, "! Data Session requested");
    ws::SOCKET accepted = ws::INVALID_SOCKET;
    if (!AcceptServerConnection(accepted)) return;
    BindGetDataHandlers();
    DataSocket->Dup(accepted);  // closes the listening socket and takes the connection over
    TransferStart = GetTickCount();
    if (IsLogged(loProtSpecInfo)) LogDebugText(loProtSpecInfo, "! Data Session opened");
}

void TCustomFtpCli::GetDataConnected(TCustomWSocket*, std::uint16_t ErrCode) {
    if (IsLogged(loProtSpecInfo)) LogDebugText(loProtSpecInfo, "! Data Session Connected (Get)");
    BindGetDataHandlers();
    TransferStart = GetTickCount();
    if (ErrCode != 0) FailTransfer("Unable to establish data connection - " + FormatSocketError(ErrCode), 550);
}

void TCustomFtpCli::GetDataAvailable(TCustomWSocket*, std::uint16_t) {
    if (!TriggerProgress()) return;
    if (!DataSocket) return;
    char buffer[4096];
    const int received = DataSocket->Receive(buffer, sizeof buffer);
    if (received > 0) {
        if (ClientState == fcsAbort) {
            TriggerDisplay("! Data ignored while aborting");
            return;
        }
        if (LocalFile) {
            LocalFile->write(buffer, received);
            if (!*LocalFile) {
                AbortTransfer(550, "Error writing local file " + LocalFileName());
                return;
            }
        }
        ByteCount += received;
        if (DisplayFileFlag) {
            if (DisplayFileMode == 1) {
                TriggerDisplayFile(std::string(buffer, static_cast<std::size_t>(received)));
            } else {
                std::size_t i = 0;
                const std::size_t n = static_cast<std::size_t>(received);
                while (i < n) {
                    while (i < n && (buffer[i] == '\r' || buffer[i] == '\n')) ++i;
                    const std::size_t start = i;
                    while (i < n && buffer[i] != '\r' && buffer[i] != '\n') ++i;
                    if (i > start) TriggerDisplayFile(std::string(buffer + start, i - start));
                }
            }
        }
    } else if (received < 0 && DataSocket->State() == wsConnected && DataSocket->LastError != 10035) {
        TriggerDisplay("! Data: Receive Error - " + FormatSocketError(DataSocket->LastError));
        DataSocket->Shutdown(ws::SD_BOTH);
    }
}

void TCustomFtpCli::GetDataClosed(TCustomWSocket*, std::uint16_t ErrCode) {
    if (IsLogged(loProtSpecInfo)) LogDebugText(loProtSpecInfo, "! Data Session closed");
    ReleaseLocalFile();
    GetDataSessionDone = true;
    DataCloseError = ErrCode;
    TryFinishGet();
}

void TCustomFtpCli::GetFirstReply() {
    ShowLastReply();
    ParseInteger(LastResponse.c_str(), StatusCode);
    if (StatusCode != 125 && (StatusCode < 150 || StatusCode > 159)) {
        RefuseTransfer();
        return;
    }
    SetRequestState(rsGetFinalReply);
}

void TCustomFtpCli::GetFinalReply() {
    ShowLastReply();
    ParseInteger(LastResponse.c_str(), StatusCode);
    // A transfer this side broke ends with its fault whatever the server answers.
    if (TransferFault == 0 && StatusCode != 125 && StatusCode != 226 && StatusCode != 250) {
        FailTransfer("! RETR/LIST/NLST Failed");
        return;
    }
    TransferReplyDone = true;
    TryFinishGet();
}

void TCustomFtpCli::TryFinishGet() {
    if (IsLogged(loProtSpecDump)) LogDebugText(loProtSpecDump, "! Next3GetAsync");
    FinishTransferWhenDone(GetDataSessionDone);
}

// ---------------------------------------------------------------------------
// Shared by downloads and uploads

// A first reply that does not open the transfer ends the request with the reply's
// code: no further reply is awaited and the data connection and local file are let go.
void TCustomFtpCli::RefuseTransfer() {
    KeepFirstError();
    SetRequestState(rsIdle);
    DropDataConnection();
    ReleaseLocalFile();
    ResumeAt = 0;
    RequestResult = StatusCode;
    FinishRequest(static_cast<std::uint16_t>(StatusCode));
}

// A final reply that is not a success ends the transfer: the local file and the
// data connection are let go and the reply's code becomes the request's result.
void TCustomFtpCli::FailTransfer(const std::string& Message) {
    KeepFirstError();
    ReleaseLocalFile();
    DropDataConnection();
    TriggerDisplay(Message);
    RequestResult = StatusCode;
    FinishRequest(static_cast<std::uint16_t>(StatusCode));
}

// A transfer ends once both its final reply and the close of its data
// connection have arrived, in either order; the close's error is the result. A
// transfer this side broke (AbortTransfer) has its data connection counted as closed
// already, so it ends here with its fault as soon as the server has answered.
void TCustomFtpCli::FinishTransferWhenDone(bool DataSessionDone) {
    if (!TransferReplyDone || !DataSessionDone) return;
    if (TransferFault != 0) {
        EndFaultedTransfer();
        return;
    }
    ShowTransferStatistics();
    ResumeAt = 0;
    RequestResult = DataCloseError;
    FinishRequest(DataCloseError);
}

void TCustomFtpCli::ShowTransferStatistics() {
    TransferEnd = GetTickCount();
    const std::uint32_t elapsed = TickElapsed(TransferStart, TransferEnd);
    std::string text = IntToStr(ByteCount) + " bytes received/sent in ";
    if (elapsed >= 5000) {
        const long long bytes = ByteCount;
        const long long rate = bytes < 32768 ? bytes * 1000 / elapsed : bytes / elapsed * 1000;
        text += IntToStr(elapsed / 1000) + " seconds (" + IntToStr(rate) + " Bytes/sec)";
    } else {
        text += IntToStr(elapsed) + " milliseconds";
    }
    TriggerDisplay("! " + text);
}

// A failure on this side of the data connection (a block that cannot be sent, a local
// file that cannot be read or written): the connection is aborted at once, so the
// server sees a broken transfer rather than a complete one, and the request ends with
// Code once the server has answered, whatever it answers.
void TCustomFtpCli::AbortTransfer(std::uint16_t Code, const std::string& Text) {
    TriggerDisplay("! " + Text);
    if (TransferFault == 0) {
        TransferFault = Code;
        TransferFaultText = IntToStr(Code) + " " + Text;
    }
    ReleaseLocalFile();
    DropDataConnection(true);
    GetDataSessionDone = true;
    PutDataSessionDone = true;
    if (TransferReplyDone) EndFaultedTransfer();
}

void TCustomFtpCli::EndFaultedTransfer() {
    const std::uint16_t code = TransferFault;
    TransferReplyDone = true;
    SetRequestState(rsIdle);
    LastResponse = TransferFaultText;
    StatusCode = code;
    ErrorMessage = TransferFaultText;
    ReleaseLocalFile();
    DropDataConnection();
    RequestResult = code;
    FinishRequest(code);
}

void TCustomFtpCli::DropDataConnection(bool Abortive) {
    if (!DataSocket) return;
    DataSocket->OnSessionClosed = nullptr;
    DataSocket->OnDataSent = nullptr;
    DataSocket->OnDataAvailable = nullptr;
    if (Abortive)
        DataSocket->Abort();
    else
        DataSocket->Close();
}
