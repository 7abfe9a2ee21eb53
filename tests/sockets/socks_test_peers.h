#pragma once
// Peers of the SOCKS tests: external proxy servers started on loopback with their own
// configuration in a temporary folder, a proxy scripted by the test itself, and a
// socket that counts the bytes it reads from the network.
#include <filesystem>
#include <string>
#include <vector>

#include "ftp/sync_wsocket.h"
#include "loopback/peer_process.h"
#include "sockets/socket_test_support.h"

// A SOCKS server program running on loopback for one test. Reason() says why it could
// not be started (the test then skips with that text).
class SocksServerPeer {
public:
    // microsocks (SOCKS 5), with user and password when both are given.
    static bool StartMicrosocks(SocksServerPeer& Peer, const std::string& User = "", const std::string& Password = "");
    // dante-server (SOCKS 4): connections to 127.0.0.1 are passed, except to
    // BlockedPort, which the rules refuse.
    static bool StartDante(SocksServerPeer& Peer, const std::string& BlockedPort);

    const std::string& Port() const { return FPort; }
    const std::string& Reason() const { return FReason; }
    std::string LogText() const;

private:
    TempFolder FFolder;
    PeerProcess FProcess;
    std::string FPort;
    std::string FReason;
    std::filesystem::path FLog;
};

// A socket that counts the bytes it reads (from the network or from held data).
class TracedSocket : public TWSocket {
public:
    std::int64_t BytesRead = 0;
    using TCustomLineWSocket::HeldByteCount;

protected:
    int DoRecv(void* Buffer, int BufferSize, int Flags) override {
        const int n = TWSocket::DoRecv(Buffer, BufferSize, Flags);
        if (n > 0) BytesRead += n;
        return n;
    }
};

// A proxy played by the test: it accepts connections, keeps what it receives, and
// sends what the test tells it to.
class ScriptedProxy {
public:
    ScriptedProxy();
    std::string Port() { return FServer.Port(); }
    // Waits until Count bytes have been received and not yet taken.
    bool WaitReceived(std::size_t Count, DWORD Milliseconds = 10000);
    // Takes the first Count received bytes.
    std::string Take(std::size_t Count);
    const std::string& Received() const { return FReceived; }
    // Sends Bytes to the client in one piece.
    void Reply(const std::string& Bytes);
    // Sends Bytes one at a time, each once Client has read the one before.
    void ReplyByteByByte(const std::string& Bytes, TracedSocket& Client);
    void CloseConnection();
    bool Connected() { return FServer.PeerCount() > 0 && FServer.Peer()->State() == wsConnected; }

private:
    LoopbackServer FServer;
    std::string FReceived;
};

// Everything the application hears from a socket that goes through a proxy, in order;
// the data it reads is kept too.
struct SocksLog {
    explicit SocksLog(TWSocket& Socket);
    SocksLog(const SocksLog&) = delete;
    SocksLog& operator=(const SocksLog&) = delete;

    std::vector<std::string> Events;
    std::vector<int> Connected;
    std::vector<int> Closed;
    std::vector<int> Errors;
    std::vector<int> AuthStates;
    std::string Data;
    int Sends = 0;
};

// Connects Client to Host:Port through the SOCKS proxy on 127.0.0.1:ProxyPort.
void ConnectThroughProxy(TWSocket& Client, const std::string& ProxyPort, const std::string& Level,
                         const std::string& Host, const std::string& Port);
// Makes Client offer SOCKS5 user code and password authentication.
void UseUsercode(TWSocket& Client, const std::string& Usercode, const std::string& Password);

// Bytes from a list of values (for request and reply texts with zero bytes).
std::string Bytes(std::initializer_list<int> Values);
// A port in network order as two bytes.
std::string PortBytes(int Port);
