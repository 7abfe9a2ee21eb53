// Loading libraries by name, over a built-in table of modules.
//
// Two modules exist: "wsock32.dll" exports the Windows Sockets 1.1 calls of
// winsock_api.h (all but WSAIoctl), "ws2_32.dll" exports all of them and
// WSAIoctl. Names are matched without regard to case, a directory part is
// ignored and ".dll" is implied when the name has no extension.
//
// LoadLibraryA counts references; FreeLibrary releases one. A module's handle
// is the same every time it is loaded. GetProcAddress needs a loaded module.
// Failures leave GetLastError: ERROR_MOD_NOT_FOUND (126) for an unknown module,
// ERROR_PROC_NOT_FOUND (127) for an unknown name, ERROR_INVALID_HANDLE (6)
// for a handle that is not loaded.
#pragma once

#include "platform/messages/win_types.h"

// void (*)() converts to any function-pointer type without a -Wcast-function-type
// warning; cast it to the ws::PFN_ type of the function before calling.
using FARPROC = void (*)();

HMODULE LoadLibraryA(const char* fileName);
FARPROC GetProcAddress(HMODULE module, const char* procName);
BOOL FreeLibrary(HMODULE module);
