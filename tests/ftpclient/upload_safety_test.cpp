// The upload against a real server that misbehaves or is misused: arguments holding
// line breaks never become commands of their own, a data connection from anyone but
// the server is turned away, a slow reader is waited for as long as it reads, and one
// that stops reading ends the upload with 426 soon after the time-out.
#include <gtest/gtest.h>

#include <fstream>
#include <sstream>

#include "ftp/ftp_blocking_client.h"
#include "ftpclient/ftp_test_support.h"
#include "platform/messages/ticks.h"

namespace {

class FtpUploadSafety : public FtpClientTest {
protected:
    std::filesystem::path Local(const std::string& Name) { return folder.Path() / Name; }
    std::filesystem::path CommandLog() { return folder.Path() / "commands.log"; }
    // The command lines the server received, one per line (as Python shows them).
    std::vector<std::string> Commands() {
        std::vector<std::string> lines;
        std::stringstream text(ReadAll(CommandLog()));
        for (std::string line; std::getline(text, line);) lines.push_back(line);
        return lines;
    }
    // The blocking calls of an upload, as the dialog makes them.
    static bool Upload(TFtpClient& Client, const std::string& Port, const std::filesystem::path& File,
                       const std::string& Remote, const std::string& User = "alice",
                       const std::string& Password = "s3cret") {
        PointAtLoopback(Client, Port, User, Password);
        if (!Client.Connect()) return false;
        Client.SetTransferType();
        Client.HostFileName = Remote;
        Client.SetLocalFileName(File.string());
        return Client.Put();
    }

    TempFolder folder;
    LoopbackFtpServer server;
};

}  // namespace

TEST_F(FtpUploadSafety, ALineBreakOrNulInAnyArgumentSendsNoCommandOfItsOwn) {
    if (!server.Start({"--command-log", CommandLog().string()})) GTEST_SKIP() << server.Reason();
    std::ofstream(server.Root() / "notes.txt") << "keep me";
    std::ofstream(Local("drawing.jpg"), std::ios::binary) << "JPEG";
    const std::string breaks[] = {"\r", "\n", "\r\n", std::string(1, '\0')};
    std::vector<std::string> expected;  // the commands of the sessions that may log in
    for (const std::string& cut : breaks) {
        SCOPED_TRACE("break of " + std::to_string(cut.size()) + " byte(s), first " + std::to_string(int(cut[0])));
        {
            // The password: the connect request ends before it connects.
            TFtpClient client;
            EXPECT_FALSE(Upload(client, server.Port(), Local("drawing.jpg"), "a.jpg", "alice",
                                "s3cret" + cut + "DELE notes.txt"));
            EXPECT_EQ(client.StatusCode, 500);
            EXPECT_EQ(client.ErrorMessage, "500 Line break or NUL in the argument of PASS; nothing sent");
            EXPECT_FALSE(client.Connected());
        }
        {
            TFtpClient client;  // the user name
            EXPECT_FALSE(Upload(client, server.Port(), Local("drawing.jpg"), "a.jpg", "alice" + cut + "DELE notes.txt"));
            EXPECT_EQ(client.ErrorMessage, "500 Line break or NUL in the argument of USER; nothing sent");
            EXPECT_FALSE(client.Connected());
        }
        for (const std::string& remote : {"pub" + cut + "MKD evil", "a.jpg" + cut + "DELE notes.txt"}) {
            // The folder and the file name, which go out as one path: the put request
            // ends before its PORT.
            TFtpClient client;
            EXPECT_FALSE(Upload(client, server.Port(), Local("drawing.jpg"), remote));
            EXPECT_EQ(client.StatusCode, 500);
            EXPECT_EQ(client.ErrorMessage, "500 Line break or NUL in the argument of STOR; nothing sent");
            EXPECT_TRUE(client.Quit());  // the session itself goes on
            expected.insert(expected.end(), {"'USER alice'", "'PASS s3cret'", "'TYPE I'", "'QUIT'"});
        }
    }
    DrainMessages();
    EXPECT_EQ(ReadAll(server.Root() / "notes.txt"), "keep me");
    EXPECT_FALSE(std::filesystem::exists(server.Root() / "evil"));
    EXPECT_EQ(Commands(), expected);
    // Nothing was stored under any of the names.
    for (const auto& entry : std::filesystem::directory_iterator(server.Root()))
        EXPECT_EQ(entry.path().filename(), "notes.txt");
}

TEST_F(FtpUploadSafety, ADataConnectionFromAnotherAddressIsClosedAndTheServersIsTaken) {
    if (!server.Start()) GTEST_SKIP() << server.Reason();
    const std::string bytes = RandomBytes(300000, 3);
    std::ofstream(Local("drawing.jpg"), std::ios::binary) << bytes;
    TFtpClient client;
    // Before PORT goes out, someone on 127.0.0.2 connects to the listening data port.
    TCustomWSocket intruder;
    bool intruderConnected = false;
    bool intruderClosed = false;
    std::size_t intruderReceived = 0;
    intruder.OnSessionConnected = [&](TCustomWSocket*, std::uint16_t Error) { intruderConnected = Error == 0; };
    intruder.OnSessionClosed = [&](TCustomWSocket*, std::uint16_t) { intruderClosed = true; };
    intruder.OnDataAvailable = [&](TCustomWSocket* Sender, std::uint16_t) {
        char buffer[4096];
        for (int n; (n = Sender->Receive(buffer, sizeof buffer)) > 0;) intruderReceived += std::size_t(n);
    };
    client.OnCommand = [&](TCustomFtpCli* Sender, std::string& Cmd) {
        if (Cmd.rfind("PORT ", 0) != 0) return;
        intruder.SetAddr("127.0.0.1");
        intruder.SetLocalAddr("127.0.0.2");
        intruder.SetPort(Sender->DataSocket->GetBoundPort());
        intruder.Connect();
        ASSERT_TRUE(WaitFor([&] { return intruderConnected; }));
    };
    std::vector<std::string> display;
    client.OnDisplay = [&](TCustomFtpCli*, std::string& Msg) { display.push_back(Msg); };
    ASSERT_TRUE(Upload(client, server.Port(), Local("drawing.jpg"), "drawing.jpg"));
    EXPECT_EQ(client.StatusCode, 226);
    EXPECT_TRUE(ReadAll(server.Root() / "drawing.jpg") == bytes);
    // Turned away as soon as it was seen, before the store began.
    const auto refused = std::find(display.begin(), display.end(), "! Data connection from 127.0.0.2 refused");
    ASSERT_NE(refused, display.end());
    EXPECT_LT(refused - display.begin(), std::find(display.begin(), display.end(), "> STOR drawing.jpg") - display.begin());
    ASSERT_TRUE(WaitFor([&] { return intruderClosed; }, 1000));
    EXPECT_EQ(intruderReceived, 0u);
    client.Quit();
}

TEST_F(FtpUploadSafety, ASlowReaderIsWaitedForAsLongAsItReads) {
    // About 5 s of reading for a time-out of 2 s.
    if (!server.Start({"--read-limit", "48000"})) GTEST_SKIP() << server.Reason();
    const std::string bytes = RandomBytes(240000, 5);
    std::ofstream(Local("drawing.jpg"), std::ios::binary) << bytes;
    TFtpClient client;
    client.Timeout = 2;
    const DWORD start = GetTickCount();
    EXPECT_TRUE(Upload(client, server.Port(), Local("drawing.jpg"), "drawing.jpg")) << client.ErrorMessage;
    EXPECT_GE(TickDifference(GetTickCount(), start), 4000);
    EXPECT_EQ(client.StatusCode, 226);
    EXPECT_TRUE(ReadAll(server.Root() / "drawing.jpg") == bytes);
    client.Quit();
}

TEST_F(FtpUploadSafety, AReaderThatStopsEndsTheUploadWith426SoonAfterTheTimeout) {
    if (!server.Start({"--stop-reading-after", "20000"})) GTEST_SKIP() << server.Reason();
    std::ofstream(Local("drawing.jpg"), std::ios::binary) << RandomBytes(8000000, 9);
    TFtpClient client;
    client.Timeout = 2;
    PointAtLoopback(client, server.Port(), "alice", "s3cret");
    ASSERT_TRUE(client.Connect());
    client.HostFileName = "drawing.jpg";
    client.SetLocalFileName(Local("drawing.jpg").string());
    // Timed from the moment the server stopped taking bytes.
    DWORD stalled = GetTickCount();
    std::int64_t last = -1;
    client.OnProgress = [&](TCustomFtpCli*, std::int64_t Count, bool&) {
        if (Count != last) stalled = GetTickCount();
        last = Count;
    };
    EXPECT_FALSE(client.Put());
    const std::int32_t elapsed = TickDifference(GetTickCount(), stalled);
    EXPECT_EQ(client.StatusCode, 426);
    EXPECT_LE(elapsed, 2000 + 2000);
    EXPECT_GE(elapsed, 1500);
}
