#pragma once
// The hidden windows of the socket layer: the "XSocketWindowClass" window that each
// socket owns, the plain utility window whose messages go to a function of an object,
// and the hooks through which a socket lets the application process its messages and
// learns that the application is ending.
#include <functional>

#include "platform/messages/win_types.h"

class TSocketComponent;
struct TMessage;

// Registers the class once (under WindowClassLock) and makes a hidden window whose
// first window word holds Owner (a whole pointer). nullptr when that fails.
HWND CreateSocketWindow(TSocketComponent* Owner);
// Clears the window word, then destroys the window; true when destroyed.
bool DestroySocketWindow(HWND Window);
void UnregisterSocketWindowClass();
// The class's window procedure: hands the message to the socket found in the window
// word, or to DefWindowProcA when the word holds no socket.
LRESULT SocketWindowProc(HWND Window, UINT Msg, WPARAM WParam, LPARAM LParam);

// A utility window whose messages go to Method (the message's Result is returned).
// No exception leaves the window procedure: Method must handle its own.
using TWindowMethod = std::function<void(TMessage& Msg)>;
HWND AllocateMessageWindow(TWindowMethod Method);
void DeallocateMessageWindow(HWND Window);

// How a socket lets the application process its waiting messages (Flush, a close that
// would block, WaitForClose) when it has no message pump of its own. By default the
// calling thread's waiting messages are dispatched; the application installs its own
// process-messages call.
using TApplicationMessagePump = void (*)();
void SetApplicationMessagePump(TApplicationMessagePump Pump);
void RunApplicationMessagePump();

// Whether the application is ending; a socket's synchronous wait gives up then. By
// default it never is; the application installs its own query (nullptr restores that).
using TApplicationTerminatedQuery = bool (*)();
void SetApplicationTerminatedQuery(TApplicationTerminatedQuery Query);
bool ApplicationTerminated();
