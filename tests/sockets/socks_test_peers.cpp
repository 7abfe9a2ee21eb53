#include "sockets/socks_test_peers.h"

#include <fstream>
#include <sstream>

std::string SocksServerPeer::LogText() const {
    std::ifstream in(FLog);
    std::stringstream text;
    text << in.rdbuf();
    return text.str();
}

bool SocksServerPeer::StartMicrosocks(SocksServerPeer& Peer, const std::string& User, const std::string& Password) {
    const std::string program = FindProgram("microsocks");
    if (program.empty()) {
        Peer.FReason = "microsocks is not installed (scripts/setup installs it)";
        return false;
    }
    Peer.FPort = ClosedLoopbackPort();
    Peer.FLog = Peer.FFolder.Path() / "microsocks.log";
    std::vector<std::string> args{"-i", "127.0.0.1", "-p", Peer.FPort};
    if (!User.empty()) args.insert(args.end(), {"-u", User, "-P", Password});
    if (!Peer.FProcess.Start(program, args, Peer.FLog) || !WaitUntilListening(Peer.FPort, Peer.FProcess)) {
        Peer.FReason = "microsocks did not start: " + Peer.LogText();
        return false;
    }
    return true;
}

bool SocksServerPeer::StartDante(SocksServerPeer& Peer, const std::string& BlockedPort) {
    const std::string program = FindProgram("danted");
    if (program.empty()) {
        Peer.FReason = "danted is not installed (scripts/setup installs dante-server)";
        return false;
    }
    Peer.FPort = ClosedLoopbackPort();
    Peer.FLog = Peer.FFolder.Path() / "danted.log";
    const std::filesystem::path config = Peer.FFolder.Path() / "danted.conf";
    {
        std::ofstream out(config);
        out << "logoutput: stderr\n"
            << "internal: 127.0.0.1 port = " << Peer.FPort << "\n"
            << "external: 127.0.0.1\n"
            << "clientmethod: none\n"
            << "socksmethod: none\n";
        if (geteuid() == 0) out << "user.privileged: root\nuser.unprivileged: nobody\n";
        out << "client pass { from: 127.0.0.0/8 to: 0.0.0.0/0 }\n"
            << "socks block { from: 0.0.0.0/0 to: 127.0.0.1/32 port = " << BlockedPort << " }\n"
            << "socks pass { from: 127.0.0.0/8 to: 127.0.0.0/8 protocol: tcp }\n";
    }
    const std::filesystem::path pidFile = Peer.FFolder.Path() / "danted.pid";
    if (!Peer.FProcess.Start(program, {"-f", config.string(), "-N", "1", "-p", pidFile.string()}, Peer.FLog) ||
        !WaitUntilListening(Peer.FPort, Peer.FProcess)) {
        Peer.FReason = "danted did not start: " + Peer.LogText();
        return false;
    }
    return true;
}

ScriptedProxy::ScriptedProxy()
    : FServer([this](TCustomWSocket& Peer) {
          Peer.LingerOnOff = wsLingerOff;  // an orderly close when the test closes
          Peer.OnDataAvailable = [this](TCustomWSocket* Sender, std::uint16_t) {
              char buf[4096];
              for (;;) {
                  const int n = Sender->Receive(buf, sizeof buf);
                  if (n <= 0) break;
                  FReceived.append(buf, static_cast<std::size_t>(n));
              }
          };
      }) {}

bool ScriptedProxy::WaitReceived(std::size_t Count, DWORD Milliseconds) {
    return WaitFor([&] { return FReceived.size() >= Count; }, Milliseconds);
}

std::string ScriptedProxy::Take(std::size_t Count) {
    std::string taken = FReceived.substr(0, Count);
    FReceived.erase(0, Count);
    return taken;
}

void ScriptedProxy::Reply(const std::string& Bytes) {
    ASSERT_TRUE(FServer.Peer());
    ASSERT_EQ(FServer.Peer()->SendStr(Bytes), static_cast<int>(Bytes.size()));
}

void ScriptedProxy::ReplyByteByByte(const std::string& Bytes, TracedSocket& Client) {
    for (char ch : Bytes) {
        const std::int64_t before = Client.BytesRead;
        Reply(std::string(1, ch));
        ASSERT_TRUE(WaitFor([&] { return Client.BytesRead > before || Client.State() == wsClosed; }));
    }
}

void ScriptedProxy::CloseConnection() {
    if (FServer.Peer()) FServer.Peer()->Close();
}

SocksLog::SocksLog(TWSocket& Socket) {
    Socket.OnSocksConnected = [this](TCustomWSocket*, std::uint16_t Err) {
        Events.push_back("socks-connected " + std::to_string(Err));
    };
    Socket.OnSessionConnected = [this](TCustomWSocket*, std::uint16_t Err) {
        Connected.push_back(Err);
        Events.push_back("connected " + std::to_string(Err));
    };
    Socket.OnSessionClosed = [this](TCustomWSocket*, std::uint16_t Err) {
        Closed.push_back(Err);
        Events.push_back("closed " + std::to_string(Err));
    };
    Socket.OnSocksError = [this](TCustomWSocket*, int Err, const std::string& Msg) {
        Errors.push_back(Err);
        Events.push_back("error " + std::to_string(Err) + " " + Msg);
    };
    Socket.OnSocksAuthState = [this](TCustomWSocket*, TSocksAuthState State) {
        AuthStates.push_back(State);
        Events.push_back("auth " + std::to_string(State));
    };
    Socket.OnSendData = [this](TCustomWSocket*, std::int32_t) { ++Sends; };
    Socket.OnDataAvailable = [this](TCustomWSocket* Sender, std::uint16_t) {
        char buf[512];
        const int n = Sender->Receive(buf, sizeof buf);
        if (n > 0) {
            Data.append(buf, static_cast<std::size_t>(n));
            Events.push_back("data " + std::string(buf, static_cast<std::size_t>(n)));
        }
    };
}

void ConnectThroughProxy(TWSocket& Client, const std::string& ProxyPort, const std::string& Level,
                         const std::string& Host, const std::string& Port) {
    Client.SetAddr(Host);
    Client.SetPort(Port);
    Client.SetSocksServer("127.0.0.1");
    Client.SetSocksPort(ProxyPort);
    Client.SetSocksLevel(Level);
    Client.Connect();
}

void UseUsercode(TWSocket& Client, const std::string& Usercode, const std::string& Password) {
    Client.SocksAuthentication = socksAuthenticateUsercode;
    Client.SocksUsercode = Usercode;
    Client.SocksPassword = Password;
}

std::string Bytes(std::initializer_list<int> Values) {
    std::string text;
    for (int v : Values) text += static_cast<char>(v);
    return text;
}

std::string PortBytes(int Port) {
    return Bytes({(Port >> 8) & 0xFF, Port & 0xFF});
}
