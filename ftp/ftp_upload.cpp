// The uploads (STOR, APPE) over the data connection: the starter, the reply handlers and
// the data-socket events. An upload sends the local file in blocks of UploadBlockSize
// bytes, one block per data-sent event, so the send queue never holds more than one; the
// end of the file is told to the server once the queue has drained.
#include <exception>

#include "ftp/ftp_client.h"
#include "ftp/ftp_text_helpers.h"
#include "ftp/socket_errors.h"
#include "ftp/tick_deadline.h"
#include "platform/messages/message_queue.h"
#include "platform/messages/ticks.h"

void TCustomFtpCli::CmdStor() {
    AppendMode = false;
    RequestType = rqPut;
    StartUpload();
}

void TCustomFtpCli::CmdAppe() {
    AppendMode = true;
    RequestType = rqAppend;
    StartUpload();
}

void TCustomFtpCli::StartUpload() {
    if (!ConnectedFlag) {
        ReportError("STOR/APPE: not connected");
        return;
    }
    if (LocalFileName().empty()) {
        ReportError("LocalFileName empty");
        return;
    }
    TransferFault = 0;
    TransferReplyDone = false;
    PutDataSessionDone = false;
    RequestDoneFlag = false;
    // In active mode the server may connect as soon as it has the PORT command, before
    // this starter runs: a connection already taken over stays usable.
    DataConnected = !Passive && DataSocket && DataSocket->State() == wsConnected;
    TransferAllowed = false;
    TransferStart = 0;
    ByteCount = 0;
    DataCloseError = 0;

    bool cancel = false;
    NotifyReadyToTransmit(cancel);
    if (cancel) {
        ErrorMessage = "426 Transmit cancelled by application";
        StatusCode = 426;
        TriggerDisplay("! " + ErrorMessage);
        DropDataConnection();
        RequestResult = 426;
        FinishRequest(426);
        return;
    }
    DataSocket->OnSessionAvailable = [this](TCustomWSocket* s, std::uint16_t e) { PutDataAccepted(s, e); };

    std::int64_t size = 0;
    try {
        ReleaseLocalFile();
        SendFinished = false;
        LocalFile = std::make_unique<std::fstream>(LocalFileName(), std::ios::in | std::ios::binary);
        if (!LocalFile->is_open()) throw FtpException("cannot open the file for reading");
        LocalFile->seekg(0, std::ios::end);
        size = static_cast<std::int64_t>(LocalFile->tellg());
        LocalFile->seekg(ResumeAt > 0 ? ResumeAt : 0, std::ios::beg);
        if (ResumeAt > 0 && (!*LocalFile || LocalFile->tellg() != ResumeAt)) {
            FailTransfer("Unable to set resume position in local file", 550);
            return;
        }
    } catch (const std::exception& E) {
        LastResponse = "Unable to open local file " + LocalFileName() + ": " + E.what();
        StatusCode = 426;
        KeepFirstError();
        TriggerDisplay("! " + ErrorMessage);
        DropDataConnection();
        ReleaseLocalFile();
        RequestResult = 426;
        FinishRequest(426);
        return;
    }
    TriggerDisplay("! Upload Size " + IntToStr(size - (ResumeAt > 0 ? ResumeAt : 0)));
    // Each block is read into SendBuffer and queued whole by the data socket. Nothing is
    // sent before the go-ahead, so this holds for a data connection already taken over.
    SendBuffer.resize(UploadBlockSize);
    DataSocket->SetBufSize(static_cast<std::int32_t>(UploadBlockSize));

    if (Passive) {
        std::string addr, port;
        try {
            if (!ParsePasvReply(addr, port)) throw FtpException("No address in the PASV reply");
            SetupPassivePut(port, addr);
            DataSocket->Connect();
        } catch (const std::exception& E) {
            FailTransfer("426 " + ExceptionClassName(E) + ": " + E.what(), 426);
        }
        return;  // the command goes out once the data connection is up
    }
    ChangeState(fcsWaitingReply);
    SetRequestState(rsPutFirstReply);
    SendCommand((AppendMode ? "APPE " : "STOR ") + HostFileName);
}

void TCustomFtpCli::PutDataAccepted(TCustomWSocket*, std::uint16_t) {
    if (IsLogged(loProtSpecInfo)) LogDebugText(loProtSpecInfo, "! Data Session requested");
    ws::SOCKET accepted = ws::INVALID_SOCKET;
    if (!AcceptServerConnection(accepted)) return;
    DataSocket->OnSessionClosed = [this](TCustomWSocket* s, std::uint16_t e) { PutDataClosed(s, e); };
    DataSocket->OnDataAvailable = [this](TCustomWSocket* s, std::uint16_t e) { PutDataDiscard(s, e); };
    DataSocket->OnDataSent = [this](TCustomWSocket* s, std::uint16_t e) { PutDataSent(s, e); };
    DataSocket->ComponentOptions = TWSocketOptions{wsoNoReceiveLoop};
    DataSocket->LingerOnOff = wsLingerOff;
    DataSocket->LingerTimeout = 10;
    try {
        DataSocket->Dup(accepted);  // closes the listening socket, reads the buffer sizes
    } catch (const std::exception&) {
        ReportError("winsock.getsockopt(SO_SNDBUF) failed");
        return;
    }
    DataConnected = true;
    if (TransferAllowed && TransferStart == 0) PostMessageA(WindowHandle, MsgSendFirstBlock, 0, 0);
    if (IsLogged(loProtSpecInfo)) LogDebugText(loProtSpecInfo, "! Data Session opened");
}

void TCustomFtpCli::PutDataConnected(TCustomWSocket*, std::uint16_t ErrCode) {
    if (IsLogged(loProtSpecInfo)) LogDebugText(loProtSpecInfo, "! Data Session opened (Put)");
    DataSocket->OnSessionClosed = [this](TCustomWSocket* s, std::uint16_t e) { PutDataClosed(s, e); };
    DataSocket->OnDataAvailable = nullptr;
    DataSocket->OnDataSent = nullptr;
    DataConnected = true;
    TransferStart = GetTickCount();
    if (ErrCode != 0) {
        FailTransfer("Unable to establish data connection - " + FormatSocketError(ErrCode), 550);
        return;
    }
    ChangeState(fcsWaitingReply);
    SetRequestState(rsPutFirstReply);
    SendCommand((AppendMode ? "APPE " : "STOR ") + HostFileName);
}

void TCustomFtpCli::PutFirstReply() {
    ShowLastReply();
    ParseInteger(LastResponse.c_str(), StatusCode);
    if (StatusCode == 150 || StatusCode == 125) {
        TransferAllowed = true;
        SetRequestState(rsPutFinalReply);
        if (Passive) {
            if (IsLogged(loProtSpecInfo)) LogDebugText(loProtSpecInfo, "! Send first block");
            DataSocket->OnDataSent = [this](TCustomWSocket* s, std::uint16_t e) { PutDataSent(s, e); };
            PutDataSent(DataSocket, 0);
        } else if (DataConnected && TransferStart == 0) {
            PostMessageA(WindowHandle, MsgSendFirstBlock, 0, 0);
        }
        return;
    }
    RefuseTransfer();
}

void TCustomFtpCli::PutDataSent(TCustomWSocket*, std::uint16_t ErrCode) {
    if (!LocalFile || !DataSocket) return;
    if (!TriggerProgress()) return;
    if (ErrCode != 0) {
        AbortTransfer(426, "Error sending data - " + FormatSocketError(ErrCode));
        return;
    }
    if (SendFinished || !TransferAllowed || !DataConnected) return;
    try {
        LocalFile->read(SendBuffer.data(), static_cast<std::streamsize>(SendBuffer.size()));
        const std::streamsize count = LocalFile->gcount();
        if (LocalFile->bad()) throw FtpException("read error");
        if (IsLogged(loProtSpecInfo)) LogDebugText(loProtSpecInfo, "DataSocketPutDataSent " + IntToStr(count));
        if (count > 0) {
            ByteCount += count;
            DataSocket->Send(SendBuffer.data(), static_cast<int>(count));
            return;
        }
        // The end of the file: the server learns it once the queue has drained.
        SendFinished = true;
        DrainQueued = DataSocket->BufferedByteCount();
        DrainDeadline = TickDeadline(GetTickCount(), static_cast<DWORD>(DrainSeconds) * 1000u);
        PostMessageA(WindowHandle, MsgDrainWait, 0, 0);
    } catch (const std::exception& E) {
        // Closing the connection gracefully would let the server keep a cut file as
        // complete: the transfer is aborted instead.
        AbortTransfer(426, std::string("Error sending file ") + ExceptionClassName(E) + ": " + E.what());
    }
}

void TCustomFtpCli::PutDataDiscard(TCustomWSocket*, std::uint16_t) {
    char buffer[2048];
    if (DataSocket) DataSocket->Receive(buffer, sizeof buffer);
}

void TCustomFtpCli::PutDataClosed(TCustomWSocket*, std::uint16_t ErrCode) {
    if (IsLogged(loProtSpecInfo)) LogDebugText(loProtSpecInfo, "! Data Session closed");
    // The server has no reason to close before it has the whole file: a close before
    // the last block left is a cut upload, whatever the server replies about it.
    if (!SendFinished || (DataSocket && DataSocket->BufferedByteCount() > 0)) {
        AbortTransfer(426, ErrCode != 0 ? "Data connection broken - " + FormatSocketError(ErrCode)
                                        : std::string("Data connection closed before the end of the file"));
        return;
    }
    ReleaseLocalFile();
    PutDataSessionDone = true;
    DataCloseError = ErrCode;
    TryFinishPut();
}

void TCustomFtpCli::PutFinalReply() {
    ShowLastReply();
    ParseInteger(LastResponse.c_str(), StatusCode);
    // A transfer this side broke ends with its fault whatever the server answers.
    if (TransferFault == 0 && StatusCode != 226 && StatusCode != 250) {
        FailTransfer("! STOR Failed");
        return;
    }
    TransferReplyDone = true;
    TryFinishPut();
}

void TCustomFtpCli::TryFinishPut() {
    if (IsLogged(loProtSpecDump)) LogDebugText(loProtSpecDump, "! Next3PutAsync");
    FinishTransferWhenDone(PutDataSessionDone);
}
