// Faults around the data connection: a server that cuts an upload short (and may even
// claim success), a local file that cannot be written, an abort from the progress
// event, the restart position that must not outlive its request, and PASV replies that
// must not steer the data connection anywhere but to the server.
#include <gtest/gtest.h>

#include <algorithm>

#include "ftp/ftp_blocking_client.h"
#include "ftpclient/ftp_test_support.h"

namespace {

class FtpTransferFaults : public FtpClientTest {
protected:
    std::filesystem::path Local(const std::string& Name) { return folder.Path() / Name; }
    // Connects, logs in as alice and sets the binary type.
    bool Login(TestFtpClient& Client) {
        PointAtLoopback(Client, server.Port(), "alice", "s3cret");
        return Client.Run([&] { Client.StartConnect(); }) == 0 && Client.Run([&] { Client.CmdType(); }) == 0;
    }
    static std::size_t CountDone(const TestFtpClient& Client, std::uint16_t Code) {
        return static_cast<std::size_t>(std::count_if(Client.Done.begin(), Client.Done.end(),
                                                      [&](const DoneEntry& done) { return done.second == Code; }));
    }

    TempFolder folder;
    LoopbackFtpServer server;
};

}  // namespace

TEST_F(FtpTransferFaults, AnUploadTheServerCutsShortFailsWhateverTheServerReplies) {
    // Larger than what the system's buffers on both sides can hold, so that the server
    // cuts it while blocks are still to be sent.
    const std::string bytes = RandomBytes(16000000, 13);
    WriteAll(Local("drawing.jpg"), bytes);
    struct Case {
        const char* Option;
        const char* Expected;
    };
    // One server closes its side of the data connection and reads on (and would store
    // a cut file as whole if the client closed in turn); the other resets the data
    // connection and answers 226 on the control connection.
    const Case cases[] = {{"--half-close-upload-after", "426 Data connection closed before the end of the file"},
                          {"--reset-upload-after", "426 "}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.Option);
        LoopbackFtpServer cutting;
        if (!cutting.Start({c.Option, "100000"})) GTEST_SKIP() << cutting.Reason();
        TFtpClient client;
        std::vector<std::string> display;
        client.OnDisplay = [&](TCustomFtpCli*, std::string& Msg) { display.push_back(Msg); };
        PointAtLoopback(client, cutting.Port(), "alice", "s3cret");
        ASSERT_TRUE(client.Connect());
        client.HostFileName = "drawing.jpg";
        client.SetLocalFileName(Local("drawing.jpg").string());
        EXPECT_FALSE(client.Put());
        EXPECT_EQ(client.StatusCode, 426);
        EXPECT_EQ(client.ErrorMessage.rfind(c.Expected, 0), 0u) << client.ErrorMessage;
        EXPECT_LT(std::filesystem::file_size(cutting.Root() / "drawing.jpg"), bytes.size());
        if (std::string(c.Option) == "--reset-upload-after") {
            EXPECT_NE(std::find(display.begin(), display.end(), "< 226 Transfer complete."), display.end());
        }
        // The session itself goes on.
        EXPECT_TRUE(client.Connected());
        EXPECT_TRUE(client.Quit());
    }
}

TEST_F(FtpTransferFaults, ADownloadThatCannotBeWrittenEndsWith550WhateverTheServerReplies) {
    if (!server.Start()) GTEST_SKIP() << server.Reason();
    WriteAll(server.Root() / "big.bin", RandomBytes(4000000, 17));
    TestFtpClient client;
    ASSERT_TRUE(Login(client));
    client.HostFileName = "big.bin";
    client.SetLocalFileName("/dev/full");  // every write fails: the disk is full
    EXPECT_EQ(client.Run([&] { client.StartGet(); }), 550);
    EXPECT_EQ(client.ErrorMessage, "550 Error writing local file /dev/full");
    EXPECT_EQ(client.DataSocket->State(), wsClosed);
    DrainMessages();
    EXPECT_EQ(client.Done, (std::vector<DoneEntry>{{5, 0}, {37, 0}, {10, 550}}));
    // The server's own reply has been read: the next command gets its own.
    EXPECT_EQ(client.Run([&] { client.CmdPwd(); }), 0);
    EXPECT_EQ(client.DirResult, "/");
}

TEST_F(FtpTransferFaults, AnAbortFromTheProgressEventEndsTheUploadOnceWith426) {
    if (!server.Start()) GTEST_SKIP() << server.Reason();
    WriteAll(Local("drawing.jpg"), RandomBytes(3000000, 19));
    auto stopAtTheSecondBlock = [](TCustomFtpCli*, std::int64_t Count, bool& Abort) { Abort = Count > 0; };
    {
        // The put request of the program.
        TestFtpClient client;
        ASSERT_TRUE(Login(client));
        client.HostFileName = "drawing.jpg";
        client.SetLocalFileName(Local("drawing.jpg").string());
        client.OnProgress = stopAtTheSecondBlock;
        EXPECT_EQ(client.Run([&] { client.StartPut(); }), 426);
        DrainMessages();
        EXPECT_EQ(CountDone(client, 426), 1u);
        EXPECT_EQ(client.ErrorMessage, "426 Transfer aborted by the application");
        EXPECT_FALSE(client.Connected());
    }
    {
        // And the blocking call.
        TFtpClient client;
        PointAtLoopback(client, server.Port(), "alice", "s3cret");
        ASSERT_TRUE(client.Connect());
        client.HostFileName = "drawing.jpg";
        client.SetLocalFileName(Local("drawing.jpg").string());
        client.OnProgress = stopAtTheSecondBlock;
        EXPECT_FALSE(client.Put());
        EXPECT_EQ(client.StatusCode, 426);
    }
}

TEST_F(FtpTransferFaults, TheRestartPositionEndsWithItsRequestAndWithAnAbort) {
    if (!server.Start()) GTEST_SKIP() << server.Reason();
    WriteAll(Local("part.bin"), "1234567");
    TestFtpClient client;
    ASSERT_TRUE(Login(client));
    // REST on its own names the local file's size, and that position ends with it.
    client.SetLocalFileName(Local("part.bin").string());
    EXPECT_EQ(client.Run([&] { client.CmdRest(); }), 0);
    EXPECT_EQ(client.LastResponse, "350 Restarting at position 7.");
    EXPECT_EQ(client.ResumeAt, 0);
    // A position left by anything else ends with the next request, failed or not.
    client.ResumeAt = 5;
    EXPECT_EQ(client.Run([&] { client.CmdPwd(); }), 0);
    EXPECT_EQ(client.ResumeAt, 0);
    client.ResumeAt = 5;
    client.HostFileName = "missing.bin";
    client.SetLocalFileName(Local("missing.bin").string());
    EXPECT_EQ(client.Run([&] { client.StartGet(); }), 550);
    EXPECT_EQ(client.ResumeAt, 0);
    client.ResumeAt = 5;
    client.Abort();
    EXPECT_EQ(client.ResumeAt, 0);
}

TEST_F(FtpTransferFaults, APassiveTransferConnectsToTheControlPeerWhateverAddressThe227Names) {
    ScriptedServer control;
    ScriptedServer data;
    TestFtpClient client;
    client.Passive = true;
    OpenScripted(client, control);
    const std::string bytes = RandomBytes(100000, 23);
    WriteAll(Local("p.bin"), bytes);
    client.SetLocalFileName(Local("p.bin").string());
    client.HostFileName = "p.bin";
    const int port = std::stoi(data.Port());
    const std::size_t before = client.Done.size();
    client.StartPut();
    EXPECT_EQ(control.NextLine(), "PASV");
    control.Send("227 Entering Passive Mode (10,9,8,7," + std::to_string(port / 256) + "," +
                 std::to_string(port % 256) + ")\r\n");
    ASSERT_TRUE(data.WaitConnected());
    EXPECT_EQ(control.NextLine(), "STOR p.bin");
    control.Send("150 Go ahead\r\n");
    ASSERT_TRUE(data.WaitClosedByClient());
    EXPECT_TRUE(data.Received() == bytes);
    control.Send("226 Stored\r\n");
    ASSERT_TRUE(WaitFor([&] { return client.Done.size() > before; }));
    EXPECT_EQ(client.Done.back(), (DoneEntry{18, 0}));
}

TEST_F(FtpTransferFaults, APasvReplyWithoutSixNumbersOfOneByteOrWithPortZeroOpensNothing) {
    ScriptedServer control;
    TestFtpClient client;
    client.Passive = true;
    OpenScripted(client, control);
    WriteAll(Local("p.bin"), "data");
    client.SetLocalFileName(Local("p.bin").string());
    client.HostFileName = "p.bin";
    const std::string replies[] = {
        "227 Entering Passive Mode (127,0,0,1,0,0)",   "227 Entering Passive Mode (127,0,0,1,256,1)",
        "227 Entering Passive Mode (127,0,0,1,-1,5)",  "227 Entering Passive Mode (127,0,0,1,4)",
        "227 Entering Passive Mode (127,0,0,1,4,x)",   "227 Entering Passive Mode (127,0,0,1000,4,1)",
        "227 Entering Passive Mode",
    };
    for (const std::string& reply : replies) {
        SCOPED_TRACE(reply);
        const std::size_t before = client.Done.size();
        client.StartPut();
        EXPECT_EQ(control.NextLine(), "PASV");
        control.Send(reply + "\r\n");
        ASSERT_TRUE(WaitFor([&] { return client.Done.size() > before; }));
        EXPECT_EQ(client.Done.back(), (DoneEntry{18, 426}));
        EXPECT_EQ(client.ErrorMessage, "426 FtpException: No address in the PASV reply");
        EXPECT_EQ(client.DataSocket->State(), wsClosed);
        EXPECT_EQ(control.NextLine(200), "<none>");  // no STOR
    }
}
