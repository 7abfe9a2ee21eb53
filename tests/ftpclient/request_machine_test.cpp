// The request machine as its log tells it: an upload passes through its steps and reply
// states in one fixed sequence, in active and in passive mode, and a final reply state
// entered without its go-ahead is refused and reported.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "ftp/socket_logger.h"
#include "ftpclient/ftp_test_support.h"

namespace {

// A logger that keeps the request machine's lines (steps and request states).
class MachineLog {
public:
    explicit MachineLog(TLogOptions Options) {
        FLogger.SetLogOptions(Options);
        FLogger.SetOnSocketLogEvent([this](TSocketComponent*, TLogOption, const std::string& Msg) {
            if (Msg.rfind("! Step ", 0) == 0 || Msg.rfind("! Request state ", 0) == 0) Lines.push_back(Msg);
        });
    }
    TSocketLogger* Logger() { return &FLogger; }
    std::vector<std::string> Lines;

private:
    TSocketLogger FLogger;
};

class FtpRequestMachine : public FtpClientTest {};

}  // namespace

TEST_F(FtpRequestMachine, AnUploadLogsEachMoveOldToNewInActiveAndPassiveMode) {
    LoopbackFtpServer server;
    if (!server.Start()) GTEST_SKIP() << server.Reason();
    const std::filesystem::path local = server.Root().parent_path() / "curve.jpg";
    WriteAll(local, RandomBytes(5000, 5));
    for (const bool passive : {false, true}) {
        SCOPED_TRACE(passive ? "passive" : "active");
        MachineLog log({loDestEvent, loProtSpecErr, loProtSpecDump});
        TestFtpClient client;
        client.Passive = passive;
        PointAtLoopback(client, server.Port(), "alice", "s3cret");
        ASSERT_EQ(client.Run([&] { client.StartConnect(); }), 0);
        ASSERT_EQ(client.Run([&] { client.CmdType(); }), 0);
        client.SetLocalFileName(local.string());
        client.HostFileName = "curve.jpg";

        client.SetSocketLogger(log.Logger());
        EXPECT_EQ(client.Run([&] { client.StartPut(); }), 0);
        client.SetSocketLogger(nullptr);
        const std::vector<std::string> expected = {
            "! Step stepTypeSet -> stepNone",
            "! Step stepNone -> stepPort",
            "! Request state rsIdle -> rsCommandReply",
            "! Request state rsCommandReply -> rsIdle",
            "! Step stepPort -> stepPut",
            "! Request state rsIdle -> rsPutFirstReply",
            "! Request state rsPutFirstReply -> rsPutFinalReply",
            "! Request state rsPutFinalReply -> rsIdle",
        };
        EXPECT_EQ(log.Lines, expected);
        EXPECT_EQ(client.RequestState(), rsIdle);
        EXPECT_EQ(ReadAll(server.Root() / "curve.jpg").size(), 5000u);
    }
}

TEST_F(FtpRequestMachine, AFinalReplyStateWithoutItsGoAheadIsRefusedAndReported) {
    MachineLog log({loDestEvent, loProtSpecErr});
    TestFtpClient client;
    client.SetSocketLogger(log.Logger());

    client.SetRequestState(rsPutFinalReply);
    EXPECT_EQ(client.RequestState(), rsIdle);
    ASSERT_EQ(client.Errors.size(), 1u);
    EXPECT_EQ(client.Errors.back(), "Program error: request state rsIdle -> rsPutFinalReply refused");

    // A download's go-ahead leads to its own final reply only.
    client.SetRequestState(rsGetFirstReply);
    client.SetRequestState(rsPutFinalReply);
    EXPECT_EQ(client.RequestState(), rsGetFirstReply);
    client.SetRequestState(rsGetFinalReply);
    EXPECT_EQ(client.RequestState(), rsGetFinalReply);
    EXPECT_EQ(client.Errors.size(), 2u);
    client.SetSocketLogger(nullptr);

    // The moves made are not logged at the error level; the refusals are.
    const std::vector<std::string> expected = {
        "! Request state rsIdle -> rsPutFinalReply refused",
        "! Request state rsGetFirstReply -> rsPutFinalReply refused",
    };
    EXPECT_EQ(log.Lines, expected);
}
