// The SOCKS 4, 4A and 5 client of the socket family: the settings, the requests, and
// the replies read in the socket's own data events.
#include "ftp/socks_wsocket.h"

#include <algorithm>
#include <cstring>

#include "ftp/name_resolution.h"
#include "ftp/winsock_binding.h"

namespace {

std::string UpperAscii(std::string Text) {
    for (char& ch : Text)
        if (ch >= 'a' && ch <= 'z') ch = static_cast<char>(ch - 'a' + 'A');
    return Text;
}

void AppendPort(std::string& Request, std::int32_t Port) {
    Request += static_cast<char>((Port >> 8) & 0xFF);
    Request += static_cast<char>(Port & 0xFF);
}

// The longest text that a one-byte length field of a SOCKS5 request can carry.
constexpr std::size_t kSocks5FieldLimit = 255;

}  // namespace

TCustomSocksWSocket::TCustomSocksWSocket() {
    ResetSocksDefaults();
}

TCustomSocksWSocket::~TCustomSocksWSocket() {
    BeginDestruction();
}

void TCustomSocksWSocket::ResetSocksDefaults() {
    FSocksState = kSocksIdle;
    FSocksServer.clear();
    FSocksPort.clear();
    FSocksLevel = "5";
    FSocksLeftCount = 0;
    FSocksLeftPosition = 0;
    FSocksServerSet = false;
    FSocksPortSet = false;
}

void TCustomSocksWSocket::ResetDefaults() {
    TCustomWSocket::ResetDefaults();
    ResetSocksDefaults();
}

// ---------------------------------------------------------------------------
// Settings

void TCustomSocksWSocket::SetSocksLevel(const std::string& Value) {
    if (FState != wsClosed) {
        RaiseSocketException("Can't change socks level if not closed");
        return;
    }
    if (Value != "4" && Value != "5" && Value != "4A" && Value != "4a") {
        RaiseSocketException("Invalid socks level. Must be 4, 4A or 5.");
        return;
    }
    FSocksLevel = UpperAscii(Value);
}

void TCustomSocksWSocket::SetSocksServer(const std::string& Value) {
    if (FState != wsClosed) {
        RaiseSocketException("Can't change socks server if not closed");
        return;
    }
    FSocksServer = TrimBlanks(Value);
    FSocksServerSet = !FSocksServer.empty();
}

void TCustomSocksWSocket::SetSocksPort(const std::string& Value) {
    if (FState != wsClosed) {
        RaiseSocketException("Can't change socks port if not closed");
        return;
    }
    FSocksPort = TrimBlanks(Value);
    FSocksPortSet = !FSocksPort.empty();
}

// ---------------------------------------------------------------------------
// Connect and listen

void TCustomSocksWSocket::Connect() {
    if (!FSocksServerSet) {
        TCustomWSocket::Connect();
        return;
    }
    const std::string proto = AsciiLowerCase(TrimBlanks(FProtoStr));
    if (proto != "tcp" && proto != "6") {
        RaiseSocketException("TCP is the only protocol supported thru socks server");
        return;
    }
    try {
        // The plain connect reaches the proxy in place of the destination.
        if (!FPortResolved) {
            RemoteSockAddr.sin_port = WSocket::htons(ResolvePort(FSocksPort, FProtoStr));
            FPortResolved = true;
        }
        if (!FAddrResolved) {
            RemoteSockAddr.sin_addr.s_addr = ResolveHost(FSocksServer);
            FAddrResolved = true;
        }
        // The requests carry the destination port.
        FPortNum = ResolvePort(FPortStr, FProtoStr);
    } catch (const std::exception& E) {
        RaiseSocketException(std::string("Connect: ") + E.what());
        return;
    }
    // A SOCKS5 request gives each text a one-byte length.
    if (!SocksLevel4()) {
        if (FAddrStr.size() > kSocks5FieldLimit) {
            RaiseSocketException("Connect: host name too long for the socks server");
            return;
        }
        if (SocksAuthentication == socksAuthenticateUsercode &&
            (SocksUsercode.size() > kSocks5FieldLimit || SocksPassword.size() > kSocks5FieldLimit)) {
            RaiseSocketException("Connect: socks user code or password too long");
            return;
        }
    }
    FSocksState = kSocksWaitMethod;
    FSocksReplyCount = 0;
    FSocksLeftCount = 0;
    FBoundAddress.clear();
    FBoundPort.clear();
    // A connect that fails at once leaves no negotiation behind.
    const std::uint32_t failures = FFailureReports;
    try {
        TCustomWSocket::Connect();
    } catch (...) {
        FSocksState = kSocksIdle;
        throw;
    }
    if (FFailureReports != failures) FSocksState = kSocksIdle;
}

void TCustomSocksWSocket::Listen() {
    if (FSocksServerSet) {
        RaiseSocketException("Listening is not supported thru socks server");
        return;
    }
    TCustomWSocket::Listen();
}

// ---------------------------------------------------------------------------
// Receiving: bytes that followed the connect reply come first

std::int32_t TCustomSocksWSocket::GetRcvdCount() {
    if (FSocksLeftCount > 0) return FSocksLeftCount;
    return TCustomWSocket::GetRcvdCount();
}

int TCustomSocksWSocket::DoRecv(void* Buffer, int BufferSize, int Flags) {
    if (FSocksLeftCount > 0) {
        const int n = std::max(0, std::min(BufferSize, FSocksLeftCount));
        if (n > 0) std::memcpy(Buffer, FSocksReply + FSocksLeftPosition, static_cast<std::size_t>(n));
        FSocksLeftPosition += n;
        FSocksLeftCount -= n;
        return n;
    }
    return TCustomWSocket::DoRecv(Buffer, BufferSize, Flags);
}

// ---------------------------------------------------------------------------
// The negotiation

void TCustomSocksWSocket::SessionConnectedHook(std::uint16_t ErrCode) {
    if (FSocksState != kSocksWaitMethod) {
        TCustomWSocket::SessionConnectedHook(ErrCode);
        return;
    }
    TriggerSocksConnected(ErrCode);
    if (ErrCode != 0) {
        // The proxy cannot be reached: reported once, and nothing is sent.
        FSocksState = kSocksIdle;
        TCustomWSocket::SessionConnectedHook(ErrCode);
        return;
    }
    if (FSocksState != kSocksWaitMethod) return;  // a handler closed the socket
    if (SocksLevel4()) {
        SendConnectRequest();
        return;
    }
    FSocksAuthMethod = SocksAuthentication == socksAuthenticateUsercode ? 2 : 0;
    std::string request;
    request += '\x05';
    request += '\x01';
    request += static_cast<char>(FSocksAuthMethod);
    SendRequest(request);
}

void TCustomSocksWSocket::SendRequest(const std::string& Request) {
    try {
        SendStr(Request);
    } catch (const std::exception&) {
        // The broken connection closes the socket, which ends the negotiation.
    }
}

void TCustomSocksWSocket::SendAuthRequest() {
    FSocksState = kSocksWaitAuth;
    TriggerSocksAuthState(socksAuthStart);
    if (FSocksState != kSocksWaitAuth) return;
    std::string request;
    request += '\x01';
    request += static_cast<char>(SocksUsercode.size());
    request += SocksUsercode;
    request += static_cast<char>(SocksPassword.size());
    request += SocksPassword;
    SendRequest(request);
}

void TCustomSocksWSocket::SendConnectRequest() {
    FSocksState = kSocksWaitConnect;
    std::string request;
    if (SocksLevel4()) {
        request += '\x04';
        request += '\x01';
        AppendPort(request, FPortNum);
        ws::u_long address = 0;
        if (FSocksLevel == "4A") {
            address = WSocket::htonl(1);  // 0.0.0.1: the proxy resolves the name
        } else {
            try {
                address = ResolveHost(FAddrStr);
            } catch (const std::exception& E) {
                const char* kind = dynamic_cast<const ESocketException*>(&E) ? "ESocketException" : "Exception";
                TriggerSocksError(socksHostResolutionFailed, std::string(kind) + " " + E.what());
                InternalClose(true, socksHostResolutionFailed);
                return;
            }
        }
        char bytes[4];
        std::memcpy(bytes, &address, sizeof bytes);
        request.append(bytes, sizeof bytes);
        request += SocksUsercode;
        request += '\0';
        if (FSocksLevel == "4A") {
            request += FAddrStr;
            request += '\0';
        }
    } else {
        request += '\x05';
        request += '\x01';
        request += '\x00';
        request += '\x03';  // a domain name
        request += static_cast<char>(FAddrStr.size());
        request += FAddrStr;
        AppendPort(request, FPortNum);
    }
    SendRequest(request);
}

bool TCustomSocksWSocket::ReadReply(int Limit) {
    const int room = Limit - FSocksReplyCount;
    if (room <= 0) return true;
    const int n = Receive(FSocksReply + FSocksReplyCount, room);
    if (n < 0) return false;
    FSocksReplyCount += n;
    return true;
}

bool TCustomSocksWSocket::TriggerDataAvailable(std::uint16_t ErrCode) {
    if (FSocksState == kSocksIdle) return TCustomWSocket::TriggerDataAvailable(ErrCode);
    if (ErrCode != 0) {
        SocksError(ErrCode, "data receive error");
        return false;
    }
    switch (FSocksState) {
    case kSocksWaitMethod:
        return HandleMethodReply();
    case kSocksWaitAuth:
        return HandleAuthReply();
    case kSocksWaitConnect:
        return SocksLevel4() ? HandleSocks4Reply() : HandleSocks5Reply();
    default:
        SocksError(socksInternalError, "internal error");
        return false;
    }
}

bool TCustomSocksWSocket::HandleMethodReply() {
    if (!ReadReply(kReplyAreaSize)) return true;
    if (SocksLevel4()) {
        SocksError(socksProtocolError, "TWSocket logic error");
        return true;
    }
    if (FSocksReplyCount < 2) return true;
    FSocksReplyCount = 0;
    if (FSocksReply[0] != 5) {
        SocksError(socksVersionError, "socks version error");
        return true;
    }
    switch (FSocksReply[1]) {
    case 0:
        if (FSocksAuthMethod == 2) {
            TriggerSocksAuthState(socksAuthNotRequired);
            if (FSocksState != kSocksWaitMethod) return true;
        }
        SendConnectRequest();
        break;
    case 2:
        SendAuthRequest();
        break;
    default:
        SocksError(socksAuthMethodError, "authentification method not acceptable");
        break;
    }
    return true;
}

bool TCustomSocksWSocket::HandleAuthReply() {
    if (!ReadReply(kReplyAreaSize)) return true;
    if (FSocksReplyCount < 1) return true;
    if (FSocksReply[0] != 1) {
        SocksError(socksVersionError, "socks version error");
        return true;
    }
    if (FSocksReplyCount < 2) return true;
    if (FSocksReplyCount > 2) {
        SocksError(socksProtocolError, "too much data availaible");
        return true;
    }
    if (FSocksReply[1] != 0) {
        SocksError(socksAuthenticationFailed, "socks authentication failed");
        return true;
    }
    FSocksReplyCount = 0;
    TriggerSocksAuthState(socksAuthSuccess);
    if (FSocksState != kSocksWaitAuth) return true;
    SendConnectRequest();
    return true;
}

bool TCustomSocksWSocket::HandleSocks4Reply() {
    if (!ReadReply(8)) return true;
    if (FSocksReplyCount < 8) return true;
    FSocksReplyCount = 0;
    if (FSocksReply[0] != 0) {
        SocksError(socksVersionError, "socks version error");
        return true;
    }
    switch (FSocksReply[1]) {
    case 90:
        return NegotiationDone();
    case 91:
        SocksError(socksRejectedOrFailed, "request rejected or failed");
        break;
    case 92:
        SocksError(socksConnectionRefused, "connection refused");
        break;
    case 93:
        SocksError(socksAuthenticationFailed, "authentification failed");
        break;
    default:
        SocksError(socksUnassignedError, "unassigned error #" + IntToStr(FSocksReply[1]));
        break;
    }
    return true;
}

bool TCustomSocksWSocket::HandleSocks5Reply() {
    if (!ReadReply(kReplyAreaSize)) return true;
    if (FSocksReplyCount >= 1 && FSocksReply[0] != 5) {
        SocksError(socksVersionError, "socks version error");
        return true;
    }
    if (FSocksReplyCount >= 2 && FSocksReply[1] != 0) {
        static const char* const texts[] = {
            "general SOCKS server failure", "connection not allowed by ruleset", "network unreachable",
            "host unreachable",             "connection refused",                "time to live expired",
            "command not supported",        "address type not supported",
        };
        const int reply = FSocksReply[1];
        if (reply >= 1 && reply <= 8)
            SocksError(socksGeneralFailure + reply - 1, texts[reply - 1]);
        else
            SocksError(socksUnassignedError, "unassigned error #" + IntToStr(reply));
        return true;
    }
    if (FSocksReplyCount < 5) return true;
    int length = 5;
    if (FSocksReply[3] == 1)
        length = 10;
    else if (FSocksReply[3] == 3)
        length = FSocksReply[4] + 7;
    if (FSocksReplyCount < length) return true;
    if (FSocksReply[3] == 1) {
        ws::in_addr address{};
        std::memcpy(&address.s_addr, FSocksReply + 4, sizeof address.s_addr);
        FBoundAddress = WSocket::inet_ntoa(address);
    } else if (FSocksReply[3] == 3) {
        FBoundAddress.assign(reinterpret_cast<const char*>(FSocksReply + 5), FSocksReply[4]);
    } else {
        SocksError(socksUnknownAddressType, "address type not supported");
        return true;
    }
    FBoundPort = IntToStr((FSocksReply[length - 2] << 8) | FSocksReply[length - 1]);
    FSocksLeftCount = FSocksReplyCount - length;
    FSocksLeftPosition = length;
    FSocksReplyCount = 0;
    return NegotiationDone();
}

bool TCustomSocksWSocket::NegotiationDone() {
    FSocksState = kSocksIdle;
    const ws::SOCKET handle = FHSocket;
    SessionConnectedHook(0);
    // Deliver what came with the reply; stop when a pass takes nothing of it.
    bool result = true;
    for (;;) {
        if (FHSocket != handle || handle == ws::INVALID_SOCKET || FSocksState != kSocksIdle) break;
        const std::int32_t before = FSocksLeftCount;
        result = TriggerDataAvailable(0);
        if (!result || FSocksLeftCount <= 0 || FSocksLeftCount >= before) break;
    }
    return result;
}

void TCustomSocksWSocket::SocksError(int Code, const std::string& Msg) {
    TriggerSocksError(Code, Msg);
    FSocksState = kSocksIdle;
    const auto code = static_cast<std::uint16_t>(Code);
    SessionConnectedHook(code);
    InternalClose(true, code);
}

void TCustomSocksWSocket::TriggerSessionClosed(std::uint16_t ErrCode) {
    if (FSocksState != kSocksIdle) {
        // The proxy went away during the negotiation: the application still gets its one
        // OnSessionConnected, with the close's error, before the close.
        const std::uint8_t state = FSocksState;
        FSocksState = kSocksIdle;
        if (state == kSocksWaitAuth) TriggerSocksAuthState(socksAuthFailure);
        TCustomWSocket::SessionConnectedHook(ErrCode != 0 ? ErrCode : static_cast<std::uint16_t>(ws::WSAECONNRESET));
    }
    TCustomWSocket::TriggerSessionClosed(ErrCode);
}

// ---------------------------------------------------------------------------
// Triggers

void TCustomSocksWSocket::TriggerSocksConnected(std::uint16_t ErrCode) {
    if (OnSocksConnected && !Destroying()) OnSocksConnected(this, ErrCode);
}

void TCustomSocksWSocket::TriggerSocksError(int Error, const std::string& Msg) {
    if (OnSocksError && !Destroying()) OnSocksError(this, Error, Msg);
}

void TCustomSocksWSocket::TriggerSocksAuthState(TSocksAuthState AuthState) {
    if (OnSocksAuthState && !Destroying()) OnSocksAuthState(this, AuthState);
}
