// Line mode of the socket family: collecting received bytes, finding lines, offering
// them to the application, line editing and echo, the line limit, and the re-dispatch
// of held data after a change of mode.
//
// The states (TLineModeState) and who moves between them, all through SetLineState:
//
//   lmOff          -> lmCollecting   SetLineMode(true)
//   any            -> lmOff          SetLineMode(false); an unread rest of the line is held raw
//   lmCollecting   -> lmLineOffered  DeliverHeldLines finds LineEnd; TriggerSessionClosed
//                                    makes the unterminated rest a last line
//   lmLineOffered  -> lmLineDone     DoRecv hands out the last byte of the line; OfferLine
//                                    drops the line when nobody reads
//   lmLineDone     -> lmCollecting   RemoveDeliveredLine (the line leaves the buffer)
//   lmCollecting   -> lmOverLimit    CheckLineLimit, while OnLineLimitExceeded runs
//   lmOverLimit    -> lmCollecting   CheckLineLimit, once the handler has decided
//   any but lmOff  -> lmCollecting   FreeLineBuffer (the session closed); CompactPendingLine
//                                    (the unread rest of a line goes back to the held bytes)
#include "ftp/line_wsocket.h"

#include <algorithm>
#include <cstring>

#include "ftp/scoped_count.h"
#include "platform/messages/message_queue.h"

namespace {

// What a backspace echoes: back, blank, back.
const std::string kBackspaceEcho("\x08\x20\x08", 3);

}  // namespace

TCustomLineWSocket::TCustomLineWSocket() {
    LineEnd = "\r\n";
    FLineState = lmOff;
    LineLimit = 65536;
}

TCustomLineWSocket::~TCustomLineWSocket() {
    BeginDestruction();
    FreeLineBuffer();
}

// ---------------------------------------------------------------------------
// The states

void TCustomLineWSocket::SetLineState(TLineModeState NewState) {
    if (NewState == FLineState) return;
    static constexpr const char* kNames[] = {"lmOff", "lmCollecting", "lmLineOffered", "lmLineDone", "lmOverLimit"};
    static_assert(sizeof kNames / sizeof kNames[0] == lmOverLimit + 1);
    if (!Destroying() && CheckLogOptions(loWsockDump))
        DebugLog(loWsockDump, IdentityText() + " Line mode " + kNames[FLineState] + " -> " + kNames[NewState]);
    FLineState = NewState;
}

void TCustomLineWSocket::AwaitNextLine() {
    if (FLineState != lmOff) SetLineState(lmCollecting);
}

// ---------------------------------------------------------------------------
// The buffer

void TCustomLineWSocket::GrowLineBuffer(std::int32_t Size) {
    if (static_cast<std::int32_t>(FLineBuffer.size()) < Size) FLineBuffer.resize(static_cast<std::size_t>(Size), 0);
}

void TCustomLineWSocket::FreeLineBuffer() {
    std::vector<char>().swap(FLineBuffer);
    FLineBufferCount = 0;
    FLineLength = 0;
    FLineSpan = 0;
    // A session closed from inside OnLineLimitExceeded leaves no choice of ClearData behind
    // for the next one.
    FLineClearData = false;
    ++FLineBufferGeneration;
    AwaitNextLine();
}

int TCustomLineWSocket::ReceiveRaw(char* Buffer, int BufferSize) {
    return CountReceived(TCustomSocksWSocket::DoRecv(Buffer, BufferSize, 0));
}

void TCustomLineWSocket::Echo(const char* Data, int Len) {
    try {
        Send(Data, Len);
    } catch (const std::exception&) {
        // A broken connection is reported by its close.
    }
}

// ---------------------------------------------------------------------------
// Properties and sending

void TCustomLineWSocket::SetLineMode(bool Value) {
    if (Value == LineMode()) return;
    // A line given up half read: what is left of it and what follows are held raw.
    if (!Value && FLineState == lmLineOffered) CompactPendingLine();
    SetLineState(Value ? lmCollecting : lmOff);
    if ((FLineBufferCount > 0 || FLineLength > 0) && FWindowHandle)
        PostMessageA(FWindowHandle, WM_TRIGGER_DATA_AVAILABLE, 0, 0);
}

int TCustomLineWSocket::SendLine(const std::string& Str) {
    if (Str.empty()) return 0;
    QueueSendData(Str.data(), static_cast<int>(Str.size()));
    if (!LineEnd.empty())
        SendStr(LineEnd);
    else
        Send(nullptr, 0);  // sends the queue
    return static_cast<int>(Str.size() + LineEnd.size());
}

std::int32_t TCustomLineWSocket::GetRcvdCount() {
    if (LineMode()) return FLineLength;
    return TCustomSocksWSocket::GetRcvdCount();
}

// ---------------------------------------------------------------------------
// Reading: the application's reads take the offered line, or the held bytes raw

int TCustomLineWSocket::DoRecv(void* Buffer, int BufferSize, int Flags) {
    char* out = static_cast<char*>(Buffer);
    if (FLineState == lmLineOffered) {
        if (BufferSize < FLineLength) {
            const int n = std::max(0, BufferSize);
            std::memcpy(out, FLineBuffer.data(), static_cast<std::size_t>(n));
            std::memmove(FLineBuffer.data(), FLineBuffer.data() + n, static_cast<std::size_t>(FLineLength - n));
            FLineLength -= n;
            return n;
        }
        const int n = FLineLength;
        std::memcpy(out, FLineBuffer.data(), static_cast<std::size_t>(n));
        FLineLength = 0;
        SetLineState(lmLineDone);
        return n;
    }
    if (!LineMode() && FLineBufferCount > 0) {
        if (BufferSize < FLineBufferCount) {
            const int n = std::max(0, BufferSize);
            std::memcpy(out, FLineBuffer.data(), static_cast<std::size_t>(n));
            // The rest moves to the front with the 0 after it.
            std::memmove(FLineBuffer.data(), FLineBuffer.data() + n, static_cast<std::size_t>(FLineBufferCount - n + 1));
            FLineBufferCount -= n;
            return n;
        }
        const int n = FLineBufferCount;
        std::memcpy(out, FLineBuffer.data(), static_cast<std::size_t>(n));
        FLineBufferCount = 0;
        FLineBuffer[0] = 0;
        return n;
    }
    return TCustomSocksWSocket::DoRecv(Buffer, BufferSize, Flags);
}

// ---------------------------------------------------------------------------
// Receiving in line mode

bool TCustomLineWSocket::TriggerDataAvailable(std::uint16_t ErrCode) {
    if (!LineMode() || LineEnd.empty() || SocksNegotiating())
        return TCustomSocksWSocket::TriggerDataAvailable(ErrCode);

    std::int32_t count = TCustomSocksWSocket::GetRcvdCount();
    if (count < 0) return true;
    if (count == 0) count = 255;
    GrowLineBuffer(FLineBufferCount + count + 1);
    std::int32_t n = ReceiveRaw(FLineBuffer.data() + FLineBufferCount, count);
    if (n < 1) {
        if (FLineBufferCount == 0) return true;
        n = 0;
    }
    if (n > 0) {
        if (LineEdit)
            EditLine(n);
        else if (LineEcho)
            Echo(FLineBuffer.data() + FLineBufferCount, n);
    }
    // Called again while a line is being offered (a handler let messages run): the
    // running delivery goes on with what has been added.
    if (FDeliveryDepth > 0) {
        FLineBufferCount += n;
        FLineBuffer[static_cast<std::size_t>(FLineBufferCount)] = 0;
        return true;
    }
    // A line end split between two reads is found from here.
    const std::int32_t start = std::max<std::int32_t>(0, FLineBufferCount - static_cast<std::int32_t>(LineEnd.size()));
    FLineBufferCount += n;
    FLineBuffer[static_cast<std::size_t>(FLineBufferCount)] = 0;
    DeliverHeldLines(start);
    return true;
}

std::int32_t TCustomLineWSocket::FindLineEnd(std::int32_t Start) const {
    const auto endLength = static_cast<std::int32_t>(LineEnd.size());
    if (endLength == 0) return -1;
    for (std::int32_t i = Start; i + endLength <= FLineBufferCount; ++i)
        if (std::memcmp(FLineBuffer.data() + i, LineEnd.data(), static_cast<std::size_t>(endLength)) == 0) return i;
    return -1;
}

void TCustomLineWSocket::DeliverHeldLines(std::int32_t Start) {
    const std::uint32_t generation = FLineBufferGeneration;
    ScopedCount delivering(FDeliveryDepth);
    while (LineMode() && !LineEnd.empty()) {
        // A line left pending (its handler took nothing) is offered again first.
        if (FLineState != lmLineOffered) {
            const std::int32_t i = FindLineEnd(Start);
            if (i < 0) {
                CheckLineLimit(generation);
                return;
            }
            FLineLength = i + static_cast<std::int32_t>(LineEnd.size());
            FLineSpan = FLineLength;
            FLineReceived = true;
            ++FLinesFound;
            SetLineState(lmLineOffered);
        }
        if (!OfferLine(generation)) return;
        RemoveDeliveredLine();
        Start = 0;
        DeliverRaw(generation);
        if (FLineBufferGeneration != generation) return;
    }
}

bool TCustomLineWSocket::OfferLine(std::uint32_t Generation) {
    while (FLineState == lmLineOffered) {
        const std::int32_t before = FLineLength;
        const bool handled = TCustomSocksWSocket::TriggerDataAvailable(0);
        if (FLineBufferGeneration != Generation) return false;
        if (!handled) {
            FLineLength = 0;  // nobody reads: the line is dropped
            if (FLineState == lmLineOffered) SetLineState(lmLineDone);
            break;
        }
        // A handler that took nothing would be offered the line forever: it stays
        // pending and is offered again with the next data.
        if (FLineState == lmLineOffered && FLineLength == before) return false;
    }
    return true;
}

void TCustomLineWSocket::RemoveDeliveredLine() {
    if (FLineLength > 0) {
        // Line mode went off before the whole line was read.
        CompactPendingLine();
    } else if (FLineSpan > 0) {
        const std::int32_t rest = FLineBufferCount - FLineSpan;
        std::memmove(FLineBuffer.data(), FLineBuffer.data() + FLineSpan, static_cast<std::size_t>(rest));
        FLineBufferCount = rest;
    }
    FLineSpan = 0;
    FLineLength = 0;
    if (!FLineBuffer.empty()) FLineBuffer[static_cast<std::size_t>(FLineBufferCount)] = 0;
    AwaitNextLine();
}

void TCustomLineWSocket::CompactPendingLine() {
    if (FLineLength > 0 && FLineSpan > FLineLength) {
        const std::int32_t rest = FLineBufferCount - FLineSpan;
        std::memmove(FLineBuffer.data() + FLineLength, FLineBuffer.data() + FLineSpan, static_cast<std::size_t>(rest));
        FLineBufferCount = FLineLength + rest;
        FLineBuffer[static_cast<std::size_t>(FLineBufferCount)] = 0;
    }
    FLineLength = 0;
    FLineSpan = 0;
    AwaitNextLine();
}

void TCustomLineWSocket::DeliverRaw(std::uint32_t Generation) {
    while (!LineMode() && FLineBufferCount > 0) {
        const std::int32_t before = FLineBufferCount;
        const bool handled = TCustomSocksWSocket::TriggerDataAvailable(0);
        if (FLineBufferGeneration != Generation) return;
        if (!handled || (!LineMode() && FLineBufferCount >= before)) return;  // nothing taken
    }
}

void TCustomLineWSocket::CheckLineLimit(std::uint32_t Generation) {
    if (LineLimit <= 0 || FLineBufferCount <= LineLimit) return;
    SetLineState(lmOverLimit);
    FLineClearData = true;
    TriggerLineLimitExceeded(FLineBufferCount, FLineClearData);
    if (FLineBufferGeneration != Generation) return;
    if (FLineState == lmOverLimit) SetLineState(lmCollecting);
    if (FLineClearData) {
        FLineLength = 0;
        FLineSpan = 0;
        FLineBufferCount = 0;
        FLineBuffer[0] = 0;
        FLineClearData = false;
    }
}

void TCustomLineWSocket::TriggerLineLimitExceeded(std::int32_t RcvdLength, bool& ClearData) {
    if (OnLineLimitExceeded && !Destroying()) OnLineLimitExceeded(this, RcvdLength, ClearData);
}

// ---------------------------------------------------------------------------
// Line editing

void TCustomLineWSocket::EditLine(std::int32_t& N) {
    // The editing rewrites into a work area, made at the first backspace or tab.
    std::vector<char> work;
    bool edited = false;
    std::int32_t w = FLineBufferCount;
    std::int32_t low = FLineBufferCount;
    // A backspace never reaches into a line that is still offered.
    const std::int32_t floor = FLineState == lmLineOffered ? FLineSpan : 0;
    auto store = [&](char ch) {
        // The area grows before every store, so no run of tabs can pass its end.
        while (static_cast<std::int32_t>(work.size()) <= w) work.resize(work.size() + 256, 0);
        work[static_cast<std::size_t>(w)] = ch;
    };
    for (std::int32_t k = 0; k < N; ++k) {
        const char ch = FLineBuffer[static_cast<std::size_t>(FLineBufferCount + k)];
        if ((ch == '\b' || ch == '\t') && !edited) {
            edited = true;
            work.assign(static_cast<std::size_t>((FLineBufferCount + N + 256) / 256 * 256), 0);
            std::memcpy(work.data(), FLineBuffer.data(), static_cast<std::size_t>(w));
        }
        if (ch == '\b') {
            if (LineEcho && w > floor) Echo(kBackspaceEcho.data(), static_cast<int>(kBackspaceEcho.size()));
            if (w > floor) {
                --w;
                low = std::min(low, w);
            }
        } else if (ch == '\t') {
            do {
                if (LineEcho) Echo(" ", 1);
                store(' ');
                ++w;
            } while (w % 8 != 0);
        } else {
            if (LineEcho) Echo(&ch, 1);
            if (edited) store(ch);
            ++w;
        }
    }
    if (!edited) return;
    GrowLineBuffer(w + 1);
    std::memcpy(FLineBuffer.data(), work.data(), static_cast<std::size_t>(w));
    FLineBuffer[static_cast<std::size_t>(w)] = 0;
    FLineBufferCount = low;
    N = w - low;
}

// ---------------------------------------------------------------------------
// Re-dispatch, close and the window procedure

void TCustomLineWSocket::RedispatchLines() {
    int rounds = 0;
    while (FLineBufferCount > 0) {
        ++rounds;
        const std::uint32_t linesBefore = FLinesFound;
        const std::int32_t before = FLineBufferCount;
        const std::int32_t lineBefore = FLineLength;
        TriggerDataAvailable(0);
        const bool lineFound = FLinesFound != linesBefore;
        if (FLineBufferCount == 0) break;
        if (LineMode() && rounds > 3 && !lineFound) break;
        // A pass that took nothing would be repeated forever.
        if (!lineFound && FLineBufferCount >= before && FLineLength == lineBefore) break;
    }
}

void TCustomLineWSocket::TriggerSessionClosed(std::uint16_t ErrCode) {
    FLineReceived = true;
    if (!FLineBuffer.empty()) {
        if (LineMode() && FLineBufferCount > 0 && !FLineClearData) {
            // The unterminated rest becomes a last line.
            CompactPendingLine();
            FLineLength = FLineBufferCount;
            FLineSpan = FLineBufferCount;
            SetLineState(lmLineOffered);
            const std::uint32_t generation = FLineBufferGeneration;
            ScopedCount delivering(FDeliveryDepth);
            OfferLine(generation);
        }
        FreeLineBuffer();
    }
    TCustomSocksWSocket::TriggerSessionClosed(ErrCode);
}

void TCustomLineWSocket::WndProc(TMessage& Msg) {
    if (Msg.Msg != WM_TRIGGER_DATA_AVAILABLE) {
        TCustomSocksWSocket::WndProc(Msg);
        return;
    }
    try {
        RedispatchLines();
    } catch (const std::exception& E) {
        HandleBackgroundException(E);
    }
}
