#include "ftp/ftp_blocking_client.h"

#include "ftp/scoped_count.h"
#include "ftp/socket_window.h"
#include "ftp/tick_deadline.h"
#include "platform/messages/message_queue.h"
#include "platform/messages/ticks.h"

TFtpClient::TFtpClient() {
    Timeout = 15;
}

bool TFtpClient::Connect() { return RunBlocking(&TCustomFtpCli::StartConnect); }
bool TFtpClient::SetTransferType() { return RunBlocking(&TCustomFtpCli::CmdType); }
bool TFtpClient::Put() { return RunBlocking(&TCustomFtpCli::StartPut); }
bool TFtpClient::Quit() { return RunBlocking(&TCustomFtpCli::CmdQuit); }

bool TFtpClient::RunBlocking(void (TCustomFtpCli::*Starter)()) {
    // A handler run by the wait (a second click) must not start another request on
    // this client and wait for it inside the first wait.
    if (WaitDepth > 0) {
        TriggerError("A blocking call is already waiting on this client");
        return false;
    }
    ScopedCount waiting(WaitDepth);
    try {
        RequestRefused = false;
        WaitStartCount = RequestsEnded;
        (this->*Starter)();
        return WaitForRequest();
    } catch (...) {
        // A starter that raised may have left a high-level request marked as running.
        HighLevelActive = false;
        ContinueSteps = false;
        StepSet = TFtpStepSet();
        return false;
    }
}

bool TFtpClient::RequestOver(bool& Result) const {
    // A request refused before or between its steps (not ready, not connected, an empty
    // parameter) has failed, whatever the previous request left behind.
    if (RequestRefused) {
        Result = false;
        return true;
    }
    if (RequestsEnded != WaitStartCount) {
        Result = LastRequestCode == 0;
        return true;
    }
    // Dropped without an end (an abort from a background exception): a failure.
    if (ClientState == fcsReady) {
        Result = false;
        return true;
    }
    return false;
}

bool TFtpClient::WaitForRequest() {
    const DWORD limit = static_cast<DWORD>(Timeout) * 1000u;
    WaitDeadline = TickDeadline(GetTickCount(), limit);
    std::int64_t taken = DataBytesTaken();
    DWORD lastLook = GetTickCount();
    bool result = false;
    for (;;) {
        if (RequestOver(result)) return result;
        if (Options.Contains(ftpWaitUsingSleep))
            Sleep(0);
        else
            MsgWaitForMultipleObjects(0, nullptr, FALSE, WaitSliceMilliseconds, QS_ALLINPUT);
        PumpMessages();
        // A request that ended meanwhile counts, even when the time is up as well.
        if (RequestOver(result)) return result;
        // Bytes the server took from the data connection are progress too, also when
        // they had left the send queue long before (a slow reader). Looked at a few
        // times a second, not at every message.
        if (Timeout > 0 && TickElapsed(lastLook, GetTickCount()) >= ProgressLookMilliseconds) {
            lastLook = GetTickCount();
            const std::int64_t nowTaken = DataBytesTaken();
            if (nowTaken > taken) WaitDeadline = TickDeadline(lastLook, limit);
            taken = nowTaken;
        }
        if (ApplicationTerminated() || (Timeout > 0 && TickDeadlineReached(GetTickCount(), WaitDeadline))) {
            Abort();
            ErrorMessage = "426 Timeout";
            StatusCode = 426;
            return false;
        }
    }
}

void TFtpClient::PumpMessages() {
    if (!MultiThreaded) {
        RunApplicationMessagePump();
        return;
    }
    if (MessagePump)
        MessagePump(this);
    else if (ControlSocket)
        ControlSocket->PumpSocketMessages();
}

bool TFtpClient::TriggerProgress() {
    if (!TCustomFtpCli::TriggerProgress()) return false;
    if (Timeout > 0) WaitDeadline = TickDeadline(GetTickCount(), static_cast<DWORD>(Timeout) * 1000u);
    return true;
}
