// Hidden windows: window classes, windows with a procedure and window words.
// A window belongs to the thread that created it; its posted messages go to
// that thread's queue (message_queue.h). Nothing is ever shown on screen.
//
// Differences from the platform worth knowing:
// - CreateWindowExA sends no creation messages and DestroyWindow sends no
//   WM_DESTROY: the procedure only ever sees posted messages dispatched by
//   DispatchMessageA.
// - DestroyWindow drops every message still queued for the window.
// - Window handles are never reused, so a message or call aimed at a destroyed
//   window fails cleanly (ERROR_INVALID_WINDOW_HANDLE).
// - Window words are pointer-wide: SetWindowLongA/GetWindowLongA read and write
//   a LONG_PTR at a byte offset; a class needs cbWndExtra > 0 for offset 0 to
//   hold a whole pointer (the extra bytes are rounded up to whole words).
// - Windows of a thread are destroyed when that thread ends.
#pragma once

#include "platform/messages/win_types.h"

// The module instance of the program (a fixed handle; never null).
HINSTANCE GetModuleHandleA(const char* moduleName);

ATOM RegisterClassA(const WNDCLASSA* wndClass);
BOOL GetClassInfoA(HINSTANCE instance, const char* className, WNDCLASSA* wndClass);
BOOL UnregisterClassA(const char* className, HINSTANCE instance);

HWND CreateWindowExA(DWORD exStyle, const char* className, const char* windowName, DWORD style, int x, int y, int width,
                     int height, HWND parent, HMENU menu, HINSTANCE instance, void* param);
BOOL DestroyWindow(HWND hwnd);
BOOL IsWindow(HWND hwnd);

// Returns the previous value (0 and GetLastError() != 0 on failure).
LONG_PTR SetWindowLongA(HWND hwnd, int index, LONG_PTR newValue);
LONG_PTR GetWindowLongA(HWND hwnd, int index);
inline LONG_PTR SetWindowLongPtrA(HWND hwnd, int index, LONG_PTR newValue) {
    return SetWindowLongA(hwnd, index, newValue);
}
inline LONG_PTR GetWindowLongPtrA(HWND hwnd, int index) { return GetWindowLongA(hwnd, index); }

// Default handling of any message a procedure does not handle: returns 0.
LRESULT DefWindowProcA(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam);

// The identifier of the thread that created the window (0 for an invalid
// handle); *processId, when given, receives the process identifier.
DWORD GetWindowThreadProcessId(HWND hwnd, DWORD* processId);
