// The high-level requests: the steps run in their fixed order, a failing step ends the
// request with its code, and a step that cannot start ends it without a request-done
// event and without leaving the request marked as running.
#include <gtest/gtest.h>

#include <algorithm>
#include <fstream>

#include "ftpclient/ftp_test_support.h"

namespace {

// The commands the client sent, in order, from its display ("> USER alice" -> "USER").
std::vector<std::string> SentVerbs(const TestFtpClient& Client) {
    std::vector<std::string> verbs;
    for (const std::string& line : Client.Display)
        if (line.rfind("> ", 0) == 0) verbs.push_back(line.substr(2, line.find(' ', 2) - 2));
    return verbs;
}

class FtpRequests : public FtpClientTest {};

}  // namespace

TEST_F(FtpRequests, ConnectLogsInWithoutAccountAndEndsOnce) {
    LoopbackFtpServer server;
    if (!server.Start()) GTEST_SKIP() << server.Reason();
    TestFtpClient client;
    PointAtLoopback(client, server.Port(), "alice", "s3cret");
    EXPECT_EQ(client.Run([&] { client.StartConnect(); }), 0);
    EXPECT_EQ(client.Done, (std::vector<DoneEntry>{{5, 0}}));
    EXPECT_EQ(SentVerbs(client), (std::vector<std::string>{"USER", "PASS"}));
    EXPECT_EQ(client.StatusCode, 230);
    EXPECT_EQ(client.ClientState, fcsReady);
    EXPECT_FALSE(client.HighLevelActive);
    EXPECT_TRUE(client.Connected());
    // A second connect on a connected client is refused.
    client.StartConnect();
    ASSERT_FALSE(client.Errors.empty());
    EXPECT_EQ(client.Errors.back(), "FTP component already connected");
    DrainMessages();
    EXPECT_EQ(client.Done.size(), 1u);
}

TEST_F(FtpRequests, ARefusedPasswordEndsTheRequestWithItsCodeAndKeepsTheSession) {
    LoopbackFtpServer server;
    if (!server.Start()) GTEST_SKIP() << server.Reason();
    TestFtpClient client;
    PointAtLoopback(client, server.Port(), "alice", "wrong");
    EXPECT_EQ(client.Run([&] { client.StartConnect(); }), 530);
    EXPECT_EQ(client.RequestResult, 530);
    EXPECT_EQ(client.ErrorMessage.rfind("530 ", 0), 0u) << client.ErrorMessage;
    EXPECT_TRUE(client.Connected());
    EXPECT_EQ(SentVerbs(client), (std::vector<std::string>{"USER", "PASS"}));
}

TEST_F(FtpRequests, AFailingFolderChangeEndsAFullRequestBeforeQuit) {
    LoopbackFtpServer server;
    if (!server.Start()) GTEST_SKIP() << server.Reason();
    TestFtpClient client;
    PointAtLoopback(client, server.Port(), "alice", "s3cret");
    client.HostDirName = "missing";
    client.SetLocalFileName((server.Root().parent_path() / "listing.txt").string());
    EXPECT_EQ(client.Run([&] { client.StartFullList(); }), 550);
    EXPECT_EQ(client.Done.back().first, 11);
    EXPECT_EQ(SentVerbs(client), (std::vector<std::string>{"USER", "PASS", "CWD"}));
    EXPECT_TRUE(client.Connected());
}

TEST_F(FtpRequests, AFullPutRunsItsStepsInTheFixedOrderAndEndsWithTheStoreReply) {
    LoopbackFtpServer server;
    if (!server.Start()) GTEST_SKIP() << server.Reason();
    std::filesystem::create_directory(server.Root() / "pub");
    const auto local = server.Root().parent_path() / "local.bin";
    std::ofstream(local, std::ios::binary) << "twelve bytes";
    TestFtpClient client;
    PointAtLoopback(client, server.Port(), "alice", "s3cret");
    client.HostDirName = "pub";
    client.HostFileName = "sent.txt";
    client.SetLocalFileName(local.string());
    EXPECT_EQ(client.Run([&] { client.StartFullPut(); }), 0);
    // The store step names the request it ran (18) even inside the full put.
    EXPECT_EQ(client.Done, (std::vector<DoneEntry>{{18, 0}}));
    EXPECT_EQ(SentVerbs(client), (std::vector<std::string>{"USER", "PASS", "CWD", "TYPE", "PORT", "STOR", "QUIT"}));
    // The store reply, not QUIT's, is the request's final reply.
    EXPECT_EQ(client.ResponsesAtDone.back().rfind("226", 0), 0u) << client.ResponsesAtDone.back();
    std::ifstream stored(server.Root() / "pub" / "sent.txt", std::ios::binary);
    EXPECT_EQ(std::string(std::istreambuf_iterator<char>(stored), {}), "twelve bytes");
    EXPECT_FALSE(client.Connected());
}

TEST_F(FtpRequests, AUserAcceptedWith230GetsNeitherPassNorAccount) {
    ScriptedServer server;
    TestFtpClient client;
    PointAtLoopback(client, server.Port(), "bob", "pw");
    const std::size_t before = client.Done.size();
    client.StartConnect();
    ASSERT_TRUE(server.WaitConnected());
    server.Send("220 Ready\r\n");
    EXPECT_EQ(server.NextLine(), "USER bob");
    server.Send("230 Welcome\r\n");
    ASSERT_TRUE(WaitFor([&] { return client.Done.size() > before; }));
    EXPECT_EQ(client.Done.back(), (DoneEntry{5, 0}));
    EXPECT_TRUE(client.Errors.empty());
    EXPECT_FALSE(client.HighLevelActive);
    EXPECT_EQ(server.NextLine(300), "<none>");
}

TEST_F(FtpRequests, AnAccountGoesOutOnlyWhenThePasswordIsAnsweredWith332) {
    for (const char* passReply : {"332 Need account\r\n", "230 Logged in\r\n"}) {
        SCOPED_TRACE(passReply);
        ScriptedServer server;
        TestFtpClient client;
        PointAtLoopback(client, server.Port(), "bob", "pw");
        client.Account = "acct7";
        client.StartConnect();
        ASSERT_TRUE(server.WaitConnected());
        server.Send("220 Ready\r\n");
        EXPECT_EQ(server.NextLine(), "USER bob");
        server.Send("331 Password please\r\n");
        EXPECT_EQ(server.NextLine(), "PASS pw");
        server.Send(passReply);
        if (std::string(passReply).rfind("332", 0) == 0) {
            EXPECT_EQ(server.NextLine(), "ACCT acct7");
            server.Send("230 Logged in\r\n");
        }
        ASSERT_TRUE(WaitFor([&] { return !client.Done.empty(); }));
        EXPECT_EQ(client.Done.back(), (DoneEntry{5, 0}));
        EXPECT_EQ(server.NextLine(300), "<none>");
        EXPECT_TRUE(client.Errors.empty());
    }
}

TEST_F(FtpRequests, AStepThatCannotStartEndsTheRequestWithoutADoneEvent) {
    LoopbackFtpServer server;
    if (!server.Start()) GTEST_SKIP() << server.Reason();
    TestFtpClient client;
    PointAtLoopback(client, server.Port());
    client.StartConnect();  // no user name
    ASSERT_TRUE(WaitFor([&] { return !client.Errors.empty(); }));
    EXPECT_EQ(client.Errors.back(), "UserName empty");
    EXPECT_EQ(client.ClientState, fcsInternalReady);
    EXPECT_FALSE(client.HighLevelActive);
    EXPECT_TRUE(client.RequestRefused);
    DrainMessages();
    EXPECT_TRUE(client.Done.empty());

    // A put on a client that is not connected cannot send PORT.
    TestFtpClient idle;
    idle.SetLocalFileName("whatever");
    idle.StartPut();
    ASSERT_EQ(idle.Errors.size(), 1u);
    EXPECT_EQ(idle.Errors.back(), "FTP component not connected");
    EXPECT_FALSE(idle.HighLevelActive);
    EXPECT_EQ(idle.DataSocket->State(), wsClosed);
    DrainMessages();
    EXPECT_TRUE(idle.Done.empty());
}

TEST_F(FtpRequests, AnAbortDuringARequestEndsItWith426) {
    ScriptedServer server;
    TestFtpClient client;
    PointAtLoopback(client, server.Port(), "bob", "pw");
    client.StartConnect();
    ASSERT_TRUE(server.WaitConnected());
    server.Send("220 Ready\r\n");
    EXPECT_EQ(server.NextLine(), "USER bob");
    client.Abort();
    EXPECT_EQ(client.ClientState, fcsReady);
    EXPECT_FALSE(client.Connected());
    DrainMessages();
    // Whatever the socket reported, the request never goes on after the abort.
    EXPECT_EQ(server.NextLine(200), "<none>");
    for (const auto& done : client.Done) EXPECT_NE(done.second, 0);
}
