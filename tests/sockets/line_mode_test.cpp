// Line mode on real loopback connections: lines split across reads, readers taking a
// few bytes at a time, the line limit, editing and echo, the last line at a close,
// switching the mode with data held, handlers that never read, and the states a line
// passes through as the socket's log tells them.
#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

#include "ftp/socket_logger.h"
#include "ftp/sync_wsocket.h"
#include "sockets/socks_test_peers.h"

namespace {

using LineMode = WSocketTest;

// A connected pair: Reader (the socket under test, in line mode) and Writer, the
// accepted end on the server side.
struct LinePair {
    LoopbackServer Server;
    TracedSocket Reader;
    std::string Echoed;  // what Writer got back
    LinePair() {
        ConnectLoopback(Reader, Server);
        Writer().OnDataAvailable = [this](TCustomWSocket* Sender, std::uint16_t) {
            char buf[4096];
            const int n = Sender->Receive(buf, sizeof buf);
            if (n > 0) Echoed.append(buf, static_cast<std::size_t>(n));
        };
        Reader.SetLineMode(true);
    }
    TCustomWSocket& Writer() { return *Server.Peer(); }
    std::int32_t Held() const { return Reader.HeldByteCount(); }
    // Sends Bytes to Reader and waits until Condition holds.
    void Feed(const std::string& Bytes, const std::function<bool()>& Condition) {
        Writer().SendStr(Bytes);
        ASSERT_TRUE(WaitFor(Condition)) << "after sending " << Bytes.size() << " bytes";
    }
};

// Collects each line as the handler reads it whole.
TDataAvailable CollectLines(std::vector<std::string>& Lines) {
    return [&Lines](TCustomWSocket* Sender, std::uint16_t) {
        const std::string line = Sender->ReceiveStr();
        if (!line.empty()) Lines.push_back(line);
    };
}

TEST_F(LineMode, LineEndSplitAcrossReads) {
    LinePair pair;
    std::vector<std::string> lines;
    pair.Reader.OnDataAvailable = CollectLines(lines);
    pair.Feed("AB\r", [&] { return pair.Held() == 3; });
    EXPECT_TRUE(lines.empty());
    pair.Feed("\nCD", [&] { return lines.size() == 1 && pair.Held() == 2; });
    EXPECT_EQ(lines, std::vector<std::string>{"AB\r\n"});
    pair.Feed("\r", [&] { return pair.Held() == 3; });
    pair.Feed("\n", [&] { return lines.size() == 2; });
    EXPECT_EQ(lines, (std::vector<std::string>{"AB\r\n", "CD\r\n"}));
    EXPECT_TRUE(pair.Reader.LineReceived());

    // Several lines in one read are offered one after the other.
    pair.Feed("one\r\ntwo\r\nthree", [&] { return lines.size() == 4 && pair.Held() == 5; });
    EXPECT_EQ(lines, (std::vector<std::string>{"AB\r\n", "CD\r\n", "one\r\n", "two\r\n"}));
}

TEST_F(LineMode, ReaderTakingTwoBytesAtATime) {
    LinePair pair;
    std::vector<std::string> pieces;
    int calls = 0;
    pair.Reader.OnDataAvailable = [&](TCustomWSocket* Sender, std::uint16_t) {
        ++calls;
        char buf[2];
        const int n = Sender->Receive(buf, sizeof buf);
        if (n > 0) pieces.emplace_back(buf, static_cast<std::size_t>(n));
    };
    pair.Feed("abc\r\nxy", [&] { return pieces.size() == 3 && pair.Held() == 2; });
    EXPECT_EQ(pieces, (std::vector<std::string>{"ab", "c\r", "\n"}));
    EXPECT_EQ(calls, 3);
    pair.Feed("z\n\r\n", [&] { return pieces.size() == 6; });
    EXPECT_EQ(pieces, (std::vector<std::string>{"ab", "c\r", "\n", "xy", "z\n", "\r\n"}));
}

TEST_F(LineMode, LineLimitWithBothChoicesOfClearData) {
    for (const bool clear : {true, false}) {
        SCOPED_TRACE(clear);
        LinePair pair;
        std::vector<std::string> lines;
        std::vector<int> exceeded;
        pair.Reader.OnDataAvailable = CollectLines(lines);
        pair.Reader.LineLimit = 10;
        pair.Reader.OnLineLimitExceeded = [&](TCustomWSocket*, std::int32_t Length, bool& ClearData) {
            exceeded.push_back(Length);
            EXPECT_TRUE(ClearData);  // the default
            ClearData = clear;
        };
        pair.Feed("0123456789", [&] { return pair.Held() == 10; });
        EXPECT_TRUE(exceeded.empty());
        pair.Feed("A", [&] { return !exceeded.empty(); });
        EXPECT_EQ(exceeded, std::vector<int>{11});
        EXPECT_EQ(pair.Reader.HeldByteCount(), clear ? 0 : 11);
        pair.Reader.LineLimit = 0;
        pair.Feed("x\r\n", [&] { return !lines.empty(); });
        EXPECT_EQ(lines, std::vector<std::string>{clear ? "x\r\n" : "0123456789Ax\r\n"});
    }
}

TEST_F(LineMode, EditingBackspaceAndTabWithEcho) {
    LinePair pair;
    std::vector<std::string> lines;
    pair.Reader.OnDataAvailable = CollectLines(lines);
    pair.Reader.LineEdit = true;
    pair.Reader.LineEcho = true;
    pair.Feed("ab\bc\r\n", [&] { return lines.size() == 1; });
    EXPECT_EQ(lines, std::vector<std::string>{"ac\r\n"});
    // A backspace erases a byte of an earlier read of the same line.
    pair.Feed("xyz", [&] { return pair.Held() == 3; });
    pair.Feed("\b\b1\r\n", [&] { return lines.size() == 2; });
    EXPECT_EQ(lines.back(), "x1\r\n");
    pair.Feed("abc\t|\r\n", [&] { return lines.size() == 3; });
    EXPECT_EQ(lines.back(), "abc     |\r\n");  // the tab at column 3 fills up to column 8
    ASSERT_TRUE(WaitFor([&] {
        return pair.Echoed == "ab\b \bc\r\nxyz\b \b\b \b1\r\nabc     |\r\n";
    })) << pair.Echoed;
}

// A long run of tabs expands to eight times its length: the editing area keeps up.
TEST_F(LineMode, LongRunOfTabsStaysInsideTheEditingArea) {
    LinePair pair;
    std::vector<std::string> lines;
    pair.Reader.OnDataAvailable = CollectLines(lines);
    pair.Reader.LineEdit = true;
    pair.Feed("a" + std::string(300, '\t') + "b\r\n", [&] { return lines.size() == 1; });
    ASSERT_EQ(lines.size(), 1u);
    EXPECT_EQ(lines[0], "a" + std::string(7 + 299 * 8, ' ') + "b\r\n");
    pair.Feed(std::string(600, '\t') + "\r\n", [&] { return lines.size() == 2; });
    ASSERT_EQ(lines.size(), 2u);
    EXPECT_EQ(lines[1], std::string(600 * 8, ' ') + "\r\n");
}

TEST_F(LineMode, EchoWithoutEditingSendsTheBytesBack) {
    LinePair pair;
    std::vector<std::string> lines;
    pair.Reader.OnDataAvailable = CollectLines(lines);
    pair.Reader.LineEcho = true;
    pair.Feed("hi\b\r\n", [&] { return lines.size() == 1; });
    EXPECT_EQ(lines, std::vector<std::string>{"hi\b\r\n"});
    ASSERT_TRUE(WaitFor([&] { return pair.Echoed == "hi\b\r\n"; }));
}

TEST_F(LineMode, CloseDeliversTheUnterminatedRestAsALastLine) {
    LinePair pair;
    std::vector<std::string> lines;
    std::vector<std::string> order;
    pair.Reader.OnDataAvailable = [&](TCustomWSocket* Sender, std::uint16_t) {
        const std::string line = Sender->ReceiveStr();
        lines.push_back(line);
        order.push_back("line");
    };
    pair.Reader.OnSessionClosed = [&](TCustomWSocket*, std::uint16_t) { order.push_back("closed"); };
    pair.Feed("done\r\nxyz", [&] { return lines.size() == 1 && pair.Held() == 3; });
    pair.Writer().Close();
    ASSERT_TRUE(WaitFor([&] { return pair.Reader.State() == wsClosed; }));
    EXPECT_EQ(lines, (std::vector<std::string>{"done\r\n", "xyz"}));
    EXPECT_EQ(order, (std::vector<std::string>{"line", "line", "closed"}));
}

// A session closed by the line-limit handler drops what it held; the next session of the
// same socket still gets its unterminated rest as a last line at its close.
TEST_F(LineMode, ASessionClosedAtTheLineLimitLeavesTheNextSessionWhole) {
    TracedSocket reader;
    std::vector<std::string> lines;
    reader.OnDataAvailable = CollectLines(lines);
    reader.LineLimit = 4;
    reader.OnLineLimitExceeded = [](TCustomWSocket* Sender, std::int32_t, bool&) { Sender->Close(); };
    {
        LoopbackServer first;
        ConnectLoopback(reader, first);
        reader.SetLineMode(true);
        first.Peer()->SendStr("0123456789");
        ASSERT_TRUE(WaitFor([&] { return reader.State() == wsClosed; }));
    }
    EXPECT_TRUE(lines.empty());
    reader.LineLimit = 0;
    LoopbackServer second;
    ConnectLoopback(reader, second);
    reader.SetLineMode(true);
    second.Peer()->SendStr("xyz");
    ASSERT_TRUE(WaitFor([&] { return reader.HeldByteCount() == 3; }));
    second.Peer()->Close();
    ASSERT_TRUE(WaitFor([&] { return reader.State() == wsClosed; }));
    EXPECT_EQ(lines, std::vector<std::string>{"xyz"});
}

TEST_F(LineMode, SendLineAddsTheLineEnd) {
    LinePair pair;
    EXPECT_EQ(pair.Reader.SendLine("ABCD"), 6);
    EXPECT_EQ(pair.Reader.SendLine(""), 0);
    pair.Reader.LineEnd = "\n";
    EXPECT_EQ(pair.Reader.SendLine("E"), 2);
    ASSERT_TRUE(WaitFor([&] { return pair.Echoed == "ABCD\r\nE\n"; })) << pair.Echoed;
    pair.Reader.LineEnd = "";
    EXPECT_EQ(pair.Reader.SendLine("F"), 1);  // no line end: the queue still goes out
    ASSERT_TRUE(WaitFor([&] { return pair.Echoed == "ABCD\r\nE\nF"; })) << pair.Echoed;
}

// A handler that switches line mode off in the middle of a line: what it has not read of
// the line and what followed it are then offered raw, each byte once.
TEST_F(LineMode, SwitchingOffInsideALineKeepsTheRestOnce) {
    LinePair pair;
    std::vector<std::string> got;
    pair.Reader.OnDataAvailable = [&](TCustomWSocket* Sender, std::uint16_t) {
        auto& reader = static_cast<TWSocket&>(*Sender);
        char buf[64];
        if (reader.LineMode()) {
            const int n = Sender->Receive(buf, 1);
            got.emplace_back(buf, static_cast<std::size_t>(n));
            reader.SetLineMode(false);
            return;
        }
        const int n = Sender->Receive(buf, sizeof buf);
        if (n > 0) got.emplace_back(buf, static_cast<std::size_t>(n));
    };
    pair.Feed("AB\r\nCD\r\nEF", [&] { return got.size() == 2; });
    EXPECT_EQ(got, (std::vector<std::string>{"A", "B\r\nCD\r\nEF"}));
    EXPECT_EQ(pair.Reader.HeldByteCount(), 0);

    // Switching the mode with data held offers the data again under the new mode.
    got.clear();
    pair.Reader.OnDataAvailable = CollectLines(got);
    pair.Reader.SetLineMode(true);
    pair.Feed("GH\r\nI", [&] { return got.size() == 1 && pair.Held() == 1; });
    EXPECT_EQ(got, std::vector<std::string>{"GH\r\n"});
    std::string raw;
    pair.Reader.OnDataAvailable = [&](TCustomWSocket* Sender, std::uint16_t) {
        char buf[16];
        const int n = Sender->Receive(buf, sizeof buf);
        if (n > 0) raw.append(buf, static_cast<std::size_t>(n));
    };
    pair.Reader.SetLineMode(false);
    ASSERT_TRUE(WaitFor([&] { return raw == "I"; })) << raw;
    EXPECT_EQ(pair.Held(), 0);
}

// Without a handler, or with a handler that takes nothing, nothing loops forever.
TEST_F(LineMode, HandlersThatNeverReadCannotHangTheProgram) {
    LinePair pair;
    // No handler: lines are dropped.
    pair.Feed("lost\r\nlost too\r\npartial", [&] { return pair.Held() == 7; });
    EXPECT_EQ(pair.Reader.HeldByteCount(), 7);

    // A handler that reads nothing: the line stays offered and comes again with the
    // next data, once the handler reads.
    int calls = 0;
    bool read = false;
    std::vector<std::string> lines;
    pair.Reader.OnDataAvailable = [&](TCustomWSocket* Sender, std::uint16_t) {
        ++calls;
        if (read) lines.push_back(Sender->ReceiveStr());
    };
    pair.Feed("\r\nnext\r\n", [&] { return calls == 1; });
    DrainMessages();
    EXPECT_EQ(calls, 1);
    read = true;
    pair.Feed("x", [&] { return lines.size() == 2; });
    EXPECT_EQ(lines, (std::vector<std::string>{"partial\r\n", "next\r\n"}));

    // Line mode off with held bytes and no handler: the re-dispatch ends.
    pair.Reader.OnDataAvailable = nullptr;
    pair.Reader.SetLineMode(false);
    DrainMessages();
    pair.Reader.OnDataAvailable = [&](TCustomWSocket*, std::uint16_t) { ++calls; };  // raw, takes nothing
    pair.Reader.SetLineMode(true);
    pair.Reader.SetLineMode(false);
    DrainMessages();
    EXPECT_EQ(pair.Reader.HeldByteCount(), 1);
    // Raw reads then take the held byte first.
    std::string raw;
    pair.Reader.OnDataAvailable = [&](TCustomWSocket* Sender, std::uint16_t) {
        char buf[16];
        const int n = Sender->Receive(buf, sizeof buf);
        if (n > 0) raw.append(buf, static_cast<std::size_t>(n));
    };
    pair.Writer().SendStr("yz");
    ASSERT_TRUE(WaitFor([&] { return raw == "xyz"; })) << raw;

    // A line handler that switches line mode off and then takes nothing raw.
    LinePair other;
    std::vector<std::string> taken;
    other.Reader.OnDataAvailable = [&](TCustomWSocket* Sender, std::uint16_t) {
        auto& reader = static_cast<TWSocket&>(*Sender);
        if (!reader.LineMode()) return;
        taken.push_back(Sender->ReceiveStr());
        reader.SetLineMode(false);
    };
    other.Feed("L1\r\nrest", [&] { return taken.size() == 1; });
    DrainMessages();
    EXPECT_EQ(taken, std::vector<std::string>{"L1\r\n"});
    EXPECT_EQ(other.Held(), 4);
}

// Each move of line mode is logged old -> new: a line read in pieces, the limit, a line
// nobody reads, and a line given up half read when the handler switches the mode off.
TEST_F(LineMode, EachStateChangeIsLoggedOldToNew) {
    TSocketLogger logger;
    std::vector<std::string> moves;
    logger.SetLogOptions({loDestEvent, loWsockDump});
    logger.SetOnSocketLogEvent([&](TSocketComponent*, TLogOption, const std::string& Msg) {
        const std::size_t at = Msg.find(" Line mode ");
        if (at != std::string::npos) moves.push_back(Msg.substr(at + 11));
    });
    LinePair pair;
    EXPECT_EQ(pair.Reader.LineState(), lmCollecting);
    pair.Reader.SetSocketLogger(&logger);

    std::vector<std::string> pieces;
    pair.Reader.OnDataAvailable = [&](TCustomWSocket* Sender, std::uint16_t) {
        char buf[2];
        const int n = Sender->Receive(buf, sizeof buf);
        if (n > 0) pieces.emplace_back(buf, static_cast<std::size_t>(n));
    };
    pair.Feed("abc\r\nxy", [&] { return pieces.size() == 3 && pair.Held() == 2; });

    pair.Reader.LineLimit = 2;
    pair.Reader.OnLineLimitExceeded = [&](TCustomWSocket*, std::int32_t, bool& ClearData) {
        EXPECT_EQ(pair.Reader.LineState(), lmOverLimit);
        ClearData = false;
    };
    pair.Feed("z", [&] { return pair.Held() == 3; });
    EXPECT_EQ(pair.Reader.LineState(), lmCollecting);

    pair.Reader.LineLimit = 0;
    pair.Reader.OnDataAvailable = nullptr;
    pair.Feed("\r\n", [&] { return pair.Held() == 0; });

    std::string raw;
    pair.Reader.OnDataAvailable = [&](TCustomWSocket* Sender, std::uint16_t) {
        auto& reader = static_cast<TWSocket&>(*Sender);
        char buf[64];
        const int n = Sender->Receive(buf, reader.LineMode() ? 1 : sizeof buf);
        if (n > 0) raw.append(buf, static_cast<std::size_t>(n));
        reader.SetLineMode(false);
    };
    pair.Feed("AB\r\n", [&] { return raw == "AB\r\n"; });
    EXPECT_EQ(pair.Reader.LineState(), lmOff);
    pair.Reader.SetSocketLogger(nullptr);

    const std::vector<std::string> expected = {
        "lmCollecting -> lmLineOffered", "lmLineOffered -> lmLineDone", "lmLineDone -> lmCollecting",
        "lmCollecting -> lmOverLimit",   "lmOverLimit -> lmCollecting",
        "lmCollecting -> lmLineOffered", "lmLineOffered -> lmLineDone", "lmLineDone -> lmCollecting",
        "lmCollecting -> lmLineOffered", "lmLineOffered -> lmCollecting", "lmCollecting -> lmOff",
    };
    EXPECT_EQ(moves, expected);
}

}  // namespace
