#pragma once
// TFtpClient: blocking calls over the asynchronous FTP client, for code on the GUI
// thread. Each call starts one request and waits for its end while the thread's window
// messages keep flowing (every socket event arrives as a message on this thread). A wait
// ends when the request is finished, when Timeout seconds pass without transfer
// progress, or when the application is ending.
#include <cstdint>
#include <functional>

#include "ftp/ftp_client.h"

using TFtpMessagePump = std::function<void(TCustomFtpCli* Sender)>;

class TFtpClient : public TCustomFtpCli {
public:
    TFtpClient();

    std::int32_t Timeout = 15;   // seconds without progress; 0 or less: no limit
    bool MultiThreaded = false;  // pump through MessagePump (or the control socket's loop)
    TFtpMessagePump MessagePump;
    DWORD WaitDeadline = 0;      // tick count at which the running wait gives up

    // The blocking calls; true when the request ended without error. Nothing raises.
    bool Connect();          // lookup, connection, greeting, USER, PASS, ACCT as needed
    bool SetTransferType();  // "TYPE I" or "TYPE A" from Binary
    bool Put();              // PORT (or PASV), then STOR of LocalFileName as HostFileName
    bool Quit();             // "QUIT"; closes the control connection

    // The longest a wait sleeps before it looks at its request and limits again.
    static constexpr DWORD WaitSliceMilliseconds = 1000;
    // How often a wait asks the system how many bytes the server has taken.
    static constexpr DWORD ProgressLookMilliseconds = 200;

protected:
    // Runs Starter, then waits for its request; any exception gives false.
    virtual bool RunBlocking(void (TCustomFtpCli::*Starter)());
    virtual bool WaitForRequest();
    // Whether the awaited request is over, and then (in Result) whether it succeeded.
    bool RequestOver(bool& Result) const;
    // A moved block also pushes the wait's deadline back.
    bool TriggerProgress() override;
    void PumpMessages();

private:
    int WaitDepth = 0;                // a blocking call is waiting on this client when above 0
    std::uint32_t WaitStartCount = 0;  // RequestsEnded when the awaited request began
};
