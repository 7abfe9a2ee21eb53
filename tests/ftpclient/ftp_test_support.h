#pragma once
// Helpers of the FTP client tests (the waits and the peer process come from loopback/):
// a client that records its events, a scripted server made of the
// socket component (canned replies, sent in pieces when a test wants), and the loopback
// FTP server of ftp_test_server.py run as a separate process.
#include <gtest/gtest.h>

#include <cstdint>
#include <filesystem>
#include <functional>
#include <memory>
#include <string>
#include <utility>
#include <vector>

#include "ftp/ftp_client.h"
#include "loopback/message_waits.h"
#include "loopback/peer_process.h"
#include "platform/messages/win_types.h"

// Count pseudo-random bytes, the same for the same Seed.
std::string RandomBytes(std::size_t Count, unsigned Seed);
// The whole content of File (empty when it cannot be read); File := Bytes.
std::string ReadAll(const std::filesystem::path& File);
void WriteAll(const std::filesystem::path& File, const std::string& Bytes);

// Aims Client at 127.0.0.1:PortText with the user name and password it logs in with
// (none by default).
void PointAtLoopback(TCustomFtpCli& Client, const std::string& PortText, const std::string& User = "",
                     const std::string& Password = "");

// One request-done event: the request and its code.
using DoneEntry = std::pair<TFtpRequest, std::uint16_t>;

// The client under test, with its inner operations reachable and its events recorded.
class TestFtpClient : public TCustomFtpCli {
public:
    TestFtpClient();

    using TCustomFtpCli::StartCommand;
    using TCustomFtpCli::TriggerProgress;
    using TCustomFtpCli::SetRequestState;
    using TCustomFtpCli::ConnectionKind;
    using TCustomFtpCli::FileShareFlags;

    // Runs Start and waits for the request-done event it leads to; the code, or -1 when
    // none came in time.
    int Run(const std::function<void()>& Start, DWORD Milliseconds = 10000);
    // Waits for the greeting through StartOpen; true when the request ended with 0.
    bool Open(const std::string& Host, const std::string& PortText);

    // Chains Next as the step that runs when the current command ends with 0 (the way a
    // high-level request goes on); the chain is used once.
    void ChainNext(std::function<void()> Next);

    std::vector<DoneEntry> Done;                               // OnRequestDone
    std::vector<std::string> ResponsesAtDone;                 // LastResponse seen by OnRequestDone
    std::vector<std::string> Errors;                          // OnError
    std::vector<std::string> Display;                         // OnDisplay
    std::vector<std::uint16_t> SessionClosed;                 // OnSessionClosed
    int SessionConnected = 0;                                 // OnSessionConnected

protected:
    // Runs the chained step instead of the next step of a high-level request, once.
    void HighLevelAsync() override;

private:
    std::function<void()> FNext;
};

// One end of a scripted control connection: a listener on 127.0.0.1 and the accepted
// connection, which collects what the client sends.
class ScriptedServer {
public:
    ScriptedServer();
    std::string Port() { return FListener.GetBoundPort(); }
    bool WaitConnected(DWORD Milliseconds = 10000);
    // Sends raw bytes to the client.
    void Send(const std::string& Bytes);
    // The next line the client sent (without CR LF), or "<none>" after the deadline.
    std::string NextLine(DWORD Milliseconds = 10000);
    // True when the client has closed its end.
    bool WaitClosedByClient(DWORD Milliseconds = 10000);
    // Every byte received and not yet taken by NextLine.
    const std::string& Received() const { return FReceived; }
    void Hangup();
    TCustomWSocket* Peer() { return FPeer.get(); }

private:
    TCustomWSocket FListener;
    std::unique_ptr<TCustomWSocket> FPeer;
    std::string FReceived;
    bool FClosedByClient = false;
};

// Connects Client to a new scripted server and lets it greet with "220 Ready".
void OpenScripted(TestFtpClient& Client, ScriptedServer& Server);

// The FTP server of ftp_test_server.py, started on a free loopback port for one test
// and stopped (by its own process id) at the end. Reason() says why it could not start.
class LoopbackFtpServer {
public:
    LoopbackFtpServer() = default;
    ~LoopbackFtpServer();
    LoopbackFtpServer(const LoopbackFtpServer&) = delete;
    LoopbackFtpServer& operator=(const LoopbackFtpServer&) = delete;

    bool Start(const std::vector<std::string>& ExtraArgs = {});
    void Stop();
    const std::string& Port() const { return FPort; }
    const std::string& Reason() const { return FReason; }
    // The folder the server serves.
    std::filesystem::path Root() const { return FFolder.Path() / "root"; }

private:
    std::string LogText() const;

    TempFolder FFolder;
    PeerProcess FProcess;
    std::string FPort;
    std::string FReason;
};

// Every test starts and ends with no socket alive and Windows Sockets unloaded.
class FtpClientTest : public ::testing::Test {
protected:
    void SetUp() override;
    void TearDown() override;
};
