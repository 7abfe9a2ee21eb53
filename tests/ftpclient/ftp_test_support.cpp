#include "ftpclient/ftp_test_support.h"

#include <unistd.h>

#include <fstream>
#include <random>
#include <sstream>

#include "ftp/winsock_binding.h"
#include "platform/winsock/winsock_testing.h"

std::string RandomBytes(std::size_t Count, unsigned Seed) {
    std::mt19937 generator(Seed);
    std::string bytes(Count, '\0');
    for (char& byte : bytes) byte = static_cast<char>(generator() & 0xFF);
    return bytes;
}

std::string ReadAll(const std::filesystem::path& File) {
    std::ifstream in(File, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), {});
}

void WriteAll(const std::filesystem::path& File, const std::string& Bytes) {
    std::ofstream(File, std::ios::binary) << Bytes;
}

void PointAtLoopback(TCustomFtpCli& Client, const std::string& PortText, const std::string& User,
                     const std::string& Password) {
    Client.HostName = "127.0.0.1";
    Client.Port = PortText;
    Client.UserName = User;
    Client.PassWord = Password;
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
    ContinueSteps = true;
}

void TestFtpClient::HighLevelAsync() {
    if (!FNext) {
        TCustomFtpCli::HighLevelAsync();
        return;
    }
    ContinueSteps = false;
    std::function<void()> next = std::move(FNext);
    FNext = nullptr;
    next();
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
// The loopback FTP server

LoopbackFtpServer::~LoopbackFtpServer() {
    Stop();
}

std::string LoopbackFtpServer::LogText() const {
    std::ifstream in(FFolder.Path() / "server.log");
    std::stringstream text;
    text << in.rdbuf();
    return text.str();
}

bool LoopbackFtpServer::Start(const std::vector<std::string>& ExtraArgs) {
    const std::string python = "/usr/bin/python3";
    const std::filesystem::path script = std::filesystem::path(CURVES_TESTS_DIR) / "ftpclient" / "ftp_test_server.py";
    if (access(python.c_str(), X_OK) != 0) {
        FReason = "/usr/bin/python3 is not installed (scripts/setup installs python3-pyftpdlib)";
        return false;
    }
    std::error_code error;
    std::filesystem::create_directories(Root(), error);
    FPort = ClosedLoopbackPort();
    std::vector<std::string> args{script.string(), "--port", FPort, "--root", Root().string()};
    args.insert(args.end(), ExtraArgs.begin(), ExtraArgs.end());
    if (!FProcess.Start(python, args, FFolder.Path() / "server.log")) {
        FReason = "the FTP test server could not be started";
        return false;
    }
    if (WaitUntilListening(FPort, FProcess, 15000)) return true;
    FReason = "the FTP test server (python3-pyftpdlib) did not start: " + LogText();
    Stop();
    return false;
}

void LoopbackFtpServer::Stop() {
    FProcess.Stop();
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
