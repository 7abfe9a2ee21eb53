// The logger's destinations, its file handling, and a socket's link to it.
#include <gtest/gtest.h>

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <vector>

#include "ftp/socket_logger.h"
#include "ftp/wsocket.h"
#include "platform/messages/message_queue.h"
#include "platform/messages/thread_services.h"
#include "sockets/socket_test_support.h"

namespace {

std::string ReadFile(const std::filesystem::path& Path) {
    std::ifstream in(Path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

class SocketLoggerTest : public WSocketTest {
protected:
    void SetUp() override {
        WSocketTest::SetUp();
        Dir = std::filesystem::temp_directory_path() /
              ("socket_logger_" + std::to_string(::testing::UnitTest::GetInstance()->random_seed()) + "_" +
               ::testing::UnitTest::GetInstance()->current_test_info()->name());
        std::filesystem::remove_all(Dir);
        std::filesystem::create_directories(Dir);
        SetDebugOutputSink([this](std::string_view Text) { DebugLines.emplace_back(Text); });
    }
    void TearDown() override {
        SetDebugOutputSink({});
        std::filesystem::remove_all(Dir);
        WSocketTest::TearDown();
    }
    std::filesystem::path Dir;
    std::vector<std::string> DebugLines;
};

TEST_F(SocketLoggerTest, EachDestinationGetsTheLine) {
    TSocketLogger logger;
    std::vector<std::string> events;
    TLogOption seenOption = loDestFile;
    TSocketComponent* seenSender = nullptr;
    logger.SetOnSocketLogEvent([&](TSocketComponent* Sender, TLogOption Option, const std::string& Msg) {
        seenSender = Sender;
        seenOption = Option;
        events.push_back(Msg);
    });
    logger.SetLogFileName((Dir / "a.log").string());

    logger.SetLogOptions({loWsockInfo, loWsockDump});  // categories without a destination
    logger.DoDebugLog(&logger, loWsockInfo, "nowhere");
    EXPECT_TRUE(events.empty());
    EXPECT_TRUE(DebugLines.empty());
    EXPECT_FALSE(std::filesystem::exists(Dir / "a.log"));

    logger.SetLogOptions({loDestEvent, loDestFile, loDestOutDebug});
    logger.DoDebugLog(&logger, loWsockErr, "line one");
    logger.DoDebugLog(&logger, loWsockErr, "line two");
    EXPECT_EQ(events, (std::vector<std::string>{"line one", "line two"}));
    EXPECT_EQ(seenOption, loWsockErr);
    EXPECT_EQ(seenSender, &logger);
    EXPECT_EQ(DebugLines, (std::vector<std::string>{"line one", "line two"}));
    EXPECT_EQ(ReadFile(Dir / "a.log"), "line one\r\nline two\r\n");
}

TEST_F(SocketLoggerTest, StampedLines) {
    TSocketLogger logger;
    std::string line;
    logger.SetOnSocketLogEvent([&](TSocketComponent*, TLogOption, const std::string& Msg) { line = Msg; });
    logger.SetLogOptions({loDestEvent, loAddStamp});
    logger.DoDebugLog(nullptr, loProtSpecInfo, "hello");
    // "hh:nn:ss:zzz hello"
    ASSERT_EQ(line.size(), 18u) << line;
    for (std::size_t i : {0u, 1u, 3u, 4u, 6u, 7u, 9u, 10u, 11u}) EXPECT_TRUE(line[i] >= '0' && line[i] <= '9') << line;
    EXPECT_EQ(line[2], ':');
    EXPECT_EQ(line[5], ':');
    EXPECT_EQ(line[8], ':');
    EXPECT_EQ(line.substr(12), " hello");
}

TEST_F(SocketLoggerTest, FileNameChangesAndFileOptions) {
    const auto first = Dir / "first.log";
    const auto second = Dir / "second.log";
    {
        std::ofstream(second, std::ios::binary) << "old\r\n";
    }
    TSocketLogger logger;
    logger.SetLogOptions({loDestFile});
    logger.SetLogFileName(first.string());
    logger.DoDebugLog(&logger, loWsockInfo, "to first");
    logger.SetLogFileName(first.string());  // the same name keeps the open file
    logger.DoDebugLog(&logger, loWsockInfo, "still first");
    logger.SetLogFileName(second.string());  // appended to what is there
    logger.DoDebugLog(&logger, loWsockInfo, "to second");
    EXPECT_EQ(ReadFile(first), "to first\r\nstill first\r\n");
    EXPECT_EQ(ReadFile(second), "old\r\nto second\r\n");

    logger.SetLogFileOption(lfoOverwrite);
    logger.SetLogFileName(first.string());
    logger.DoDebugLog(&logger, loWsockInfo, "fresh");
    EXPECT_EQ(ReadFile(first), "fresh\r\n");
}

TEST_F(SocketLoggerTest, EmptyFileNameRaises) {
    TSocketLogger logger;
    logger.SetLogOptions({loDestFile});
    try {
        logger.DoDebugLog(&logger, loWsockInfo, "x");
        FAIL() << "no exception";
    } catch (const ELoggerException& E) {
        EXPECT_STREQ(E.what(), "File name empty");
    }
}

TEST_F(SocketLoggerTest, SocketLogsThroughItsLoggerUntilTheLoggerGoes) {
    auto logger = std::make_unique<TSocketLogger>();
    std::vector<std::string> lines;
    logger->SetOnSocketLogEvent(
        [&](TSocketComponent*, TLogOption, const std::string& Msg) { lines.push_back(Msg); });
    logger->SetLogOptions({loDestEvent, loWsockInfo, loWsockDump});

    TCustomWSocket socket;
    EXPECT_FALSE(socket.CheckLogOptions(loWsockInfo));  // no logger
    socket.SetSocketLogger(logger.get());
    EXPECT_TRUE(socket.CheckLogOptions(loWsockInfo));
    EXPECT_FALSE(socket.CheckLogOptions(loProtSpecInfo));
    EXPECT_FALSE(socket.CheckLogOptions(static_cast<TLogOption>(16)));

    // A select notification is logged with its event names.
    socket.SetAddr("127.0.0.1");
    socket.SetPort("0");
    socket.Listen();
    PostMessageA(socket.Handle(), WM_ASYNCSELECT, socket.HSocket(), ws::WSAMAKESELECTREPLY(ws::FD_ACCEPT, 0));
    ASSERT_TRUE(WaitFor([&] { return !lines.empty(); }));
    EXPECT_EQ(lines.back(), "AsyncSelect CtrlSocket" + std::to_string(socket.HSocket()) + ", 8 FD_ACCEPT");

    logger.reset();
    EXPECT_EQ(socket.SocketLogger(), nullptr);
    EXPECT_FALSE(socket.CheckLogOptions(loWsockInfo));
    socket.Close();  // logs nothing, reaches no freed logger
}

TEST(SelectEventNames, InTheirFixedOrder) {
    EXPECT_EQ(FormatSelectEvents(ws::FD_ACCEPT | ws::FD_CLOSE | ws::FD_CONNECT | ws::FD_READ | ws::FD_WRITE),
              " FD_CONNECT FD_READ FD_WRITE FD_CLOSE FD_ACCEPT");
    EXPECT_EQ(FormatSelectEvents(0), "");
}

}  // namespace
