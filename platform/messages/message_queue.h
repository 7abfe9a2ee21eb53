// The per-thread message queue: posting from any thread, peeking with window
// and message-range filters, dispatching to window procedures, and waiting.
//
// Each thread gets its queue on first use. PostMessageA may be called from any
// thread; the message lands in the queue of the thread that owns the window
// (or of the calling thread for a null window). PeekMessageA, DispatchMessageA
// and MsgWaitForMultipleObjects work on the calling thread's queue.
//
// Waking: a post wakes MsgWaitForMultipleObjects on the owning thread, and, on
// a thread with a Qt host (qt_message_host.h), makes Qt's loop pump the queue.
// Socket readiness reaches the queue as posted messages (platform/winsock).
#pragma once

#include "platform/messages/win_types.h"

// Posts to the queue of the window's thread; hwnd == nullptr posts a thread
// message to the calling thread. FALSE with ERROR_INVALID_WINDOW_HANDLE for a
// destroyed or unknown window, ERROR_INVALID_THREAD_ID when its thread ended.
BOOL PostMessageA(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam);

// Asks the calling thread's queue to hand out WM_QUIT (wParam = exitCode) once
// no other message is waiting. On a thread with a Qt host, the host turns it
// into QCoreApplication::quit().
void PostQuitMessage(int exitCode);

// Filters: hwnd nullptr = any message of the thread; (HWND)-1 = thread
// messages only; else that window's messages. minMsg == maxMsg == 0 = any
// number, else minMsg <= number <= maxMsg. Returns FALSE when nothing matches.
BOOL PeekMessageA(MSG* msg, HWND hwnd, UINT minMsg, UINT maxMsg, UINT removeMsg);

// Nothing to translate for hidden windows: returns FALSE.
BOOL TranslateMessage(const MSG* msg);

// Calls the procedure of msg->hwnd on the calling thread and returns its
// result. A thread message (null hwnd), a destroyed window or a window of
// another thread dispatches nothing and returns 0.
LRESULT DispatchMessageA(const MSG* msg);

// Waits until a message is waiting in the calling thread's queue (or, on a
// Qt-hosted thread, until Qt had input to process) or the time-out passes.
// Kernel handles do not exist here: nCount must be 0 (else WAIT_FAILED with
// ERROR_INVALID_PARAMETER). Returns WAIT_OBJECT_0 + nCount on input,
// WAIT_TIMEOUT on time-out. Returns at once when a message is already waiting.
// A wake mask without any posted-message or input bit only times out.
DWORD MsgWaitForMultipleObjects(DWORD nCount, const HANDLE* handles, BOOL waitAll, DWORD milliseconds, DWORD wakeMask);

// Dispatches the messages that are waiting in the calling thread's queue now
// (messages posted meanwhile wait for the next call); WM_QUIT stays pending.
// Returns the number dispatched. This is what the Qt host runs whenever Qt's
// loop turns; the application's process-messages call may use it too.
int PumpWaitingMessages();

// Number of messages waiting in the calling thread's queue (tests, diagnostics).
int WaitingMessageCount();
