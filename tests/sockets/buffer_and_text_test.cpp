// Send blocks, error texts, address texts and tick deadlines: what the socket layer
// computes without a socket.
#include <gtest/gtest.h>

#include "ftp/name_resolution.h"
#include "ftp/send_buffer.h"
#include "ftp/socket_errors.h"
#include "ftp/tick_deadline.h"
#include "platform/messages/ticks.h"
#include "sockets/socket_test_support.h"

namespace {

TEST(SendBuffer, FillsDrainsAndStartsOver) {
    TBuffer block(1460);
    const std::string data = PatternBytes(2000);
    EXPECT_EQ(block.Write(data.data(), 2000), 1460);
    EXPECT_EQ(block.Write(data.data(), 10), 0);  // full
    std::int32_t len = -1;
    const char* p = block.Peek(len);
    ASSERT_EQ(len, 1460);
    EXPECT_EQ(std::string(p, 1460), data.substr(0, 1460));
    EXPECT_EQ(block.Remove(100), 100);
    p = block.Peek(len);
    EXPECT_EQ(len, 1360);
    EXPECT_EQ(std::string(p, 3), data.substr(100, 3));
    EXPECT_EQ(block.Remove(5000), 1360);
    EXPECT_EQ(block.WriteCount(), 0);
    EXPECT_EQ(block.ReadCount(), 0);
    EXPECT_EQ(block.Write(data.data(), 1460), 1460);  // the whole area again
}

TEST(SendBuffer, EmptyBlockAndDefaultSize) {
    TBuffer block(16);
    std::int32_t len = -1;
    EXPECT_EQ(block.Peek(len), nullptr);
    EXPECT_EQ(len, 0);
    EXPECT_EQ(block.Remove(4), 0);
    EXPECT_EQ(TBuffer(0).Capacity(), 1514);
    EXPECT_EQ(TBuffer(-5).Capacity(), 1514);
}

TEST(SendBuffer, ResizingKeepsWrittenBytes) {
    TBuffer block(8);
    block.Write("abcdef", 6);
    block.Remove(2);
    block.SetCapacity(4);  // below what is written: never loses a byte
    EXPECT_GE(block.Capacity(), 6);
    block.SetCapacity(32);
    std::int32_t len = 0;
    const char* p = block.Peek(len);
    EXPECT_EQ(std::string(p, static_cast<std::size_t>(len)), "cdef");
}

TEST(SocketErrorTexts, FormattedWithCode) {
    EXPECT_EQ(FormatSocketError(10061), "Connection refused (#10061)");
    EXPECT_EQ(FormatSocketError(12345), "Not a WinSock error (#12345)");
    EXPECT_EQ(FormatSocketError(0), "No Error (#0)");
    EXPECT_EQ(SocketErrorText(11001), "Host not found");
    EXPECT_EQ(SocketErrorText(10093), "WinSock not initialized");
    EXPECT_EQ(SocketErrorText(10058), "Can't send after socket shutdown");
    const std::string system = FormatSystemError(126);
    EXPECT_EQ(system.substr(system.size() - 7), " (#126)");
    EXPECT_GT(system.size(), 7u);
}

TEST(AddressTexts, DottedAddresses) {
    EXPECT_TRUE(IsDottedIp("10.0.0.1"));
    EXPECT_TRUE(IsDottedIp(" 10.0.0.1 "));
    EXPECT_TRUE(IsDottedIp("255.255.255.255"));
    for (const char* text : {"1..2.3", "1.2.3", "1.2.3.4x", "256.1.1.1", "", ".1.2.3", "1.2.3.", "1.2.3.4.5",
                             "300.1.1.1", "1.2.3.4 5", "99999999999.1.1.1", "localhost"})
        EXPECT_FALSE(IsDottedIp(text)) << text;
    EXPECT_EQ(ParseLeadingNumber("  21abc"), 21);
    EXPECT_EQ(ParseLeadingNumber("ftp"), 0);
    EXPECT_EQ(ParseLeadingNumber(""), 0);
    EXPECT_EQ(TrimBlanks("  a b \t"), "a b");
}

// Deadlines on the 32-bit tick count: a wait that spans the wrap ends neither at once
// nor never.
TEST(TickDeadlines, ComparedAcrossTheWrap) {
    const std::uint32_t start = 0xFFFFFF00u;
    const std::uint32_t deadline = TickDeadline(start, 0x200);
    EXPECT_EQ(deadline, 0x100u);
    EXPECT_FALSE(TickDeadlineReached(start, deadline));          // not at once
    EXPECT_FALSE(TickDeadlineReached(0xFFFFFFFFu, deadline));
    EXPECT_FALSE(TickDeadlineReached(0x0FFu, deadline));
    EXPECT_TRUE(TickDeadlineReached(0x100u, deadline));          // and not never
    EXPECT_TRUE(TickDeadlineReached(0x5000u, deadline));
    EXPECT_EQ(TickRemaining(0xFFFFFFF0u, deadline), 0x110u);
    EXPECT_EQ(TickRemaining(0x200u, deadline), 0u);
    EXPECT_EQ(TickElapsed(0xFFFFFFF0u, 0x10u), 0x20u);
}

TEST(TickDeadlines, WaitEndsOnTimeWithTheCountAboutToWrap) {
    SetTickCountOffsetForTesting(0u - GetTickCount() - 100u);  // the count wraps in 100 ms
    const DWORD before = GetTickCount();
    const bool reached = WaitFor([] { return false; }, 300);
    const DWORD elapsed = GetTickCount() - before;
    SetTickCountOffsetForTesting(0);
    EXPECT_FALSE(reached);
    EXPECT_GE(elapsed, 300u);
    EXPECT_LT(elapsed, 3000u);
}

}  // namespace
