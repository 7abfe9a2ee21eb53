// Small per-thread and process services: last error, thread identifier,
// debugger output and system error texts.
#pragma once

#include <functional>
#include <string>
#include <string_view>

#include "platform/messages/win_types.h"

// Per-thread last error (shared with WSAGetLastError/WSASetLastError).
DWORD GetLastError();
void SetLastError(DWORD errorCode);

// A small non-zero identifier of the calling thread, stable for its life.
DWORD GetCurrentThreadId();
// The process identifier.
DWORD GetCurrentProcessId();

// Debugger output. Goes nowhere unless a sink is installed.
void OutputDebugStringA(const char* text);

// Installs the sink that receives OutputDebugStringA texts (tests, logging);
// an empty function removes it. The sink may be called from any thread.
void SetDebugOutputSink(std::function<void(std::string_view)> sink);

// The system's message text for a code of GetLastError, of WSAGetLastError or
// a result of WSAStartup, without a trailing line break ("Unknown error" for
// codes it does not know).
std::string SystemErrorMessage(DWORD code);
