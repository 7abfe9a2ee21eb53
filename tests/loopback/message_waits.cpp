#include "loopback/message_waits.h"

#include <algorithm>

#include "ftp/tick_deadline.h"
#include "platform/messages/message_queue.h"
#include "platform/messages/ticks.h"

bool WaitFor(const std::function<bool()>& Condition, DWORD Milliseconds) {
    const DWORD deadline = TickDeadline(GetTickCount(), Milliseconds);
    while (!Condition()) {
        const DWORD now = GetTickCount();
        if (TickDeadlineReached(now, deadline)) return Condition();
        MsgWaitForMultipleObjects(0, nullptr, FALSE, std::min<DWORD>(TickRemaining(now, deadline), 100),
                                  QS_ALLINPUT);
        PumpWaitingMessages();
    }
    return true;
}

void DrainMessages(DWORD QuietMilliseconds) {
    const DWORD deadline = TickDeadline(GetTickCount(), 5000);
    while (!TickDeadlineReached(GetTickCount(), deadline)) {
        if (MsgWaitForMultipleObjects(0, nullptr, FALSE, QuietMilliseconds, QS_ALLINPUT) == WAIT_TIMEOUT) return;
        PumpWaitingMessages();
    }
}
