#pragma once
// TCustomSyncWSocket: a blocking wait that lets the thread's messages run until a flag
// is set; and TWSocket, the socket class the FTP client uses.
#include <cstdint>
#include <functional>

#include "ftp/line_wsocket.h"

// The result of a synchronous wait that ended without its flag: time-out, end of the
// application, or WM_QUIT.
inline constexpr int WSocketSyncTimedOut = 12001;

class TCustomSyncWSocket : public TCustomLineWSocket {
public:
    // Milliseconds a wait may last; 0 or less: no limit.
    std::int32_t SyncTimeout = 0;

    // DoneFlag := false, runs Proc, then waits for DoneFlag (WaitUntilReady).
    virtual int Synchronize(const std::function<void()>& Proc, bool& DoneFlag);
    // Lets the messages run until DoneFlag is set (0), or until the time-out passes,
    // the application ends or WM_QUIT arrives (12001). Never raises.
    virtual int WaitUntilReady(bool& DoneFlag);

protected:
    DWORD SyncDeadline = 0;  // tick count at which the running wait ends
};

// The socket component of the FTP client.
class TWSocket : public TCustomSyncWSocket {};
