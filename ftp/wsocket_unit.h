#pragma once
// Process-wide state of the socket unit: its locks, its start-up and its shut-down.
#include <mutex>

// Guards the registration of the hidden-window class.
std::recursive_mutex& WindowClassLock();
// Guards the send queues of all sockets.
std::recursive_mutex& SendQueueLock();

// The unit's start-up (the first socket calls it; it runs once however often it is
// entered): creates the locks, writes "wsocket initialization section" to the debugger
// output and has the shut-down armed once Windows Sockets is loaded.
void WSocketUnitStartup();

// The unit's shut-down, run once after the start-up: unloads Windows Sockets when no
// socket is alive any more; while one is, the library stays loaded.
void WSocketUnitShutdown();

// Arms the unit's shut-down at process exit. Run once the library has been loaded, so
// that it runs before the platform services it calls are torn down.
void ArmWSocketUnitShutdown();
