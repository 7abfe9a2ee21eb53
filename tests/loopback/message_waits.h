#pragma once
// Waiting in tests without sleeping: the thread's messages are dispatched while a
// condition is awaited, every wait with a deadline kept on the tick count.
#include <functional>

#include "platform/messages/win_types.h"

// Dispatches the thread's messages until Condition holds or Milliseconds pass. Returns
// whether Condition holds.
bool WaitFor(const std::function<bool()>& Condition, DWORD Milliseconds = 10000);

// Dispatches messages until none has arrived for QuietMilliseconds (at most 5 s): used
// before checking that something did NOT happen.
void DrainMessages(DWORD QuietMilliseconds = 150);
