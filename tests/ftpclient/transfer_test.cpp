// Transfers over the data connection against the loopback server: active and passive
// uploads arriving byte for byte, a download, listings, an empty file, a refused STOR,
// an unreadable local file and a port range whose ports are all busy.
#include <gtest/gtest.h>

#include <algorithm>
#include <fstream>

#include "ftpclient/ftp_test_support.h"

namespace {

bool Displayed(const TestFtpClient& Client, const std::string& Prefix) {
    return std::any_of(Client.Display.begin(), Client.Display.end(),
                       [&](const std::string& line) { return line.rfind(Prefix, 0) == 0; });
}

class FtpTransfer : public FtpClientTest {
protected:
    // Connects and logs in as User; false (with a failure) when that did not work.
    bool Login(TestFtpClient& Client, const std::string& User = "alice", const std::string& Password = "s3cret") {
        PointAtLoopback(Client, server.Port(), User, Password);
        const int code = Client.Run([&] { Client.StartConnect(); });
        EXPECT_EQ(code, 0);
        // Binary, so that the server keeps every byte.
        return code == 0 && Client.Run([&] { Client.CmdType(); }) == 0;
    }
    std::filesystem::path Local(const std::string& Name) { return server.Root().parent_path() / Name; }

    LoopbackFtpServer server;
};

}  // namespace

TEST_F(FtpTransfer, AnActiveUploadArrivesIntactInBlocks) {
    if (!server.Start()) GTEST_SKIP() << server.Reason();
    // Not a whole number of blocks, so the last one is short.
    const std::string bytes = RandomBytes(1460 * 70 + 333, 7);
    WriteAll(Local("drawing.jpg"), bytes);
    TestFtpClient client;
    ASSERT_TRUE(Login(client));
    client.SetLocalFileName(Local("drawing.jpg").string());
    client.HostFileName = "drawing.jpg";
    EXPECT_EQ(client.Run([&] { client.StartPut(); }), 0);
    EXPECT_EQ(client.Done.back().first, 18);
    EXPECT_TRUE(ReadAll(server.Root() / "drawing.jpg") == bytes);
    EXPECT_EQ(client.ByteCount, static_cast<std::int32_t>(bytes.size()));
    // A loopback control connection names 127,0,0,1 in PORT.
    EXPECT_TRUE(Displayed(client, "> PORT 127,0,0,1,"));
    EXPECT_TRUE(Displayed(client, "! Upload Size " + std::to_string(bytes.size())));
    EXPECT_TRUE(Displayed(client, "! " + std::to_string(bytes.size()) + " bytes received/sent in "));
    EXPECT_EQ(client.ClientState, fcsReady);
    EXPECT_EQ(client.DataSocket->State(), wsClosed);
}

TEST_F(FtpTransfer, PassiveUploadAndDownloadRoundTrip) {
    if (!server.Start()) GTEST_SKIP() << server.Reason();
    const std::string bytes = RandomBytes(200000, 11);
    WriteAll(Local("up.bin"), bytes);
    TestFtpClient client;
    ASSERT_TRUE(Login(client));
    client.Passive = true;
    client.SetLocalFileName(Local("up.bin").string());
    client.HostFileName = "up.bin";
    EXPECT_EQ(client.Run([&] { client.StartPut(); }), 0);
    EXPECT_TRUE(Displayed(client, "> PASV"));
    EXPECT_TRUE(ReadAll(server.Root() / "up.bin") == bytes);

    client.SetLocalFileName(Local("down.bin").string());
    EXPECT_EQ(client.Run([&] { client.StartGet(); }), 0);
    EXPECT_EQ(client.Done.back().first, 10);
    EXPECT_TRUE(ReadAll(Local("down.bin")) == bytes);
}

TEST_F(FtpTransfer, UploadsOfManyBlocksArriveIntactOneAfterAnotherInBothModes) {
    if (!server.Start()) GTEST_SKIP() << server.Reason();
    constexpr std::size_t block = TCustomFtpCli::UploadBlockSize;
    // Several blocks and a short one, then exactly one block, then less than one.
    const std::vector<std::string> files = {RandomBytes(block * 2 + block / 2 + 7, 31), RandomBytes(block, 37),
                                            RandomBytes(1000, 41)};
    TestFtpClient client;
    ASSERT_TRUE(Login(client));
    for (const bool passive : {false, true}) {
        client.Passive = passive;
        for (std::size_t i = 0; i < files.size(); ++i) {
            const std::string name = std::string(passive ? "passive" : "active") + std::to_string(i) + ".bin";
            SCOPED_TRACE(name);
            WriteAll(Local(name), files[i]);
            client.SetLocalFileName(Local(name).string());
            client.HostFileName = name;
            EXPECT_EQ(client.Run([&] { client.StartPut(); }), 0);
            EXPECT_TRUE(ReadAll(server.Root() / name) == files[i]);
            EXPECT_EQ(client.ByteCount, static_cast<std::int64_t>(files[i].size()));
            // The data socket queued every block whole.
            EXPECT_EQ(client.DataSocket->BufSize(), static_cast<std::int32_t>(block));
        }
    }
}

TEST_F(FtpTransfer, AnActiveDownloadAndListingsReachTheFileAndTheDisplay) {
    if (!server.Start()) GTEST_SKIP() << server.Reason();
    const std::string bytes = RandomBytes(50000, 3);
    WriteAll(server.Root() / "first.dat", bytes);
    WriteAll(server.Root() / "second.dat", "x");
    TestFtpClient client;
    ASSERT_TRUE(Login(client));
    client.HostFileName = "first.dat";
    client.SetLocalFileName(Local("first.dat").string());
    EXPECT_EQ(client.Run([&] { client.StartGet(); }), 0);
    EXPECT_TRUE(ReadAll(Local("first.dat")) == bytes);

    client.HostFileName.clear();
    client.SetLocalFileName(Local("names.txt").string());
    EXPECT_EQ(client.Run([&] { client.StartNameList(); }), 0);
    EXPECT_EQ(client.Done.back().first, 8);
    const std::string names = ReadAll(Local("names.txt"));
    EXPECT_NE(names.find("first.dat\r\n"), std::string::npos) << names;
    EXPECT_NE(names.find("second.dat\r\n"), std::string::npos) << names;

    // A listing shown instead of stored arrives line by line.
    std::vector<std::string> lines;
    client.OnDisplayFile = [&](TCustomFtpCli*, std::string& Line) { lines.push_back(Line); };
    client.DisplayFileFlag = true;
    EXPECT_EQ(client.Run([&] { client.StartList(); }), 0);
    ASSERT_EQ(lines.size(), 2u);
    EXPECT_NE(lines[0].find("first.dat"), std::string::npos);
    EXPECT_NE(lines[1].find("second.dat"), std::string::npos);
}

TEST_F(FtpTransfer, AnEmptyFileIsStoredEmpty) {
    if (!server.Start()) GTEST_SKIP() << server.Reason();
    WriteAll(Local("empty"), "");
    TestFtpClient client;
    ASSERT_TRUE(Login(client));
    client.SetLocalFileName(Local("empty").string());
    client.HostFileName = "empty";
    EXPECT_EQ(client.Run([&] { client.StartPut(); }), 0);
    ASSERT_TRUE(std::filesystem::exists(server.Root() / "empty"));
    EXPECT_EQ(std::filesystem::file_size(server.Root() / "empty"), 0u);
    EXPECT_TRUE(Displayed(client, "! 0 bytes received/sent in "));
}

TEST_F(FtpTransfer, ARefusedStoreEndsWithItsCodeAndSendsNothing) {
    if (!server.Start()) GTEST_SKIP() << server.Reason();
    WriteAll(Local("data"), RandomBytes(5000, 1));
    TestFtpClient client;
    ASSERT_TRUE(Login(client, "viewer", "look"));
    client.SetLocalFileName(Local("data").string());
    client.HostFileName = "data";
    EXPECT_EQ(client.Run([&] { client.StartPut(); }), 550);
    EXPECT_EQ(client.ErrorMessage.rfind("550 ", 0), 0u) << client.ErrorMessage;
    EXPECT_FALSE(std::filesystem::exists(server.Root() / "data"));
    EXPECT_EQ(client.DataSocket->State(), wsClosed);
    EXPECT_TRUE(client.Connected());
}

TEST_F(FtpTransfer, AMissingLocalFileEndsTheUploadWith426) {
    if (!server.Start()) GTEST_SKIP() << server.Reason();
    TestFtpClient client;
    ASSERT_TRUE(Login(client));
    client.SetLocalFileName(Local("absent").string());
    client.HostFileName = "absent";
    EXPECT_EQ(client.Run([&] { client.StartPut(); }), 426);
    EXPECT_EQ(client.ErrorMessage.rfind("Unable to open local file ", 0), 0u) << client.ErrorMessage;
    EXPECT_FALSE(Displayed(client, "> STOR"));
    EXPECT_EQ(client.DataSocket->State(), wsClosed);
}

TEST_F(FtpTransfer, APortRangeWhosePortsAreBusyIsRefusedBeforePort) {
    if (!server.Start()) GTEST_SKIP() << server.Reason();
    TCustomWSocket busy;
    busy.SetAddr("0.0.0.0");
    busy.SetPort("0");
    busy.Listen();
    const std::uint32_t port = static_cast<std::uint32_t>(std::stoi(busy.GetBoundPort()));
    TestFtpClient client;
    ASSERT_TRUE(Login(client));
    client.SetLocalFileName("unused");
    client.SetDataPortRangeStart(port);
    client.SetDataPortRangeEnd(port);
    // The put request then raises with the data socket's error.
    EXPECT_THROW(client.StartPut(), FtpException);
    ASSERT_FALSE(client.Errors.empty());
    EXPECT_EQ(client.Errors.back(), "All ports in DataPortRange are in use");
    EXPECT_FALSE(Displayed(client, "> PORT"));

    client.SetDataPortRangeStart(port + 1);
    client.SetDataPortRangeEnd(port);
    client.StartPut();
    EXPECT_EQ(client.Errors.back(), "DataPortRangeEnd must be greater than DataPortRangeStart");
    busy.Close();
}

TEST_F(FtpTransfer, TheFirstBlockWaitsForADataConnectionThatComesAfterTheGoAhead) {
    // A server that connects only once it has said 150: the blocks leave after both.
    ScriptedServer control;
    TestFtpClient client;
    OpenScripted(client, control);
    TempFolder folder;
    const std::string bytes = RandomBytes(1460 * 3 + 17, 21);
    WriteAll(folder.Path() / "late.bin", bytes);
    client.SetLocalFileName((folder.Path() / "late.bin").string());
    client.HostFileName = "late.bin";
    const std::size_t before = client.Done.size();
    client.StartPut();
    const std::string port = control.NextLine();
    ASSERT_EQ(port.rfind("PORT 127,0,0,1,", 0), 0u) << port;
    const std::size_t hiAt = port.rfind(',', port.rfind(',') - 1);
    const int dataPort = std::stoi(port.substr(hiAt + 1)) * 256 + std::stoi(port.substr(port.rfind(',') + 1));
    control.Send("200 PORT ok\r\n");
    EXPECT_EQ(control.NextLine(), "STOR late.bin");
    control.Send("150 Go ahead\r\n");
    DrainMessages();
    EXPECT_EQ(client.ByteCount, 0);

    std::string received;
    bool closed = false;
    TCustomWSocket data;
    data.SetProto("tcp");
    data.SetAddr("127.0.0.1");
    data.SetPort(std::to_string(dataPort));
    data.LingerOnOff = wsLingerOff;
    data.OnDataAvailable = [&](TCustomWSocket* Sender, std::uint16_t) {
        char buffer[4096];
        for (int n; (n = Sender->Receive(buffer, sizeof buffer)) > 0;) received.append(buffer, std::size_t(n));
    };
    data.OnSessionClosed = [&](TCustomWSocket*, std::uint16_t) { closed = true; };
    data.Connect();
    ASSERT_TRUE(WaitFor([&] { return closed; }));
    EXPECT_TRUE(received == bytes);
    control.Send("226 Stored\r\n");
    ASSERT_TRUE(WaitFor([&] { return client.Done.size() > before; }));
    EXPECT_EQ(client.Done.back(), (std::pair<TFtpRequest, std::uint16_t>{18, 0}));
    control.Hangup();
    client.Abort();
    DrainMessages();
}
