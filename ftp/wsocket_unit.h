#pragma once
// Process-wide state of the socket unit: its locks, its start-up and its shut-down.
#include <mutex>

// Guards the registration of the hidden-window class.
std::recursive_mutex& WindowClassLock();
// Guards the send queues of all sockets.
std::recursive_mutex& SendQueueLock();

// Runs the unit's start-up once (the first socket calls it): creates the locks and
// writes "wsocket initialization section" to the debugger output.
void WSocketUnitStartup();

// Arms the unit's shut-down at process exit: unloads Windows Sockets when no socket is
// alive then. Called once the library has been loaded.
void ArmWSocketUnitShutdown();
