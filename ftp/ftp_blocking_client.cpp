#include "ftp/ftp_blocking_client.h"

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
    try {
        RequestRefused = false;
        (this->*Starter)();
        // A request refused before or between its steps (not ready, not connected, an
        // empty parameter) has failed, whatever the previous request left in
        // RequestResult.
        const bool ended = WaitForRequest();
        return ended && !RequestRefused;
    } catch (...) {
        // A starter that raised may have left a high-level request marked as running.
        HighLevelActive = false;
        StepContinuation = nullptr;
        StepSet = TFtpStepSet();
        return false;
    }
}

bool TFtpClient::WaitForRequest() {
    WaitDeadline = TickDeadline(GetTickCount(), static_cast<DWORD>(Timeout) * 1000u);
    for (;;) {
        if (ClientState == fcsReady || ClientState == fcsInternalReady) return RequestResult == 0;
        if (Options.Contains(ftpWaitUsingSleep))
            Sleep(0);
        else
            MsgWaitForMultipleObjects(0, nullptr, FALSE, WaitSliceMilliseconds, QS_ALLINPUT);
        PumpMessages();
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
