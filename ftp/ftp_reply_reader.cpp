// The control connection's events: the host lookup, the connection, the replies cut
// into lines (greeting, multi-line replies, FEAT lines) and the close.
#include <cstring>

#include "engine/text_helpers.h"
#include "ftp/ftp_client.h"
#include "ftp/ftp_text_helpers.h"

namespace {

// The text without leading and trailing blanks and control characters.
std::string Trimmed(const std::string& Text) {
    std::size_t first = 0;
    std::size_t last = Text.size();
    while (first < last && static_cast<unsigned char>(Text[first]) <= ' ') ++first;
    while (last > first && static_cast<unsigned char>(Text[last - 1]) <= ' ') --last;
    return Text.substr(first, last - first);
}

bool StartsWith(const std::string& Text, const char* Prefix) {
    return Text.rfind(Prefix, 0) == 0;
}

// True when Needle occurs in Text at a 1-based position after Position.
bool FoundAfter(const std::string& Text, const char* Needle, std::size_t Position) {
    return Text.find(Needle, Position) != std::string::npos;
}

constexpr std::size_t kAllRepliesLimit = 65536;

}  // namespace

void TCustomFtpCli::ControlDataAvailable(TCustomWSocket*, std::uint16_t ErrCode) {
    if (!ControlSocket) return;
    const int room = ReplyBufferSize - 1 - ReplyBufferCount;
    if (room <= 0) return;
    const int received = ControlSocket->Receive(ReplyBuffer.data() + ReplyBufferCount, room);
    if (received <= 0) return;
    ReplyBufferCount += received;
    ReplyBuffer[static_cast<std::size_t>(ReplyBufferCount)] = 0;

    while (ReplyBufferCount > 0) {
        const char* data = ReplyBuffer.data();
        const std::size_t fill = static_cast<std::size_t>(ReplyBufferCount);
        if (SkipToLineEnd) {
            // The rest of a line that was cut: dropped up to and with its LF, so that
            // nothing inside it is read as a reply of its own.
            const void* lf = std::memchr(data, '\n', fill);
            const std::size_t dropped = lf ? static_cast<std::size_t>(static_cast<const char*>(lf) - data) + 1 : fill;
            if (lf) SkipToLineEnd = false;
            std::memmove(ReplyBuffer.data(), ReplyBuffer.data() + dropped, fill - dropped + 1);
            ReplyBufferCount -= static_cast<std::int32_t>(dropped);
            continue;
        }
        std::size_t lineLength = 0;
        std::size_t consumed = 0;
        if (Options.Contains(ftpAcceptLF)) {
            const void* lf = std::memchr(data, '\n', fill);
            if (lf) {
                lineLength = static_cast<std::size_t>(static_cast<const char*>(lf) - data);
                consumed = lineLength + 1;
            }
        } else {
            for (std::size_t i = 0; i + 1 < fill; ++i) {
                if (data[i] == '\r' && data[i + 1] == '\n') {
                    lineLength = i;
                    consumed = i + 2;
                    break;
                }
            }
        }
        if (consumed == 0) {
            // A line that fills the whole buffer without a line end can never be
            // completed there: its first 4095 bytes are taken as the line and the rest
            // is skipped up to the next LF.
            if (ReplyBufferCount < ReplyBufferSize - 1) break;
            lineLength = fill;
            consumed = fill;
            SkipToLineEnd = true;
        }

        std::string line(data, lineLength);
        while (!line.empty() && (line.back() == '\r' || line.back() == '\n')) line.pop_back();
        LastResponse = line;
        if (AllReplies.size() < kAllRepliesLimit) AllReplies += LastResponse + "\r\n";
        if (OnResponse) OnResponse(this);
        if (IsLogged(loProtSpecDump)) LogDebugText(loProtSpecDump, ">|" + LastResponse + "|\r\n");

        std::memmove(ReplyBuffer.data(), ReplyBuffer.data() + consumed, fill - consumed + 1);
        ReplyBufferCount -= static_cast<std::int32_t>(consumed);

        const bool final = IsFinalReplyLine(line);

        if (ClientState == fcsWaitingGreeting) {
            ShowLastReply();
            // 120: the server will be ready later; its 220 is still to come.
            if (!final || StatusCode == 120) continue;
            ReplyAwaited = false;
            if (StatusCode != 220) {
                KeepFirstError();
                RequestResult = StatusCode;
                if (ControlSocket) ControlSocket->Close();
                return;
            }
            ChangeState(fcsConnected);
            if (OnSessionConnected) OnSessionConnected(this, ErrCode);
            FinishRequest(0);
            continue;
        }

        if (ClientState == fcsWaitingReply) {
            if (CurrentStep() == stepFeat) NoteFeatureLine(line);
            if (CurrentStep() == stepMlst && line.size() > 4 && StatusCode == 250 && line[0] == ' ')
                MlstResultText = Trimmed(line);
            if (!final) {
                ShowLastReply();
                continue;
            }
            if (!HandleFinalReply()) return;
            continue;
        }

        ShowLastReply();
    }
}

bool TCustomFtpCli::IsFinalReplyLine(const std::string& Line) {
    if (Line.size() < 3 || !IsDigit(Line[0]) || !IsDigit(Line[1]) || !IsDigit(Line[2])) return false;
    const std::int32_t code = (Line[0] - '0') * 100 + (Line[1] - '0') * 10 + (Line[2] - '0');
    const char after = Line.size() > 3 ? Line[3] : ' ';
    if (MultiLineCode >= 0) {
        // Inside a multi-line reply only its own code followed by a blank ends it.
        if (code != MultiLineCode || Line.size() < 4 || after != ' ') return false;
        MultiLineCode = -1;
        StatusCode = code;
        return true;
    }
    StatusCode = code;
    if (after == '-') {
        MultiLineCode = code;
        return false;
    }
    return true;
}

void TCustomFtpCli::NoteFeatureLine(const std::string& Line) {
    const std::string feature = Trimmed(Line);
    if (StartsWith(feature, "MDTM YYYYMMDDHHMMSS[+-TZ]")) FeatureFlags |= FeatMdtmSet;
    if (feature == "MDTM") FeatureFlags |= FeatMdtm;
    if (feature == "SIZE") FeatureFlags |= FeatSize;
    if (feature == "REST STREAM") FeatureFlags |= FeatRestStream;
    if (StartsWith(feature, "MLST")) {
        FeatureFlags |= FeatMlst;
        if (feature.size() > 6) MlstFactsText = Trimmed(feature.substr(5, 99));
    }
    if (feature == "MFMT") FeatureFlags |= FeatMfmt;
    if (feature == "MD5") FeatureFlags |= FeatMd5;
    if (StartsWith(feature, "AUTH")) {
        if (FoundAfter(feature, "SSL", 5)) FeatureFlags |= FeatAuthSsl;
        if (FoundAfter(feature, "TLS", 5)) FeatureFlags |= FeatAuthTls;
    }
    if (StartsWith(feature, "PROT")) {
        if (FoundAfter(feature, "C", 5)) FeatureFlags |= FeatProtC;
        if (FoundAfter(feature, "P", 5)) FeatureFlags |= FeatProtP;
    }
    if (feature == "PBSZ") FeatureFlags |= FeatPbsz;
    if (feature == "CCC") FeatureFlags |= FeatCcc;
    if (StartsWith(feature, "XCRC")) FeatureFlags |= FeatXcrc;
    if (StartsWith(feature, "MODE Z")) FeatureFlags |= FeatModeZ;
}

void TCustomFtpCli::ControlLookupDone(TCustomWSocket*, std::uint16_t ErrCode) {
    if (ErrCode != 0) {
        LastResponse = "500 DNS lookup error - " + FormatSocketError(ErrCode);
        StatusCode = 500;
        RequestResult = 500;
        KeepFirstError();
        FinishRequest(ErrCode);
        return;
    }
    if (!ControlSocket) return;
    ResolvedAddress = ControlSocket->DnsResult();
    try {
        ControlSocket->SetAddr(ResolvedAddress);
        ControlSocket->SetLocalAddr(LocalAddr);
        ControlSocket->SetProto("tcp");
        if (ConnectionKind == ftpProxy && !ProxyPort.empty())
            ControlSocket->SetPort(ProxyPort);
        else
            ControlSocket->SetPort(Port);
        ChangeState(fcsWaitingGreeting);
        ReplyAwaited = true;
        ControlSocket->Connect();
    } catch (const std::exception& E) {
        FailRequestWith(E);
    }
}

void TCustomFtpCli::ControlConnected(TCustomWSocket*, std::uint16_t ErrCode) {
    if (ErrCode != 0) {
        LastResponse = "500 Connect error - " + FormatSocketError(ErrCode);
        StatusCode = 500;
        RequestResult = 500;
        KeepFirstError();
        ContinueSteps = false;
        FinishRequest(ErrCode);
        if (ControlSocket) ControlSocket->Close();
        ChangeState(fcsReady);
        return;
    }
    ConnectedFlag = true;
}

void TCustomFtpCli::ControlClosed(TCustomWSocket*, std::uint16_t ErrCode) {
    if (ConnectedFlag) {
        ConnectedFlag = false;
        if (ClientState != fcsAbort) ChangeState(fcsNotConnected);
        if (OnSessionClosed) OnSessionClosed(this, ErrCode);
    }
    if (ClientState != fcsAbort) ChangeState(fcsInternalReady);
    if (ErrCode != 0) {
        LastResponse = "500 Control connection closed - " + FormatSocketError(ErrCode);
        StatusCode = 500;
        RequestResult = 500;
        KeepFirstError();
    } else if (ReplyAwaited && ClientState != fcsAbort) {
        // The server hung up while a reply was still awaited: that request failed.
        LastResponse = "500 Control connection closed.";
        StatusCode = 500;
        RequestResult = 500;
        KeepFirstError();
    }
    ReplyAwaited = false;
    FinishRequest(static_cast<std::uint16_t>(RequestResult));
}
