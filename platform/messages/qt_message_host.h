// The Qt host: connects the calling thread's message queue to Qt's event loop.
//
// Once installed on a thread that runs a Qt event loop (normally the GUI
// thread, after the QCoreApplication exists), every post to that thread's
// queue, from any thread, wakes Qt's loop, which then dispatches the waiting
// messages. This happens in whatever loop is running: the application's main
// loop while idle, a nested QEventLoop, a modal dialog or message box, or
// QCoreApplication::processEvents. Nothing polls: an idle loop sleeps until a
// post arrives (socket readiness arrives as posts too).
//
// With the host installed, MsgWaitForMultipleObjects on that thread lets Qt
// process its own input while it waits, so the windows stay responsive during
// the blocking FTP wait; window messages may be dispatched inside the wait.
//
// No exception leaves a window procedure into Qt's loop: the host catches it
// and hands it to the handler set with SetMessageExceptionHandler (by default
// its text goes to OutputDebugStringA).
#pragma once

#include <exception>
#include <functional>

// Installs the host on the calling thread (idempotent). The host is removed
// when the QCoreApplication is destroyed or by RemoveQtMessageHost. Returns
// false when there is no QCoreApplication. Creating a hidden window on the
// application's thread while the QCoreApplication exists installs it too.
bool InstallQtMessageHost();
void RemoveQtMessageHost();
bool QtMessageHostInstalled();

// Receives exceptions that escaped a window procedure dispatched by the host.
// An empty function restores the default.
void SetMessageExceptionHandler(std::function<void(std::exception_ptr)> handler);
