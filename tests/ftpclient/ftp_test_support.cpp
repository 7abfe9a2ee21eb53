#include "ftpclient/ftp_test_support.h"

#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <spawn.h>
#include <stdlib.h>
#include <sys/syscall.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <fstream>
#include <sstream>

#include "ftp/tick_deadline.h"
#include "ftp/winsock_binding.h"
#include "platform/messages/message_queue.h"
#include "platform/messages/ticks.h"
#include "platform/winsock/winsock_testing.h"

extern char** environ;

bool WaitFor(const std::function<bool()>& Condition, DWORD Milliseconds) {
    const DWORD deadline = TickDeadline(GetTickCount(), Milliseconds);
    while (!Condition()) {
        const DWORD now = GetTickCount();
        if (TickDeadlineReached(now, deadline)) return Condition();
        MsgWaitForMultipleObjects(0, nullptr, FALSE, std::min<DWORD>(TickRemaining(now, deadline), 100),
                                  QS_ALLINPUT);
        PumpWaitingMessages();
    }
    return true;
}

void DrainMessages(DWORD QuietMilliseconds) {
    const DWORD deadline = TickDeadline(GetTickCount(), 5000);
    while (!TickDeadlineReached(GetTickCount(), deadline)) {
        if (MsgWaitForMultipleObjects(0, nullptr, FALSE, QuietMilliseconds, QS_ALLINPUT) == WAIT_TIMEOUT) return;
        PumpWaitingMessages();
    }
}

std::string ClosedLoopbackPort() {
    TCustomWSocket probe;
    probe.SetAddr("127.0.0.1");
    probe.SetPort("0");
    probe.Listen();
    std::string port = probe.GetBoundPort();
    probe.Close();
    return port;
}

// ---------------------------------------------------------------------------
// The recording client

TestFtpClient::TestFtpClient() {
    OnRequestDone = [this](TCustomFtpCli*, TFtpRequest RqType, std::uint16_t ErrCode) {
        Done.emplace_back(RqType, ErrCode);
        ResponsesAtDone.push_back(LastResponse);
    };
    OnError = [this](TCustomFtpCli*, std::string& Msg) { Errors.push_back(Msg); };
    OnDisplay = [this](TCustomFtpCli*, std::string& Msg) { Display.push_back(Msg); };
    OnSessionClosed = [this](TCustomFtpCli*, std::uint16_t ErrCode) { SessionClosed.push_back(ErrCode); };
    OnSessionConnected = [this](TCustomFtpCli*, std::uint16_t) { ++SessionConnected; };
}

int TestFtpClient::Run(const std::function<void()>& Start, DWORD Milliseconds) {
    const std::size_t before = Done.size();
    Start();
    if (!WaitFor([&] { return Done.size() > before; }, Milliseconds)) return -1;
    return Done.back().second;
}

bool TestFtpClient::Open(const std::string& Host, const std::string& PortText) {
    HostName = Host;
    Port = PortText;
    return Run([this] { StartOpen(); }) == 0;
}

void TestFtpClient::ChainNext(std::function<void()> Next) {
    FNext = std::move(Next);
    StepContinuation = static_cast<TFtpNextProc>(&TestFtpClient::RunChained);
}

void TestFtpClient::RunChained() {
    StepContinuation = nullptr;
    std::function<void()> next = std::move(FNext);
    FNext = nullptr;
    if (next) next();
}

// ---------------------------------------------------------------------------
// Scripted server

ScriptedServer::ScriptedServer() {
    FListener.SetProto("tcp");
    FListener.SetAddr("127.0.0.1");
    FListener.SetPort("0");
    FListener.OnSessionAvailable = [this](TCustomWSocket* Sender, std::uint16_t) {
        const ws::SOCKET handle = Sender->Accept();
        if (handle == ws::INVALID_SOCKET || FPeer) return;
        FPeer = std::make_unique<TCustomWSocket>();
        FPeer->LingerOnOff = wsLingerOff;  // an orderly close when the test hangs up
        FPeer->OnDataAvailable = [this](TCustomWSocket* Peer, std::uint16_t) {
            char buffer[4096];
            for (;;) {
                const int n = Peer->Receive(buffer, sizeof buffer);
                if (n <= 0) break;
                FReceived.append(buffer, static_cast<std::size_t>(n));
            }
        };
        FPeer->OnSessionClosed = [this](TCustomWSocket*, std::uint16_t) { FClosedByClient = true; };
        FPeer->Dup(handle);
    };
    FListener.Listen();
}

bool ScriptedServer::WaitConnected(DWORD Milliseconds) {
    return WaitFor([this] { return FPeer && FPeer->State() == wsConnected; }, Milliseconds);
}

void ScriptedServer::Send(const std::string& Bytes) {
    ASSERT_TRUE(FPeer);
    ASSERT_EQ(FPeer->SendStr(Bytes), static_cast<int>(Bytes.size()));
}

std::string ScriptedServer::NextLine(DWORD Milliseconds) {
    if (!WaitFor([this] { return FReceived.find("\r\n") != std::string::npos; }, Milliseconds)) return "<none>";
    const std::size_t end = FReceived.find("\r\n");
    std::string line = FReceived.substr(0, end);
    FReceived.erase(0, end + 2);
    return line;
}

bool ScriptedServer::WaitClosedByClient(DWORD Milliseconds) {
    return WaitFor([this] { return FClosedByClient; }, Milliseconds);
}

void ScriptedServer::Hangup() {
    if (FPeer) FPeer->Close();
}

void OpenScripted(TestFtpClient& Client, ScriptedServer& Server) {
    Client.HostName = "127.0.0.1";
    Client.Port = Server.Port();
    const std::size_t before = Client.Done.size();
    Client.StartOpen();
    ASSERT_TRUE(Server.WaitConnected());
    Server.Send("220 Ready\r\n");
    ASSERT_TRUE(WaitFor([&] { return Client.Done.size() > before; }));
    ASSERT_EQ(Client.Done.back().second, 0);
}

// ---------------------------------------------------------------------------
// Temporary folder and the loopback FTP server

TempFolder::TempFolder() {
    std::string pattern = (std::filesystem::temp_directory_path() / "ftp_client_XXXXXX").string();
    if (mkdtemp(pattern.data())) FPath = pattern;
}

TempFolder::~TempFolder() {
    std::error_code ignored;
    if (!FPath.empty()) std::filesystem::remove_all(FPath, ignored);
}

LoopbackFtpServer::~LoopbackFtpServer() {
    Stop();
}

std::string LoopbackFtpServer::LogText() const {
    std::ifstream in(FFolder.Path() / "server.log");
    std::stringstream text;
    text << in.rdbuf();
    return text.str();
}

bool LoopbackFtpServer::Running() {
    if (FPid <= 0) return false;
    int status = 0;
    if (waitpid(FPid, &status, WNOHANG) == FPid) {
        FPid = -1;
        return false;
    }
    return true;
}

bool LoopbackFtpServer::Start(const std::vector<std::string>& ExtraArgs) {
    const std::string python = "/usr/bin/python3";
    const std::filesystem::path script = std::filesystem::path(__FILE__).parent_path() / "ftp_test_server.py";
    if (access(python.c_str(), X_OK) != 0) {
        FReason = "/usr/bin/python3 is not installed (scripts/setup installs python3-pyftpdlib)";
        return false;
    }
    std::error_code error;
    std::filesystem::create_directories(Root(), error);
    FPort = ClosedLoopbackPort();
    std::vector<std::string> words{python, script.string(), "--port", FPort, "--root", Root().string()};
    words.insert(words.end(), ExtraArgs.begin(), ExtraArgs.end());
    std::vector<char*> argv;
    for (std::string& word : words) argv.push_back(word.data());
    argv.push_back(nullptr);
    const std::string log = (FFolder.Path() / "server.log").string();
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_addopen(&actions, 0, "/dev/null", O_RDONLY, 0);
    posix_spawn_file_actions_addopen(&actions, 1, log.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
    posix_spawn_file_actions_adddup2(&actions, 1, 2);
    pid_t pid = -1;
    const int rc = posix_spawn(&pid, python.c_str(), &actions, nullptr, argv.data(), environ);
    posix_spawn_file_actions_destroy(&actions);
    if (rc != 0) {
        FReason = "the FTP test server could not be started";
        return false;
    }
    FPid = pid;
    // Waits until the server accepts connections, the process ends, or the deadline passes.
    const DWORD deadline = TickDeadline(GetTickCount(), 15000);
    while (!TickDeadlineReached(GetTickCount(), deadline)) {
        if (!Running()) break;
        TCustomWSocket probe;
        int result = -1;
        probe.OnSessionConnected = [&](TCustomWSocket*, std::uint16_t Err) { result = Err; };
        probe.SetAddr("127.0.0.1");
        probe.SetPort(FPort);
        probe.Connect();
        WaitFor([&] { return result >= 0; }, 2000);
        if (result == 0) return true;
        MsgWaitForMultipleObjects(0, nullptr, FALSE, 20, QS_ALLINPUT);
    }
    FReason = "the FTP test server (python3-pyftpdlib) did not start: " + LogText();
    Stop();
    return false;
}

void LoopbackFtpServer::Stop() {
    if (FPid <= 0) return;
    // Waits for the end of the process through a descriptor that becomes readable when
    // it ends, so the wait has a deadline.
    const int pidFd = static_cast<int>(syscall(SYS_pidfd_open, FPid, 0));
    kill(FPid, SIGTERM);
    bool ended = false;
    if (pidFd >= 0) {
        pollfd entry{pidFd, POLLIN, 0};
        ended = poll(&entry, 1, 5000) == 1;
        close(pidFd);
    }
    if (!ended) kill(FPid, SIGKILL);
    int status = 0;
    waitpid(FPid, &status, 0);
    FPid = -1;
}

// ---------------------------------------------------------------------------
// Fixture

void FtpClientTest::SetUp() {
    ws::testing::ClearInjections();
    ASSERT_EQ(WinsockUseCount(), 0);
}

void FtpClientTest::TearDown() {
    ws::testing::ClearInjections();
    // Lets posted messages of destroyed windows and pending lookups die away.
    ws::testing::WaitForLookupsIdle(5000);
    EXPECT_EQ(WinsockUseCount(), 0);
    EXPECT_FALSE(WinsockLoaded());
    EXPECT_EQ(ws::testing::OpenSocketCount(), 0);
}
