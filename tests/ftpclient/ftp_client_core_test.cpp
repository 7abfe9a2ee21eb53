// The client without a server: defaults, properties, refusals, commands on a closed
// control connection, the request-done message and the background-exception path.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <stdexcept>

#include "ftp/wsocket.h"
#include "ftpclient/ftp_test_support.h"
#include "platform/messages/message_queue.h"
#include "platform/winsock/winsock_testing.h"

using FtpClientCore = FtpClientTest;

TEST_F(FtpClientCore, PropertySettersCheckAndMapTheirValues) {
    TestFtpClient client;
    client.SetDataPortRangeStart(5000);
    client.SetDataPortRangeStart(65536);
    EXPECT_EQ(client.DataPortRangeStart(), 5000u);
    client.SetDataPortRangeEnd(65535);
    client.SetDataPortRangeEnd(70000);
    EXPECT_EQ(client.DataPortRangeEnd(), 65535u);
    EXPECT_EQ(client.Errors, (std::vector<std::string>{"DataPortRangeStart must be in the range 0..65535",
                                                       "DataPortRangeEnd must be in the range 0..65535"}));

    client.SetBinary(false);
    EXPECT_EQ(client.TypeLetter, 'A');
    EXPECT_FALSE(client.Binary());

    client.SetShareMode(ftpShareDenyRead);
    EXPECT_EQ(client.FileShareFlags, 48);
    EXPECT_EQ(client.ShareMode(), ftpShareDenyRead);
    client.SetShareMode(static_cast<TFtpShareMode>(9));
    EXPECT_EQ(client.FileShareFlags, 16);
    client.FileShareFlags = 17;  // any other stored value reads as exclusive
    EXPECT_EQ(client.ShareMode(), ftpShareExclusive);

    client.SetSocksServer("127.0.0.9");
    client.SetSocksUserCode("user");
    EXPECT_EQ(client.SocksServer(), "127.0.0.9");
    EXPECT_EQ(client.DataSocket->SocksServer(), "127.0.0.9");
    EXPECT_EQ(client.DataSocket->SocksUsercode, "user");
}

TEST_F(FtpClientCore, ConnectionTypeSetsPassiveModeAndSocksOnBothSockets) {
    TestFtpClient client;
    client.SetConnectionType(ftpSocks4A);
    EXPECT_EQ(client.ConnectionType(), ftpSocks4A);
    EXPECT_TRUE(client.Passive);
    for (TWSocket* socket : {client.ControlSocket, client.DataSocket}) {
        EXPECT_EQ(socket->SocksLevel(), "4A");
        EXPECT_EQ(socket->SocksAuthentication, socksAuthenticateUsercode);
    }
    client.SetConnectionType(ftpDirect);
    EXPECT_EQ(client.ConnectionType(), ftpDirect);
    EXPECT_TRUE(client.Passive);  // never set back
    EXPECT_EQ(client.DataSocket->SocksAuthentication, socksNoAuthentication);
    client.SetConnectionType(static_cast<TFtpConnectionType>(12));
    EXPECT_EQ(client.ConnectionKind, ftpDirect);

    client.ConnectedFlag = true;
    client.SetConnectionType(ftpProxy);
    EXPECT_EQ(client.ConnectionType(), ftpDirect);
    EXPECT_EQ(client.Errors.back(), "FTP component connected");
}

TEST_F(FtpClientCore, QuitAndStatOnAClosedConnectionEndAtOnceThroughTheMessageLoop) {
    TestFtpClient client;
    client.CmdQuit();
    // The event is posted: it never runs inside the call that ended the request.
    EXPECT_TRUE(client.Done.empty());
    EXPECT_EQ(client.StatusCode, 200);
    EXPECT_EQ(client.RequestResult, 200);
    EXPECT_EQ(client.LastResponse, "200 not connected");
    EXPECT_EQ(client.ClientState, fcsReady);
    ASSERT_TRUE(WaitFor([&] { return !client.Done.empty(); }));
    EXPECT_EQ(client.Done.back(), (std::pair<TFtpRequest, std::uint16_t>{15, 0}));
    EXPECT_EQ(client.Display.front(), "> QUIT");

    client.StartCommand(16, "STAT", {211});
    EXPECT_EQ(client.LastResponse, "550 not connected");
    EXPECT_EQ(client.ErrorMessage, "550 not connected");
    ASSERT_TRUE(WaitFor([&] { return client.Done.size() == 2; }));
    EXPECT_EQ(client.Done.back().second, 550);
    EXPECT_TRUE(client.Errors.empty());
}

TEST_F(FtpClientCore, RefusalsGoToOnErrorOnlyAndSendNothing) {
    TestFtpClient client;
    client.RequestResult = 530;  // from an earlier request: a refusal keeps it
    client.CmdType();
    client.CmdUser();
    client.UserName = "alice";
    client.CmdUser();
    client.CmdPass();
    client.CmdAcct();
    client.CmdCwd();
    client.CmdMfmt();
    client.CmdMdtmSet();
    client.ConnectedFlag = true;
    client.StartOpen();
    DrainMessages();
    EXPECT_EQ(client.Errors, (std::vector<std::string>{
                                 "FTP component not connected", "UserName empty", "FTP component not connected",
                                 "Password empty", "Account empty!", "HostDirName empty", "Modification date empty",
                                 "Modification date empty", "FTP component already connected"}));
    EXPECT_TRUE(client.Done.empty());
    EXPECT_TRUE(client.Display.empty());
    EXPECT_EQ(client.RequestResult, 530);
    EXPECT_EQ(client.ClientState, fcsReady);
}

TEST_F(FtpClientCore, TheTypeLetterFollowsBinary) {
    TestFtpClient client;
    client.ConnectedFlag = true;  // the command goes out, to find no connection
    client.CmdType();
    client.ConnectedFlag = true;
    client.CmdTypeAscii();
    ASSERT_TRUE(WaitFor([&] { return client.Done.size() == 2; }));
    EXPECT_EQ(client.Display, (std::vector<std::string>{"> TYPE I", "> TYPE A"}));
    EXPECT_EQ(client.Done.back(), (std::pair<TFtpRequest, std::uint16_t>{37, 550}));
    EXPECT_FALSE(client.ConnectedFlag);
}

TEST_F(FtpClientCore, SecureCommandsRaiseInThisBuild) {
    TestFtpClient client;
    const auto expectRaise = [](const std::function<void()>& Call, const std::string& Text) {
        try {
            Call();
            ADD_FAILURE() << "no exception for " << Text;
        } catch (const FtpException& E) {
            EXPECT_EQ(std::string(E.what()), Text);
        }
    };
    expectRaise([&] { client.CmdAuth(); }, "AUTH SSL/TLS requires SSL-enabled version");
    expectRaise([&] { client.CmdProt(); }, "PROT require SSL-enabled version");
    expectRaise([&] { client.CmdPbsz(); }, "PBSZ require SSL-enabled version");
    expectRaise([&] { client.CmdCcc(); }, "CCC require SSL-enabled version");
    expectRaise([&] { client.SetSecureType(1); }, "SSL requires SSL-enabled version");
    EXPECT_NO_THROW(client.SetSecureType(ftpSecureNone));
}

TEST_F(FtpClientCore, RestWithoutAnythingToSkipEndsTheStepWithoutACommand) {
    TempFolder folder;
    const std::filesystem::path local = folder.Path() / "local.bin";
    std::ofstream(local).close();
    TestFtpClient client;
    client.SetLocalFileName(local.string());
    client.ResumeAt = 99;
    client.CmdRest();
    EXPECT_EQ(client.ResumeAt, 0);
    ASSERT_TRUE(WaitFor([&] { return !client.Done.empty(); }));
    EXPECT_EQ(client.Done.back().second, 0);
    EXPECT_TRUE(client.Display.empty());

    // A resuming upload keeps the position its caller set.
    client.RequestType = 41;
    client.ResumeAt = 0;
    client.CmdRest();
    EXPECT_EQ(client.ResumeAt, 0);
}

TEST_F(FtpClientCore, ALookupThatCannotStartEndsTheRequestInsteadOfStalling) {
    TestFtpClient client;
    EXPECT_EQ(client.Run([&] { client.StartOpen(); }), 500);  // no host name
    EXPECT_EQ(client.ErrorMessage, "500 ESocketException: DNS lookup: invalid host name.");
    EXPECT_EQ(client.ClientState, fcsReady);
    EXPECT_EQ(client.Done.back().first, 1);
}

TEST_F(FtpClientCore, AFailedLookupEndsTheOpenRequestWithItsCode) {
    ws::testing::FailLookupOf("ftp.example.invalid", ws::WSAHOST_NOT_FOUND);
    TestFtpClient client;
    client.HostName = "ftp.example.invalid";
    EXPECT_EQ(client.Run([&] { client.StartOpen(); }), ws::WSAHOST_NOT_FOUND);
    EXPECT_EQ(client.StatusCode, 500);
    EXPECT_EQ(client.ErrorMessage.rfind("500 DNS lookup error - ", 0), 0u) << client.ErrorMessage;
    EXPECT_NE(client.ErrorMessage.find("(#11001)"), std::string::npos);
    EXPECT_EQ(client.ClientState, fcsReady);
}

TEST_F(FtpClientCore, ARequestInProgressRefusesOthersUntilAborted) {
    ws::testing::HoldLookups(true);
    TestFtpClient client;
    std::vector<TFtpClientState> states;
    client.OnStateChange = [&](TCustomFtpCli* Sender) { states.push_back(Sender->ClientState); };
    client.HostName = "ftp.example.invalid";
    client.StartOpen();
    EXPECT_EQ(client.ClientState, fcsDnsLookup);
    client.StartOpen();
    client.CmdPwd();
    EXPECT_EQ(client.Errors, (std::vector<std::string>{"FTP component not ready", "FTP component not ready"}));
    // Cancelling the lookup ends the open request; the abort leaves the client ready.
    client.Abort();
    EXPECT_EQ(client.ClientState, fcsReady);
    ASSERT_TRUE(WaitFor([&] { return !client.Done.empty(); }));
    EXPECT_EQ(client.Done.back(), (std::pair<TFtpRequest, std::uint16_t>{1, ws::WSAEINTR}));
    EXPECT_EQ(states.front(), fcsDnsLookup);
    EXPECT_EQ(states.back(), fcsReady);
    ws::testing::HoldLookups(false);
}

TEST_F(FtpClientCore, ProgressReportsBytesAndCanAbort) {
    TestFtpClient client;
    client.ByteCount = 1000;
    client.ResumeAt = 24;
    std::int64_t seen = -1;
    bool stop = false;
    client.OnProgress = [&](TCustomFtpCli*, std::int64_t Count, bool& Abort) {
        seen = Count;
        Abort = stop;
    };
    EXPECT_TRUE(client.TriggerProgress());
    EXPECT_EQ(seen, 1024);
    stop = true;
    std::vector<TFtpClientState> states;
    client.OnStateChange = [&](TCustomFtpCli* Sender) { states.push_back(Sender->ClientState); };
    EXPECT_FALSE(client.TriggerProgress());
    EXPECT_EQ(states, (std::vector<TFtpClientState>{fcsAbort, fcsReady}));
}

TEST_F(FtpClientCore, AnExceptionInARequestDoneHandlerGoesToOnBgExceptionAndAborts) {
    TestFtpClient client;
    int raised = 0;
    client.OnRequestDone = [&](TCustomFtpCli*, TFtpRequest, std::uint16_t) {
        ++raised;
        throw std::runtime_error("handler failed");
    };
    std::vector<std::string> seen;
    bool keepOpen = false;
    client.OnBgException = [&](TCustomFtpCli*, const std::exception& E, bool& CanClose) {
        seen.emplace_back(E.what());
        CanClose = !keepOpen;
    };
    std::vector<TFtpClientState> states;
    client.OnStateChange = [&](TCustomFtpCli* Sender) { states.push_back(Sender->ClientState); };

    client.CmdQuit();
    ASSERT_TRUE(WaitFor([&] { return raised == 1; }));
    EXPECT_EQ(seen, (std::vector<std::string>{"handler failed"}));
    EXPECT_EQ(states.back(), fcsReady);
    EXPECT_NE(std::find(states.begin(), states.end(), fcsAbort), states.end());

    // With CanClose cleared nothing is aborted.
    keepOpen = true;
    states.clear();
    client.CmdQuit();
    ASSERT_TRUE(WaitFor([&] { return raised == 2; }));
    EXPECT_EQ(std::find(states.begin(), states.end(), fcsAbort), states.end());

    // A handler of OnBgException that raises itself is silenced.
    client.OnBgException = [](TCustomFtpCli*, const std::exception&, bool&) { throw std::logic_error("again"); };
    client.CmdQuit();
    ASSERT_TRUE(WaitFor([&] { return raised == 3; }));
}

TEST_F(FtpClientCore, MessagesForTheWindowOfAFreedClientAreDropped) {
    auto client = std::make_unique<TestFtpClient>();
    client->CmdQuit();  // posts the request-done message
    client.reset();
    DrainMessages();
    EXPECT_EQ(WaitingMessageCount(), 0);
}

TEST_F(FtpClientCore, ASocketFreedElsewhereIsForgotten) {
    TestFtpClient client;
    EXPECT_EQ(LastDataSocket, client.DataSocket);
    delete client.DataSocket;
    EXPECT_EQ(client.DataSocket, nullptr);
    EXPECT_EQ(LastDataSocket, nullptr);
    client.CmdQuit();  // finishing a request with no data socket
    ASSERT_TRUE(WaitFor([&] { return !client.Done.empty(); }));
}
