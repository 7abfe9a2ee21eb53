// Sending: the send queue of TBuffer blocks, its flush, and datagram sends.
#include <algorithm>
#include <mutex>

#include "ftp/winsock_binding.h"
#include "ftp/wsocket.h"
#include "ftp/wsocket_unit.h"
#include "platform/messages/message_queue.h"

namespace {

// Marks a running flush for the life of one FlushSendQueue call.
struct FlushingScope {
    explicit FlushingScope(bool& flag) : Flag(flag) { Flag = true; }
    ~FlushingScope() { Flag = false; }
    FlushingScope(const FlushingScope&) = delete;
    FlushingScope& operator=(const FlushingScope&) = delete;
    bool& Flag;
};

bool BreaksConnection(int error) {
    return error == ws::WSAENOTCONN || error == ws::WSAECONNRESET || error == ws::WSAENOTSOCK ||
           error == ws::WSAEINVAL || error == ws::WSAECONNABORTED;
}

}  // namespace

int TCustomWSocket::Send(const void* Data, int Len) {
    if (FState != wsConnected && FState != wsSocksConnected) {
        WSocket::WSASetLastError(ws::WSAENOTCONN);
        RaiseSocketError("Send");
        return -1;
    }
    FAllSent = false;
    int result = 0;
    if (Len > 0) {
        const char* bytes = static_cast<const char*>(Data);
        int left = Len;
        // With nothing queued ahead of them, the system takes what it can straight from
        // the caller's bytes: only the rest is copied into the queue. A refusal other than
        // a full buffer is handled at once (SendRefused), as the flush would handle it.
        int sentAtOnce = 0;
        int refusal = 0;
        if (FType == ws::SOCK_STREAM && !FFlushing && FHSocket != ws::INVALID_SOCKET && BufferedByteCount() == 0) {
            const int sent = RealSend(bytes, left);
            if (sent > 0) {
                sentAtOnce = sent;
                bytes += sent;
                left -= sent;
            } else if (sent < 0 && WSocket::WSAGetLastError() != ws::WSAEWOULDBLOCK) {
                refusal = WSocket::WSAGetLastError();
            }
        }
        QueueSendData(bytes, left);
        result = Len;
        if (refusal != 0) {
            SendRefused(refusal);
            return result;
        }
        // Told once the rest is queued, so that a handler that sends more comes after it.
        if (sentAtOnce > 0) TriggerSendData(sentAtOnce);
    }
    if (!FAllSent) FlushSendQueue();
    // Everything went out at once: OnDataSent follows through FD_WRITE. Nothing is
    // posted for a socket that the flush found broken and closed.
    if (FAllSent && FHSocket != ws::INVALID_SOCKET) PostSelectEvent(ws::FD_WRITE);
    return result;
}

int TCustomWSocket::SendStr(const std::string& Str) {
    if (Str.empty()) return 0;
    return Send(Str.data(), static_cast<int>(Str.size()));
}

int TCustomWSocket::SendTo(const ws::sockaddr_in& Dest, int DestLen, const void* Data, int Len) {
    ws::sockaddr_in target = Dest;
    const int result = WSocket::sendto(FHSocket, static_cast<const char*>(Data), Len, FSendFlags,
                                       reinterpret_cast<const ws::sockaddr*>(&target), DestLen);
    if (result > 0) {
        TriggerSendData(result);
        if (FAllSent && FType == ws::SOCK_DGRAM && FHSocket != ws::INVALID_SOCKET) PostSelectEvent(ws::FD_WRITE);
    }
    return result;
}

void TCustomWSocket::PostSelectEvent(WORD Event) {
    PostMessageA(FWindowHandle, WM_ASYNCSELECT, static_cast<WPARAM>(FHSocket), ws::WSAMAKESELECTREPLY(Event, 0));
}

void TCustomWSocket::QueueSendData(const void* Data, int Len) {
    if (Len <= 0 || !Data) return;
    std::lock_guard<std::recursive_mutex> guard(SendQueueLock());
    if (FBufList.empty()) FBufList.push_back(std::make_unique<TBuffer>(FBufSize));
    FBufferedByteCount += Len;
    const char* bytes = static_cast<const char*>(Data);
    std::int32_t remaining = Len;
    std::int32_t written = FBufList.back()->Write(bytes, remaining);
    for (;;) {
        bytes += written;
        remaining -= written;
        if (remaining <= 0) break;
        FBufList.push_back(std::make_unique<TBuffer>(FBufSize));
        written = FBufList.back()->Write(bytes, remaining);
    }
    FAllSent = false;
}

void TCustomWSocket::FlushSendQueue() {
    // A flush started from an event of the running flush does nothing: the running one
    // goes on with whatever has been queued meanwhile, so no byte is sent twice.
    if (FFlushing) return;
    {
        std::lock_guard<std::recursive_mutex> guard(SendQueueLock());
        if (FHSocket == ws::INVALID_SOCKET || FBufList.empty()) {
            FAllSent = true;
            return;
        }
    }
    FlushingScope flushing(FFlushing);
    const ws::SOCKET handle = FHSocket;
    for (;;) {
        // An event handler may have closed, replaced or aborted the socket.
        if (FHSocket != handle) return;
        const char* data = nullptr;
        std::int32_t count = 0;
        {
            std::lock_guard<std::recursive_mutex> guard(SendQueueLock());
            if (FBufList.empty()) {
                FAllSent = true;
                return;
            }
            data = FBufList.front()->Peek(count);
            if (count == 0) {
                if (FBufList.size() == 1) {
                    FAllSent = true;
                    return;
                }
                FBufList.pop_front();
                continue;
            }
        }
        const int sent = RealSend(data, count);
        if (sent == 0) return;
        if (sent < 0) {
            const int error = WSocket::WSAGetLastError();
            if (error != ws::WSAEWOULDBLOCK) SendRefused(error);  // else FD_WRITE brings the rest
            return;
        }
        {
            std::lock_guard<std::recursive_mutex> guard(SendQueueLock());
            FBufferedByteCount = std::max(0, FBufferedByteCount - sent);
            FBufList.front()->Remove(sent);
        }
        // Only now, with the bytes out of the queue, may a handler send more.
        TriggerSendData(sent);
        // A partial send means the system's buffer is full. The loop goes on all the
        // same: the next attempt either takes more or fails with WSAEWOULDBLOCK, and
        // only that failure re-arms FD_WRITE; stopping here would wait for an FD_WRITE
        // that never comes.
    }
}

void TCustomWSocket::SendRefused(int Error) {
    if (BreaksConnection(Error)) {
        if (CheckLogOptions(loWsockInfo))
            DebugLog(loWsockInfo, Name + " Winsock Send failed - " + FormatSocketError(Error));
        FCloseInvoked = true;
        Close();
        TriggerSessionClosed(static_cast<std::uint16_t>(Error));
        return;
    }
    WSocket::WSASetLastError(Error);
    RaiseSocketError("TryToSend failed");
}

int TCustomWSocket::RealSend(const void* Data, int Len) {
    if (FType == ws::SOCK_DGRAM)
        return WSocket::sendto(FHSocket, static_cast<const char*>(Data), Len, FSendFlags,
                               reinterpret_cast<const ws::sockaddr*>(&RemoteSockAddr), sizeof RemoteSockAddr);
    return WSocket::send(FHSocket, static_cast<const char*>(Data), Len, FSendFlags);
}

void TCustomWSocket::DeleteBufferedData() {
    std::lock_guard<std::recursive_mutex> guard(SendQueueLock());
    FBufList.clear();
    FBufferedByteCount = 0;
}

std::int32_t TCustomWSocket::BufferedByteCount() const {
    std::lock_guard<std::recursive_mutex> guard(SendQueueLock());
    return FBufferedByteCount;
}

void TCustomWSocket::Flush() {
    if (FFlushing) return;  // from an event of the running flush: it goes on by itself
    while (FHSocket != ws::INVALID_SOCKET && !FAllSent) {
        FlushSendQueue();
        PumpSocketMessages();
    }
}

TSocketSendFlags TCustomWSocket::SendFlags() {
    if (FSendFlags == 0) return wsSendNormal;
    if (FSendFlags == ws::MSG_OOB) return wsSendUrgent;
    RaiseSocketException("Invalid internal SendFlags");
    return wsSendNormal;
}

void TCustomWSocket::SetSendFlags(TSocketSendFlags Value) {
    switch (Value) {
    case wsSendNormal:
        FSendFlags = 0;
        break;
    case wsSendUrgent:
        FSendFlags = ws::MSG_OOB;
        break;
    default:
        RaiseSocketException("Invalid SendFlags");
        break;
    }
}

void TCustomWSocket::TriggerSendData(std::int32_t BytesSent) {
    if (OnSendData && !Destroying()) OnSendData(this, BytesSent);
}

std::int64_t TCustomWSocket::BytesTakenByPeer() {
    if (FHSocket == ws::INVALID_SOCKET || FType != ws::SOCK_STREAM) return -1;
    DWORD version = 0;
    ws::TCP_INFO_v0 info{};
    DWORD returned = 0;
    if (WSocket::CountedWSAIoctl(FHSocket, ws::SIO_TCP_INFO, &version, sizeof version, &info, sizeof info, &returned,
                                 nullptr, nullptr) != 0)
        return -1;
    const std::int64_t taken = static_cast<std::int64_t>(info.BytesOut) - info.BytesRetrans - info.BytesInFlight;
    return taken < 0 ? 0 : taken;
}
