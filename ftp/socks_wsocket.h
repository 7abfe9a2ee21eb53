#pragma once
// TCustomSocksWSocket: lets a TCP socket reach its destination through a SOCKS proxy,
// version 4, 4A (the proxy resolves the host name) or 5 (without authentication, or with
// a user code and password). The negotiation runs inside the socket's own events; the
// application sees one OnSessionConnected when the tunnel is open or the negotiation
// has failed. Without a SOCKS server (the state after every reset) every operation
// passes through unchanged.
#include <cstdint>
#include <functional>
#include <string>

#include "ftp/wsocket.h"

enum TSocksAuthentication : std::uint8_t { socksNoAuthentication, socksAuthenticateUsercode };
// Progress of the SOCKS5 user code authentication.
enum TSocksAuthState : std::uint8_t {
    socksAuthStart,       // the request has been sent
    socksAuthSuccess,     // the proxy accepted it
    socksAuthFailure,     // the connection closed while authenticating
    socksAuthNotRequired  // the proxy chose no authentication although it was offered
};

using TSocksErrorEvent = std::function<void(TCustomWSocket* Sender, int Error, const std::string& Msg)>;
using TSocksAuthStateEvent = std::function<void(TCustomWSocket* Sender, TSocksAuthState AuthState)>;

// The codes of a failed negotiation (reported through OnSocksError and
// OnSessionConnected).
inline constexpr int socksProtocolError = 20001;
inline constexpr int socksVersionError = 20002;
inline constexpr int socksAuthMethodError = 20003;
inline constexpr int socksGeneralFailure = 20004;
inline constexpr int socksConnectionNotAllowed = 20005;
inline constexpr int socksNetworkUnreachable = 20006;
inline constexpr int socksHostUnreachable = 20007;
inline constexpr int socksConnectionRefused = 20008;
inline constexpr int socksTtlExpired = 20009;
inline constexpr int socksUnknownCommand = 20010;
inline constexpr int socksUnknownAddressType = 20011;
inline constexpr int socksUnassignedError = 20012;
inline constexpr int socksInternalError = 20013;
inline constexpr int socksAuthenticationFailed = 20015;
inline constexpr int socksRejectedOrFailed = 20016;
inline constexpr int socksHostResolutionFailed = 20017;

class TCustomSocksWSocket : public TCustomWSocket {
public:
    TCustomSocksWSocket();
    ~TCustomSocksWSocket() override;

    // "4", "4A" or "5" (stored upper-cased); only while closed.
    const std::string& SocksLevel() const { return FSocksLevel; }
    void SetSocksLevel(const std::string& Value);
    // The proxy; a non-empty server switches the SOCKS mode on. Only while closed.
    const std::string& SocksServer() const { return FSocksServer; }
    virtual void SetSocksServer(const std::string& Value);
    const std::string& SocksPort() const { return FSocksPort; }
    virtual void SetSocksPort(const std::string& Value);
    // Kept across resets: the SOCKS4 user id or SOCKS5 user name, and the password.
    std::string SocksUsercode;
    std::string SocksPassword;
    TSocksAuthentication SocksAuthentication = socksNoAuthentication;

    // The address and port that the SOCKS5 proxy bound for the tunnel.
    const std::string& BoundAddress() const { return FBoundAddress; }
    const std::string& BoundPort() const { return FBoundPort; }

    TSessionConnected OnSocksConnected;  // the TCP connection to the proxy is up (or failed)
    TSocksErrorEvent OnSocksError;
    TSocksAuthStateEvent OnSocksAuthState;

    void Connect() override;
    void Listen() override;

protected:
    void ResetDefaults() override;
    std::int32_t GetRcvdCount() override;
    bool TriggerDataAvailable(std::uint16_t ErrCode) override;
    void SessionConnectedHook(std::uint16_t ErrCode) override;
    void TriggerSessionClosed(std::uint16_t ErrCode) override;
    int DoRecv(void* Buffer, int BufferSize, int Flags) override;
    virtual void TriggerSocksConnected(std::uint16_t ErrCode);
    virtual void TriggerSocksError(int Error, const std::string& Msg);
    void TriggerSocksAuthState(TSocksAuthState AuthState);

    // True while a negotiation with the proxy is under way.
    bool SocksNegotiating() const { return FSocksState != 0; }

private:
    enum : std::uint8_t { kSocksIdle = 0, kSocksWaitMethod = 1, kSocksWaitAuth = 2, kSocksWaitConnect = 3 };

    void ResetSocksDefaults();
    bool SocksLevel4() const { return !FSocksLevel.empty() && FSocksLevel[0] == '4'; }
    void SendAuthRequest();
    void SendConnectRequest();
    // Sends a request; a failure to send is not reported here (the close that follows
    // a broken connection ends the negotiation).
    void SendRequest(const std::string& Request);
    void SocksError(int Code, const std::string& Msg);
    // Reads what waits into the reply area, at most up to Limit bytes held; false on
    // a read error.
    bool ReadReply(int Limit);
    bool HandleMethodReply();
    bool HandleAuthReply();
    bool HandleSocks4Reply();
    bool HandleSocks5Reply();
    bool NegotiationDone();

    // The longest reply is a SOCKS5 connect reply with a bound name of 255 bytes.
    static constexpr int kReplyAreaSize = 4 + 1 + 255 + 2;

    std::uint8_t FSocksState = kSocksIdle;
    std::string FSocksLevel = "5";
    std::string FSocksServer;
    std::string FSocksPort;
    bool FSocksPortSet = false;
    bool FSocksServerSet = false;
    std::uint8_t FSocksAuthMethod = 0;  // the SOCKS5 method offered: 0 or 2
    unsigned char FSocksReply[kReplyAreaSize] = {};
    std::int32_t FSocksReplyCount = 0;
    std::string FBoundAddress;
    std::string FBoundPort;
    std::int32_t FSocksLeftCount = 0;     // bytes that followed the connect reply
    std::int32_t FSocksLeftPosition = 0;  // where they start in the reply area
};
