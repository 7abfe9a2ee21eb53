// The reply reader and the command engine against a scripted server: canned replies,
// sent whole, in pieces or several at once.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>

#include "ftp/ftp_text_helpers.h"
#include "ftpclient/ftp_test_support.h"

using FtpScripted = FtpClientTest;

TEST_F(FtpScripted, AGreetingSplitAcrossReadsIsPutTogether) {
    ScriptedServer server;
    TestFtpClient client;
    std::vector<TFtpClientState> states;
    client.OnStateChange = [&](TCustomFtpCli* Sender) { states.push_back(Sender->ClientState); };
    PointAtLoopback(client, server.Port());
    client.StartOpen();
    ASSERT_TRUE(server.WaitConnected());
    server.Send("22");
    ASSERT_TRUE(WaitFor([&] { return client.ReplyBufferCount == 2; }));
    server.Send("0 Hel");
    ASSERT_TRUE(WaitFor([&] { return client.ReplyBufferCount == 7; }));
    EXPECT_TRUE(client.Done.empty());
    server.Send("lo\r\n");
    ASSERT_TRUE(WaitFor([&] { return !client.Done.empty(); }));
    EXPECT_EQ(client.Done.back(), (DoneEntry{1, 0}));
    EXPECT_EQ(client.LastResponse, "220 Hello");
    EXPECT_EQ(client.StatusCode, 220);
    EXPECT_EQ(client.SessionConnected, 1);
    EXPECT_EQ(client.Display, (std::vector<std::string>{"< 220 Hello"}));
    EXPECT_TRUE(client.ConnectedFlag);
    EXPECT_TRUE(client.Connected());
    EXPECT_EQ(client.ResolvedAddress, "127.0.0.1");
    EXPECT_EQ(states, (std::vector<TFtpClientState>{fcsDnsLookup, fcsWaitingGreeting, fcsConnected, fcsReady}));
}

TEST_F(FtpScripted, AMultiLineGreetingIsHandledOnceAtItsLastLine) {
    ScriptedServer server;
    TestFtpClient client;
    PointAtLoopback(client, server.Port());
    client.StartOpen();
    ASSERT_TRUE(server.WaitConnected());
    server.Send("220-Welcome\r\n220-to the test\r\n");
    ASSERT_TRUE(WaitFor([&] { return client.Display.size() == 2; }));
    DrainMessages();
    EXPECT_TRUE(client.Done.empty());
    EXPECT_EQ(client.SessionConnected, 0);
    server.Send("220 ready\r\n");
    ASSERT_TRUE(WaitFor([&] { return !client.Done.empty(); }));
    EXPECT_EQ(client.Done, (std::vector<DoneEntry>{{1, 0}}));
    EXPECT_EQ(client.SessionConnected, 1);
    EXPECT_EQ(client.Display,
              (std::vector<std::string>{"< 220-Welcome", "< 220-to the test", "< 220 ready"}));
}

TEST_F(FtpScripted, A120GreetingWaitsForThe220) {
    ScriptedServer server;
    TestFtpClient client;
    PointAtLoopback(client, server.Port());
    client.StartOpen();
    ASSERT_TRUE(server.WaitConnected());
    server.Send("120 Ready in a moment\r\n");
    ASSERT_TRUE(WaitFor([&] { return client.Display.size() == 1; }));
    DrainMessages();
    EXPECT_TRUE(client.Done.empty());
    EXPECT_TRUE(client.Connected());
    server.Send("220 Ready\r\n");
    ASSERT_TRUE(WaitFor([&] { return !client.Done.empty(); }));
    EXPECT_EQ(client.Done, (std::vector<DoneEntry>{{1, 0}}));
    EXPECT_EQ(client.SessionConnected, 1);
    EXPECT_EQ(client.Display, (std::vector<std::string>{"< 120 Ready in a moment", "< 220 Ready"}));
}

TEST_F(FtpScripted, AGreetingOtherThan220EndsTheRequestAndClosesTheConnection) {
    ScriptedServer server;
    TestFtpClient client;
    PointAtLoopback(client, server.Port());
    client.StartOpen();
    ASSERT_TRUE(server.WaitConnected());
    server.Send("421 Too many users\r\n");
    ASSERT_TRUE(WaitFor([&] { return !client.Done.empty(); }));
    EXPECT_EQ(client.Done.back(), (DoneEntry{1, 421}));
    EXPECT_EQ(client.ErrorMessage, "421 Too many users");
    EXPECT_EQ(client.RequestResult, 421);
    EXPECT_FALSE(client.Connected());
    EXPECT_FALSE(client.ConnectedFlag);
    EXPECT_EQ(client.SessionClosed, (std::vector<std::uint16_t>{0}));
    EXPECT_EQ(client.ClientState, fcsReady);
    EXPECT_TRUE(server.WaitClosedByClient());
}

TEST_F(FtpScripted, AConnectionRefusedEndsTheOpenRequestWithTheSocketError) {
    TestFtpClient client;
    PointAtLoopback(client, ClosedLoopbackPort());
    EXPECT_EQ(client.Run([&] { client.StartOpen(); }), 10061);
    EXPECT_EQ(client.LastResponse, "500 Connect error - Connection refused (#10061)");
    EXPECT_EQ(client.StatusCode, 500);
    EXPECT_EQ(client.ClientState, fcsReady);
    EXPECT_FALSE(client.Connected());
}

TEST_F(FtpScripted, TwoRepliesInOneReceptionAreBothHandledInOrder) {
    ScriptedServer server;
    TestFtpClient client;
    OpenScripted(client, server);
    client.ChainNext([&] { client.CmdSyst(); });
    client.CmdPwd();
    EXPECT_EQ(server.NextLine(), "PWD");
    server.Send("257 \"/home/a\" is current\r\n215 UNIX Type: L8\r\n");
    ASSERT_TRUE(WaitFor([&] { return client.Done.size() == 2; }));
    EXPECT_EQ(server.NextLine(), "SYST");
    EXPECT_EQ(client.DirResult, "/home/a");
    EXPECT_EQ(client.Done.back(), (DoneEntry{14, 0}));
    EXPECT_EQ(client.ResponsesAtDone.back(), "215 UNIX Type: L8");
    EXPECT_EQ(client.ClientState, fcsReady);
}

TEST_F(FtpScripted, FinalCodesAreJudgedAgainstTheExpectedList) {
    ScriptedServer server;
    TestFtpClient client;
    OpenScripted(client, server);

    client.StartCommand(22, "MKD x", {200, 250});
    EXPECT_EQ(server.NextLine(), "MKD x");
    EXPECT_EQ(client.ClientState, fcsWaitingReply);
    server.Send("257 \"x\" created\r\n");
    ASSERT_TRUE(WaitFor([&] { return client.Done.size() == 2; }));
    EXPECT_EQ(client.Done.back(), (DoneEntry{22, 257}));
    EXPECT_EQ(client.RequestResult, 257);
    EXPECT_EQ(client.ErrorMessage, "257 \"x\" created");

    client.StartCommand(33, "NOOP", {});
    server.Send("499 odd but fine\r\n");
    ASSERT_TRUE(WaitFor([&] { return client.Done.size() == 3; }));
    EXPECT_EQ(client.Done.back().second, 0);
    EXPECT_EQ(client.ErrorMessage, "");

    client.StartCommand(33, "NOOP", {});
    server.Send("500 no\r\n");
    ASSERT_TRUE(WaitFor([&] { return client.Done.size() == 4; }));
    EXPECT_EQ(client.Done.back().second, 500);

    // A two-line reply is judged once, on its last line.
    client.UserName = "alice";
    client.CmdUser();
    server.Send("230-Hello\r\n230 Logged in\r\n");
    ASSERT_TRUE(WaitFor([&] { return client.Done.size() == 5; }));
    DrainMessages();
    EXPECT_EQ(client.Done.size(), 5u);
    EXPECT_EQ(client.Done.back(), (DoneEntry{2, 0}));
    EXPECT_EQ(client.AllReplies, "230-Hello\r\n230 Logged in\r\n");
}

TEST_F(FtpScripted, RepliesFillTheValuesOfTheirCommands) {
    ScriptedServer server;
    TestFtpClient client;
    OpenScripted(client, server);
    client.HostFileName = "f.jpg";

    auto exchange = [&](const std::function<void()>& Start, const std::string& Command, const std::string& Reply) {
        const std::size_t before = client.Done.size();
        Start();
        EXPECT_EQ(server.NextLine(), Command);
        server.Send(Reply);
        EXPECT_TRUE(WaitFor([&] { return client.Done.size() > before; }));
        return client.Done.back().second;
    };

    EXPECT_EQ(exchange([&] { client.CmdSize(); }, "SIZE f.jpg", "213 123456\r\n"), 0);
    EXPECT_EQ(client.SizeResult, 123456);
    EXPECT_EQ(exchange([&] { client.CmdMdtm(); }, "MDTM f.jpg", "213 20090131120000\r\n"), 0);
    EXPECT_DOUBLE_EQ(client.FileTimeResult, 39844.5);
    EXPECT_EQ(exchange([&] { client.CmdPwd(); }, "PWD", "257 \"/a\"\"b\" is current\r\n"), 0);
    EXPECT_EQ(client.DirResult, "/a\"b");
    EXPECT_EQ(exchange([&] { client.CmdMd5(); }, "MD5 f.jpg", "251 \"f.jpg\" 0CC175B9C0F1B6A8\r\n"), 0);
    EXPECT_EQ(client.DirResult, "f.jpg");
    EXPECT_EQ(client.Md5Result, "0CC175B9C0F1B6A8");
    EXPECT_EQ(exchange([&] { client.CmdMd5(); }, "MD5 f.jpg", "251 f.jpg 0CC1\r\n"), 0);
    EXPECT_EQ(client.DirResult, "f.jpg");
    EXPECT_EQ(client.Md5Result, "0CC1");
    EXPECT_EQ(exchange([&] { client.CmdXcrc(); }, "XCRC f.jpg", "250 XCRC 1A2B3C4D\r\n"), 0);
    EXPECT_EQ(client.CrcResult, "1A2B3C4D");
    EXPECT_EQ(exchange([&] { client.CmdXcrc(); }, "XCRC f.jpg", "250 5E6F\r\n"), 0);
    EXPECT_EQ(client.CrcResult, "5E6F");
    EXPECT_EQ(exchange([&] { client.CmdMode(); }, "MODE Z", "200 MODE Z ok\r\n"), 0);
    EXPECT_EQ(client.ModeZActive, 1);
    client.ModeZRequested = 0;
    EXPECT_EQ(exchange([&] { client.CmdMode(); }, "MODE S", "200 MODE S ok\r\n"), 0);
    EXPECT_EQ(client.ModeZActive, 0);
    EXPECT_EQ(exchange([&] { client.CmdOpts(); }, "OPTS MODE Z LEVEL 8", "200 ok\r\n"), 0);
    // A failed reply leaves the values alone.
    EXPECT_EQ(exchange([&] { client.CmdSize(); }, "SIZE f.jpg", "550 No such file\r\n"), 550);
    EXPECT_EQ(client.SizeResult, 0);

    ASSERT_TRUE(EncodeFtpDateTime(2010, 5, 6, 7, 8, 9, 0, client.FileTimeResult));
    EXPECT_EQ(exchange([&] { client.CmdMfmt(); }, "MFMT 20100506070809 f.jpg", "213 Modify=20100506070809\r\n"), 0);
    EXPECT_EQ(exchange([&] { client.CmdMdtmSet(); }, "MDTM 20100506070809+0 f.jpg", "253 ok\r\n"), 0);

    client.HostFileName = "f.jpg";
    EXPECT_EQ(exchange([&] { client.CmdMlst(); }, "MLST f.jpg",
                       "250-Listing f.jpg\r\n type=file;size=5; /f.jpg\r\n250 End\r\n"),
              0);
    EXPECT_EQ(client.MlstResultText, "type=file;size=5; /f.jpg");
}

TEST_F(FtpScripted, FeatLinesSetTheFeatureFlags) {
    ScriptedServer server;
    TestFtpClient client;
    OpenScripted(client, server);
    client.CmdFeat();
    EXPECT_EQ(server.NextLine(), "FEAT");
    server.Send("211-Features:\r\n SIZE\r\n MDTM\r\n REST STREAM\r\n MLST type*;size*;modify*;\r\n"
                " AUTH TLS\r\n PROT C;P\r\n XCRC \"filename\" SP EP\r\n MODE Z\r\n MFMT\r\n211 End\r\n");
    ASSERT_TRUE(WaitFor([&] { return client.Done.size() == 2; }));
    EXPECT_EQ(client.Done.back(), (DoneEntry{44, 0}));
    EXPECT_EQ(client.FeatureFlags, FeatSize | FeatMdtm | FeatRestStream | FeatMlst | FeatAuthTls | FeatProtC |
                                       FeatProtP | FeatXcrc | FeatModeZ | FeatMfmt);
    EXPECT_EQ(client.MlstFactsText, "type*;size*;modify*;");
}

TEST_F(FtpScripted, CommandsAreShownAndMayBeChangedBeforeTheyGoOut) {
    ScriptedServer server;
    TestFtpClient client;
    client.OnCommand = [](TCustomFtpCli*, std::string& Cmd) {
        if (Cmd == "TYPE I") Cmd = "TYPE A";
    };
    OpenScripted(client, server);
    client.UserName = "alice";
    client.PassWord = "s3cret";
    client.CmdType();
    EXPECT_EQ(server.NextLine(), "TYPE A");
    server.Send("200 Type set\r\n");
    ASSERT_TRUE(WaitFor([&] { return client.Done.size() == 2; }));
    client.CmdPass();
    EXPECT_EQ(server.NextLine(), "PASS s3cret");
    server.Send("230 ok\r\n");
    ASSERT_TRUE(WaitFor([&] { return client.Done.size() == 3; }));
    EXPECT_EQ(client.Display, (std::vector<std::string>{"< 220 Ready", "> TYPE A", "< 200 Type set", "> PASS s3cret",
                                                        "< 230 ok"}));
}

TEST_F(FtpScripted, LineEndsAreLFByDefaultAndCRLFWithoutTheOption) {
    ScriptedServer server;
    TestFtpClient client;
    OpenScripted(client, server);
    client.CmdPwd();
    server.Send("257 \"/\"\n");
    ASSERT_TRUE(WaitFor([&] { return client.Done.size() == 2; }));
    EXPECT_EQ(client.LastResponse, "257 \"/\"");

    client.Options = TFtpOptions();
    client.CmdSyst();
    server.Send("215 first\n");
    ASSERT_TRUE(WaitFor([&] { return client.ReplyBufferCount == 10; }));
    DrainMessages();
    EXPECT_EQ(client.Done.size(), 2u);
    server.Send("part\r\n");
    ASSERT_TRUE(WaitFor([&] { return client.Done.size() == 3; }));
    EXPECT_EQ(client.LastResponse, "215 first\npart");
    EXPECT_EQ(client.Done.back(), (DoneEntry{14, 0}));
}

TEST_F(FtpScripted, ALineLongerThanTheBufferDoesNotStallTheSession) {
    ScriptedServer server;
    TestFtpClient client;
    OpenScripted(client, server);
    client.CmdSyst();
    EXPECT_EQ(server.NextLine(), "SYST");
    server.Send("215-" + std::string(5000, 'x') + "\r\n215 UNIX\r\n");
    ASSERT_TRUE(WaitFor([&] { return client.Done.size() == 2; }));
    EXPECT_EQ(client.Done.back(), (DoneEntry{14, 0}));
    EXPECT_EQ(client.LastResponse, "215 UNIX");
    ASSERT_GE(client.Display.size(), 4u);
    EXPECT_EQ(client.Display[1], "> SYST");
    EXPECT_EQ(client.Display[2].size(), 2u + 4095u);  // "< " and a full buffer
}

TEST_F(FtpScripted, QuitClosesTheConnectionAndEndsWithTheReply) {
    ScriptedServer server;
    TestFtpClient client;
    OpenScripted(client, server);
    client.CmdQuit();
    EXPECT_EQ(server.NextLine(), "QUIT");
    server.Send("221 Goodbye\r\n");
    ASSERT_TRUE(WaitFor([&] { return client.Done.size() == 2; }));
    EXPECT_EQ(client.Done.back(), (DoneEntry{15, 0}));
    EXPECT_EQ(client.StatusCode, 221);
    EXPECT_EQ(client.SessionClosed, (std::vector<std::uint16_t>{0}));
    EXPECT_FALSE(client.Connected());
    EXPECT_EQ(client.ClientState, fcsReady);
    EXPECT_TRUE(server.WaitClosedByClient());

    // Another command now is refused; QUIT again ends at once.
    client.CmdSyst();
    EXPECT_EQ(client.Errors.back(), "FTP component not connected");
    EXPECT_EQ(client.Run([&] { client.CmdQuit(); }), 0);
    EXPECT_EQ(client.LastResponse, "200 not connected");
}

TEST_F(FtpScripted, AServerThatHangsUpWhileAReplyIsAwaitedFailsTheRequest) {
    ScriptedServer server;
    TestFtpClient client;
    OpenScripted(client, server);
    client.CmdSyst();
    EXPECT_EQ(server.NextLine(), "SYST");
    server.Hangup();
    ASSERT_TRUE(WaitFor([&] { return client.Done.size() == 2; }));
    EXPECT_EQ(client.Done.back(), (DoneEntry{14, 500}));
    EXPECT_EQ(client.ErrorMessage, "500 Control connection closed.");
    EXPECT_EQ(client.SessionClosed, (std::vector<std::uint16_t>{0}));
    EXPECT_FALSE(client.Connected());
    EXPECT_EQ(client.ClientState, fcsReady);
}

TEST_F(FtpScripted, AServerThatHangsUpWhileIdleOnlyReportsTheClose) {
    ScriptedServer server;
    TestFtpClient client;
    OpenScripted(client, server);
    server.Send("421 Timeout, closing\r\n");
    server.Hangup();
    ASSERT_TRUE(WaitFor([&] { return !client.SessionClosed.empty(); }));
    DrainMessages();
    EXPECT_EQ(client.Done.size(), 1u);
    EXPECT_EQ(client.Display.back(), "< 421 Timeout, closing");
    EXPECT_FALSE(client.ConnectedFlag);
    client.CmdPwd();
    EXPECT_EQ(client.Errors.back(), "FTP component not connected");
}

TEST_F(FtpScripted, AFinalReplyWithNoHandlerIsReportedAndLeftInTheBuffer) {
    ScriptedServer server;
    TestFtpClient client;
    OpenScripted(client, server);
    client.CmdSyst();
    client.SetRequestState(rsIdle);
    server.Send("215 UNIX\r\n200 later\r\n");
    ASSERT_TRUE(WaitFor([&] { return !client.Errors.empty(); }));
    EXPECT_EQ(client.Errors.back(), "Program error: FNext is nil");
    EXPECT_EQ(client.ReplyBufferCount, 11);
}

TEST_F(FtpScripted, AProxyConnectionNamesTheServerInTheUserCommand) {
    ScriptedServer server;
    TestFtpClient client;
    client.SetConnectionType(ftpProxy);
    EXPECT_TRUE(client.Passive);
    client.ProxyServer = "127.0.0.1";
    client.ProxyPort = server.Port();
    client.HostName = "ftp.example.org";
    client.Port = "2121";
    client.UserName = "alice";
    client.StartOpen();
    ASSERT_TRUE(server.WaitConnected());
    server.Send("220 proxy\r\n");
    ASSERT_TRUE(WaitFor([&] { return client.Done.size() == 1; }));
    client.CmdUser();
    EXPECT_EQ(server.NextLine(), "USER alice@ftp.example.org:2121");
    server.Send("331 send password\r\n");
    ASSERT_TRUE(WaitFor([&] { return client.Done.size() == 2; }));
    client.Port = "FTP";
    client.CmdUser();
    EXPECT_EQ(server.NextLine(), "USER alice@ftp.example.org");
}

TEST_F(FtpScripted, RestSendsTheSizeOfTheLocalFile) {
    TempFolder folder;
    const std::filesystem::path local = folder.Path() / "part.bin";
    std::ofstream(local, std::ios::binary) << "12345";
    ScriptedServer server;
    TestFtpClient client;
    OpenScripted(client, server);
    client.SetLocalFileName(local.string());
    client.CmdRest();
    EXPECT_EQ(server.NextLine(), "REST 5");
    server.Send("350 Restarting at 5\r\n");
    ASSERT_TRUE(WaitFor([&] { return client.Done.size() == 2; }));
    EXPECT_EQ(client.Done.back(), (DoneEntry{38, 0}));

    // ABOR takes any reply below 500, 226 included.
    client.CmdAbor();
    EXPECT_EQ(server.NextLine(), "ABOR");
    server.Send("226 Closing data connection\r\n");
    ASSERT_TRUE(WaitFor([&] { return client.Done.size() == 3; }));
    EXPECT_EQ(client.Done.back(), (DoneEntry{16, 0}));
}
