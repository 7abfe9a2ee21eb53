// The client against a real FTP server (pyftpdlib) on loopback: greeting, login, the
// single commands with their replies, refusals, sizes beyond 32 bits, greetings whose
// inner lines look like replies, and a server that hangs up.
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <utime.h>

#include <filesystem>
#include <fstream>

#include "ftp/ftp_text_helpers.h"
#include "ftpclient/ftp_test_support.h"

namespace {

class FtpRealServer : public FtpClientTest {
protected:
    // Opens and logs in; false (with a test failure) when any step fails.
    static bool Login(TestFtpClient& Client, LoopbackFtpServer& Server, const std::string& User,
                      const std::string& Password) {
        Client.UserName = User;
        Client.PassWord = Password;
        if (!Client.Open("127.0.0.1", Server.Port())) return false;
        EXPECT_EQ(Client.Run([&] { Client.CmdUser(); }), 0);
        EXPECT_EQ(Client.Run([&] { Client.CmdPass(); }), 0);
        return Client.StatusCode == 230;
    }
};

}  // namespace

TEST_F(FtpRealServer, GreetsLogsInSetsTheTypeAndQuits) {
    LoopbackFtpServer server;
    if (!server.Start()) GTEST_SKIP() << server.Reason();
    TestFtpClient client;
    client.UserName = "alice";
    client.PassWord = "s3cret";
    ASSERT_TRUE(client.Open("127.0.0.1", server.Port()));
    EXPECT_EQ(client.StatusCode, 220);
    EXPECT_EQ(client.ResponsesAtDone.back().rfind("220 ", 0), 0u) << client.ResponsesAtDone.back();
    EXPECT_EQ(client.SessionConnected, 1);

    EXPECT_EQ(client.Run([&] { client.CmdUser(); }), 0);
    EXPECT_EQ(client.ResponsesAtDone.back(), "331 Username ok, send password.");
    EXPECT_EQ(client.Run([&] { client.CmdPass(); }), 0);
    EXPECT_EQ(client.ResponsesAtDone.back(), "230 Login successful.");
    EXPECT_EQ(client.Run([&] { client.CmdType(); }), 0);
    EXPECT_EQ(client.ResponsesAtDone.back(), "200 Type set to: Binary.");
    EXPECT_EQ(client.Run([&] { client.CmdTypeAscii(); }), 0);
    EXPECT_EQ(client.ResponsesAtDone.back(), "200 Type set to: ASCII.");
    EXPECT_EQ(client.Run([&] { client.CmdSyst(); }), 0);
    EXPECT_EQ(client.StatusCode, 215);
    EXPECT_EQ(client.Run([&] { client.CmdPwd(); }), 0);
    EXPECT_EQ(client.DirResult, "/");

    EXPECT_EQ(client.Run([&] { client.CmdQuit(); }), 0);
    EXPECT_EQ(client.StatusCode, 221);
    EXPECT_EQ(client.ClientState, fcsReady);
    EXPECT_FALSE(client.Connected());
    EXPECT_EQ(client.SessionClosed.size(), 1u);

    const std::vector<DoneEntry> expected{{1, 0}, {2, 0}, {3, 0}, {37, 0}, {37, 0}, {14, 0}, {32, 0}, {15, 0}};
    EXPECT_EQ(client.Done, expected);
    EXPECT_TRUE(client.Errors.empty());
    // The display shows every command, the password included, and every reply.
    EXPECT_NE(std::find(client.Display.begin(), client.Display.end(), "> PASS s3cret"), client.Display.end());
    EXPECT_NE(std::find(client.Display.begin(), client.Display.end(), "< 221 Goodbye."), client.Display.end());
}

TEST_F(FtpRealServer, AWrongPasswordFailsAndTheThirdMakesTheServerHangUp) {
    LoopbackFtpServer server;
    if (!server.Start()) GTEST_SKIP() << server.Reason();
    TestFtpClient client;
    client.UserName = "alice";
    client.PassWord = "wrong";
    ASSERT_TRUE(client.Open("127.0.0.1", server.Port()));
    for (int attempt = 1; attempt <= 3; ++attempt) {
        EXPECT_EQ(client.Run([&] { client.CmdUser(); }), 0);
        EXPECT_EQ(client.Run([&] { client.CmdPass(); }), 530);
        EXPECT_EQ(client.RequestResult, 530);
        EXPECT_EQ(client.ErrorMessage.rfind("530 Authentication failed.", 0), 0u) << client.ErrorMessage;
    }
    EXPECT_EQ(client.ErrorMessage, "530 Authentication failed. Disconnecting.");
    ASSERT_TRUE(WaitFor([&] { return !client.SessionClosed.empty(); }));
    EXPECT_FALSE(client.Connected());
    client.PassWord = "s3cret";
    client.CmdUser();
    EXPECT_EQ(client.Errors.back(), "FTP component not connected");
}

TEST_F(FtpRealServer, AMultiLineReplyIsCollectedAndEndsTheCommandOnce) {
    LoopbackFtpServer server;
    if (!server.Start()) GTEST_SKIP() << server.Reason();
    TestFtpClient client;
    ASSERT_TRUE(Login(client, server, "alice", "s3cret"));

    EXPECT_EQ(client.Run([&] { client.CmdFeat(); }), 0);
    EXPECT_EQ(client.AllReplies.rfind("211-", 0), 0u) << client.AllReplies;
    EXPECT_EQ(client.LastResponse.rfind("211 ", 0), 0u) << client.LastResponse;
    const std::uint16_t offered = FeatSize | FeatMdtm | FeatRestStream | FeatMlst | FeatMfmt;
    EXPECT_EQ(client.FeatureFlags & offered, offered);
    EXPECT_NE(client.MlstFactsText.find("size"), std::string::npos) << client.MlstFactsText;

    client.SetLocalFileName("HELP");  // a raw command
    const std::size_t before = client.Done.size();
    EXPECT_EQ(client.Run([&] { client.CmdQuote(); }), 0);
    DrainMessages();
    EXPECT_EQ(client.Done.size(), before + 1);
    EXPECT_EQ(client.Done.back().first, 33);
    EXPECT_EQ(client.AllReplies.rfind("214-", 0), 0u);
    EXPECT_EQ(client.StatusCode, 214);
}

TEST_F(FtpRealServer, RefusedCommandsEndWithTheServersCodeAndText) {
    LoopbackFtpServer server;
    if (!server.Start()) GTEST_SKIP() << server.Reason();
    TestFtpClient client;
    ASSERT_TRUE(Login(client, server, "viewer", "look"));

    client.HostDirName = "missing";
    EXPECT_EQ(client.Run([&] { client.CmdCwd(); }), 550);
    EXPECT_EQ(client.Done.back().first, 4);
    EXPECT_EQ(client.ErrorMessage.rfind("550 ", 0), 0u) << client.ErrorMessage;
    EXPECT_EQ(client.ResponsesAtDone.back(), client.ErrorMessage);

    client.HostFileName = "sub";
    EXPECT_EQ(client.Run([&] { client.CmdMkd(); }), 550);
    EXPECT_EQ(client.ErrorMessage, "550 Not enough privileges.");
    EXPECT_FALSE(std::filesystem::exists(server.Root() / "sub"));

    EXPECT_EQ(client.Run([&] { client.CmdXcrc(); }), 500);
    EXPECT_EQ(client.ErrorMessage, "500 Command \"XCRC\" not understood.");
    EXPECT_EQ(client.CrcResult, "");

    // The session goes on after refusals.
    EXPECT_EQ(client.Run([&] { client.CmdPwd(); }), 0);
    EXPECT_EQ(client.ErrorMessage, "");
}

TEST_F(FtpRealServer, FileCommandsChangeTheServersFolder) {
    LoopbackFtpServer server;
    if (!server.Start()) GTEST_SKIP() << server.Reason();
    const std::filesystem::path data = server.Root() / "data.txt";
    std::ofstream(data, std::ios::binary) << "12345";
    const utimbuf stamp{1233403200, 1233403200};  // 2009-01-31 12:00:00 UTC
    ASSERT_EQ(utime(data.c_str(), &stamp), 0);

    TestFtpClient client;
    ASSERT_TRUE(Login(client, server, "alice", "s3cret"));
    client.HostFileName = "data.txt";
    EXPECT_EQ(client.Run([&] { client.CmdType(); }), 0);
    EXPECT_EQ(client.Run([&] { client.CmdSize(); }), 0);
    EXPECT_EQ(client.SizeResult, 5);
    EXPECT_EQ(client.Run([&] { client.CmdMdtm(); }), 0);
    EXPECT_DOUBLE_EQ(client.FileTimeResult, 39844.5);

    ASSERT_TRUE(EncodeFtpDateTime(2010, 5, 6, 7, 8, 9, 0, client.FileTimeResult));
    EXPECT_EQ(client.Run([&] { client.CmdMfmt(); }), 0);
    struct stat info {};
    ASSERT_EQ(stat(data.c_str(), &info), 0);
    EXPECT_EQ(info.st_mtime, 1273129689);

    client.HostFileName = "sub";
    EXPECT_EQ(client.Run([&] { client.CmdMkd(); }), 0);
    EXPECT_EQ(client.DirResult, "/sub");
    EXPECT_TRUE(std::filesystem::is_directory(server.Root() / "sub"));
    client.HostDirName = "sub";
    EXPECT_EQ(client.Run([&] { client.CmdCwd(); }), 0);
    EXPECT_EQ(client.DirResult, "/sub");
    EXPECT_EQ(client.Run([&] { client.CmdCdup(); }), 0);
    EXPECT_EQ(client.DirResult, "/");

    client.HostFileName = "data.txt";
    client.SetLocalFileName("sub/moved.txt");
    EXPECT_EQ(client.Run([&] { client.CmdRnfr(); }), 0);
    EXPECT_EQ(client.StatusCode, 350);
    EXPECT_EQ(client.Run([&] { client.CmdRnto(); }), 0);
    EXPECT_TRUE(std::filesystem::exists(server.Root() / "sub" / "moved.txt"));
    client.HostFileName = "sub/moved.txt";
    EXPECT_EQ(client.Run([&] { client.CmdDele(); }), 0);
    client.HostFileName = "sub";
    EXPECT_EQ(client.Run([&] { client.CmdRmd(); }), 0);
    EXPECT_FALSE(std::filesystem::exists(server.Root() / "sub"));

    // REST names the size of the local file; ABOR with nothing running is fine.
    TempFolder local;
    std::ofstream(local.Path() / "part.bin", std::ios::binary) << "1234567";
    client.SetLocalFileName((local.Path() / "part.bin").string());
    EXPECT_EQ(client.Run([&] { client.CmdRest(); }), 0);
    EXPECT_EQ(client.LastResponse, "350 Restarting at position 7.");
    EXPECT_EQ(client.Run([&] { client.CmdAbor(); }), 0);
    EXPECT_EQ(client.StatusCode, 225);
    EXPECT_EQ(client.Run([&] { client.CmdQuit(); }), 0);
}

TEST_F(FtpRealServer, SizesBeyond32BitsAreReadAndSentWhole) {
    LoopbackFtpServer server;
    if (!server.Start()) GTEST_SKIP() << server.Reason();
    constexpr std::int64_t huge = 5000000000;  // sparse files: they take no room
    std::ofstream(server.Root() / "huge.bin").close();
    std::filesystem::resize_file(server.Root() / "huge.bin", huge);
    TempFolder local;
    std::ofstream(local.Path() / "huge.bin").close();
    std::filesystem::resize_file(local.Path() / "huge.bin", huge);
    EXPECT_EQ(GetFileSize((local.Path() / "huge.bin").string()), huge);

    TestFtpClient client;
    ASSERT_TRUE(Login(client, server, "alice", "s3cret"));
    EXPECT_EQ(client.Run([&] { client.CmdType(); }), 0);
    client.HostFileName = "huge.bin";
    EXPECT_EQ(client.Run([&] { client.CmdSize(); }), 0);
    EXPECT_EQ(client.SizeResult, huge);
    // REST names the local file's size.
    client.SetLocalFileName((local.Path() / "huge.bin").string());
    EXPECT_EQ(client.Run([&] { client.CmdRest(); }), 0);
    EXPECT_EQ(client.LastResponse, "350 Restarting at position 5000000000.");
}

TEST_F(FtpRealServer, AGreetingEndsOnlyAtItsOwnCodeFollowedByABlank) {
    // A long banner comes as "220-" lines closed by "220 ". Neither an inner line with
    // another code nor the tail of a line too long for the reply buffer ends it.
    const std::string banners[] = {
        "Welcome to the test server.\r\n421 this line neither ends the greeting nor refuses anything",
        std::string(4091, 'x') + "220 this is the tail of an over-long line, not the end of the greeting",
    };
    for (const std::string& banner : banners) {
        SCOPED_TRACE(banner.substr(0, 30));
        LoopbackFtpServer server;
        if (!server.Start({"--banner", banner})) GTEST_SKIP() << server.Reason();
        TestFtpClient client;
        std::vector<std::string> greetingEnds;  // the line at which the greeting ended
        client.OnSessionConnected = [&](TCustomFtpCli* Sender, std::uint16_t) {
            greetingEnds.push_back(Sender->LastResponse);
        };
        ASSERT_TRUE(Login(client, server, "alice", "s3cret"));
        EXPECT_EQ(greetingEnds, (std::vector<std::string>{"220 "}));
        EXPECT_EQ(client.Done.front(), (DoneEntry{1, 0}));
        EXPECT_EQ(client.StatusCode, 230);
    }
}

TEST_F(FtpRealServer, AServerThatClosesAnIdleSessionIsSeenAsClosed) {
    LoopbackFtpServer server;
    if (!server.Start({"--idle-timeout", "1"})) GTEST_SKIP() << server.Reason();
    TestFtpClient client;
    ASSERT_TRUE(Login(client, server, "alice", "s3cret"));
    const std::size_t done = client.Done.size();
    ASSERT_TRUE(WaitFor([&] { return !client.SessionClosed.empty(); }, 15000));
    EXPECT_EQ(client.Display.back(), "< 421 Control connection timed out.");
    EXPECT_FALSE(client.Connected());
    DrainMessages();
    EXPECT_EQ(client.Done.size(), done);  // no request was running
    client.CmdPwd();
    EXPECT_EQ(client.Errors.back(), "FTP component not connected");
}

TEST_F(FtpRealServer, AServerThatStopsEndsTheSession) {
    LoopbackFtpServer server;
    if (!server.Start()) GTEST_SKIP() << server.Reason();
    TestFtpClient client;
    ASSERT_TRUE(Login(client, server, "alice", "s3cret"));
    server.Stop();
    ASSERT_TRUE(WaitFor([&] { return !client.SessionClosed.empty(); }));
    EXPECT_FALSE(client.Connected());
    // Reconnecting to the stopped server is refused.
    EXPECT_EQ(client.Run([&] { client.StartOpen(); }), 10061);
}
