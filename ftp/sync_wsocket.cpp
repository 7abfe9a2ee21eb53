// The synchronous wait of the socket family.
#include "ftp/sync_wsocket.h"

#include <algorithm>

#include "ftp/socket_window.h"
#include "ftp/tick_deadline.h"
#include "platform/messages/message_queue.h"
#include "platform/messages/ticks.h"

namespace {

// The longest slice a wait sleeps before it looks at its flag and limits again.
constexpr DWORD kWaitSlice = 50;

// WM_QUIT waits in the thread's queue (it stays there for the application's loop).
bool QuitPending() {
    MSG message{};
    return PeekMessageA(&message, reinterpret_cast<HWND>(static_cast<LONG_PTR>(-1)), WM_QUIT, WM_QUIT, PM_NOREMOVE) !=
           FALSE;
}

}  // namespace

int TCustomSyncWSocket::Synchronize(const std::function<void()>& Proc, bool& DoneFlag) {
    DoneFlag = false;
    if (Proc) Proc();
    return WaitUntilReady(DoneFlag);
}

int TCustomSyncWSocket::WaitUntilReady(bool& DoneFlag) {
    SyncDeadline = TickDeadline(GetTickCount(), static_cast<DWORD>(std::max<std::int32_t>(SyncTimeout, 0)));
    while (!DoneFlag) {
        if (SyncTimeout > 0 && TickDeadlineReached(GetTickCount(), SyncDeadline)) return WSocketSyncTimedOut;
        if (ApplicationTerminated() || Terminated() || QuitPending()) return WSocketSyncTimedOut;
        PumpSocketMessages();
        if (DoneFlag) break;
        // Give up the processor until a message comes or the slice ends.
        DWORD slice = kWaitSlice;
        if (SyncTimeout > 0) slice = std::min(slice, TickRemaining(GetTickCount(), SyncDeadline));
        MsgWaitForMultipleObjects(0, nullptr, FALSE, slice, QS_ALLINPUT);
    }
    return 0;
}
