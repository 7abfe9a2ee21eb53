#pragma once
// Server processes that tests start on loopback (FTP and SOCKS servers): a temporary
// folder for their files, the process itself, and the wait until it listens.
#include <sys/types.h>

#include <filesystem>
#include <string>
#include <vector>

#include "platform/messages/win_types.h"

// A temporary folder, removed with everything in it.
class TempFolder {
public:
    TempFolder();
    ~TempFolder();
    TempFolder(const TempFolder&) = delete;
    TempFolder& operator=(const TempFolder&) = delete;
    const std::filesystem::path& Path() const { return FPath; }

private:
    std::filesystem::path FPath;
};

// The full path of an installed program (searched in PATH, /usr/sbin and /sbin), or
// empty.
std::string FindProgram(const std::string& Name);

// A server process started by a test; stopped (by its own id) when destroyed.
class PeerProcess {
public:
    PeerProcess() = default;
    ~PeerProcess();
    PeerProcess(const PeerProcess&) = delete;
    PeerProcess& operator=(const PeerProcess&) = delete;

    // Starts Program with Args, its output going to Log. False when it cannot start.
    bool Start(const std::string& Program, const std::vector<std::string>& Args, const std::filesystem::path& Log);
    bool Running();
    void Stop();

private:
    pid_t FPid = -1;
};

// Whether the process of Pid still runs; once it has ended, it is reaped and Pid becomes -1.
bool ProcessRunning(pid_t& Pid);
// Ends the process of Pid: SIGTERM, SIGKILL when it is still there 5 s later; then reaps it
// and sets Pid to -1. Nothing for a Pid of -1.
void StopProcess(pid_t& Pid);

// A port on 127.0.0.1 on which nothing listens now, out of the system's range of
// automatic ports (a listener's port, closed again).
std::string ClosedLoopbackPort();

// Waits until something accepts connections on 127.0.0.1:Port, or the process ends,
// or the deadline passes.
bool WaitUntilListening(const std::string& Port, PeerProcess& Process, DWORD Milliseconds = 10000);
