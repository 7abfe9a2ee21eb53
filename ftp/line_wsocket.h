#pragma once
// TCustomLineWSocket: line mode. Received bytes are collected in a buffer and offered
// to OnDataAvailable one line at a time, each ended by LineEnd, with an optional echo
// to the peer and simple line editing (backspace and tab). The application reads the
// offered line with Receive, in one piece or several. The states of line mode and the
// moves between them are described at the head of line_wsocket.cpp.
#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "ftp/socks_wsocket.h"

// Posted to the socket's window to offer the held data again after a change of
// LineMode.
inline constexpr UINT WM_TRIGGER_DATA_AVAILABLE = WM_USER + 20;

using TLineLimitEvent = std::function<void(TCustomWSocket* Sender, std::int32_t RcvdLength, bool& ClearData)>;

// The states of line mode. Off: held bytes go to the application as they are. On, a line
// passes through Collecting (its bytes held until LineEnd), LineOffered (found, offered
// to OnDataAvailable until read), LineDone (read, or dropped when nobody reads) and back
// to Collecting once it has left the buffer. OverLimit: more than LineLimit bytes held
// without a line end, while OnLineLimitExceeded decides what becomes of them.
enum TLineModeState : std::uint8_t { lmOff, lmCollecting, lmLineOffered, lmLineDone, lmOverLimit };

class TCustomLineWSocket : public TCustomSocksWSocket {
public:
    TCustomLineWSocket();
    ~TCustomLineWSocket() override;

    bool LineMode() const { return FLineState != lmOff; }
    virtual void SetLineMode(bool Value);
    TLineModeState LineState() const { return FLineState; }
    // The most bytes held without a line end before OnLineLimitExceeded; 0 or less: none.
    std::int32_t LineLimit = 65536;
    // The bytes that end a line; an empty LineEnd switches line splitting off.
    std::string LineEnd = "\r\n";
    bool LineEcho = false;  // send received bytes back to the peer
    bool LineEdit = false;  // apply backspace and tab editing to received bytes
    // Set when a line has been found and when the session closes.
    bool LineReceived() const { return FLineReceived; }
    TLineLimitEvent OnLineLimitExceeded;

    // Queues Str and sends it with LineEnd; the count of bytes given (0 for an empty Str).
    virtual int SendLine(const std::string& Str);

protected:
    void WndProc(TMessage& Msg) override;
    std::int32_t GetRcvdCount() override;
    bool TriggerDataAvailable(std::uint16_t ErrCode) override;
    void TriggerSessionClosed(std::uint16_t ErrCode) override;
    int DoRecv(void* Buffer, int BufferSize, int Flags) override;
    virtual void TriggerLineLimitExceeded(std::int32_t RcvdLength, bool& ClearData);
    // Applies backspace and tab editing to the N bytes just received after the held
    // ones; on return the held count is the lowest position the editing rewrote and N
    // the count of bytes from there on.
    virtual void EditLine(std::int32_t& N);

    // Bytes held in the line buffer (tests and subclasses).
    std::int32_t HeldByteCount() const { return FLineBufferCount; }

private:
    // The only way the state of line mode changes; logged old -> new (socket dump level).
    void SetLineState(TLineModeState NewState);
    // Back to Collecting once a line has left the buffer (or the buffer went); Off stays.
    void AwaitNextLine();
    void GrowLineBuffer(std::int32_t Size);
    void FreeLineBuffer();
    // Reads from the socket (or the SOCKS left-over bytes), bypassing the held data.
    int ReceiveRaw(char* Buffer, int BufferSize);
    void Echo(const char* Data, int Len);
    // The first position from Start on where LineEnd begins, or -1.
    std::int32_t FindLineEnd(std::int32_t Start) const;
    // Offers the complete lines of the held data, from the search position Start on.
    void DeliverHeldLines(std::int32_t Start);
    // Offers the pending line until it is read; false when the buffer went away or the
    // handler took nothing (the line then stays pending).
    bool OfferLine(std::uint32_t Generation);
    // Offers the held bytes raw while line mode is off, until a pass takes nothing.
    void DeliverRaw(std::uint32_t Generation);
    void RemoveDeliveredLine();
    // Joins what is left of a partly read line with the bytes that followed it, so the
    // held data is one piece again; no line is pending afterwards.
    void CompactPendingLine();
    void CheckLineLimit(std::uint32_t Generation);
    void RedispatchLines();

    TLineModeState FLineState = lmOff;
    std::vector<char> FLineBuffer;      // the held bytes, then always a 0
    std::int32_t FLineBufferCount = 0;  // bytes held
    std::int32_t FLineLength = 0;       // unread bytes of the line offered (lmLineOffered), else 0
    std::int32_t FLineSpan = 0;         // where the bytes after the offered line start
    bool FLineReceived = false;
    std::uint32_t FLinesFound = 0;  // lines found so far (a re-dispatch round watches it grow)
    bool FLineClearData = false;    // the ClearData given to OnLineLimitExceeded
    int FDeliveryDepth = 0;                // a delivery to the application is running
    std::uint32_t FLineBufferGeneration = 0;  // changes each time the buffer is freed
};
