#pragma once
// A private X server (Xvfb) of a given size with the openbox window manager, started by a
// test like its other peers and stopped with it; and programs started on it.
#include <filesystem>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "desktop/x_probe.h"
#include "loopback/peer_process.h"

// A server of the session: it ends with the test process at the latest, also when the
// process ends without stopping it (the session of a whole test binary ends so).
class SessionProcess {
public:
    SessionProcess() = default;
    ~SessionProcess() { Stop(); }
    SessionProcess(const SessionProcess&) = delete;
    SessionProcess& operator=(const SessionProcess&) = delete;
    bool Start(const std::string& program, const std::vector<std::string>& args, const std::filesystem::path& log);
    bool Running();
    void Stop();

private:
    pid_t pid_ = -1;
};

class DesktopSession {
public:
    DesktopSession() = default;
    ~DesktopSession();
    DesktopSession(const DesktopSession&) = delete;
    DesktopSession& operator=(const DesktopSession&) = delete;

    // Starts the server and the window manager; false, with the reason in Problem(), when
    // they cannot run here.
    bool Start(int width, int height);
    void Stop();
    const std::string& Problem() const { return problem_; }
    const std::string& Display() const { return display_; }  // ":N"
    XProbe& Probe() { return *probe_; }

    // Runs a program on this display in `folder` (its start directory).
    bool Launch(PeerProcess& process, const std::string& program, const std::filesystem::path& folder);
    // Runs a helper tool on this display (xdotool) and waits until it ends.
    bool Run(const std::vector<std::string>& command);

private:
    TempFolder logs_;
    SessionProcess server_;
    SessionProcess manager_;
    std::unique_ptr<XProbe> probe_;
    std::string display_;
    std::string problem_;
};

// Checks the condition every 20 ms, without running the program's messages (what it waits
// for lives in other processes: the X server, the window manager), until it holds or the
// deadline passes; its last result. The loopback tests' WaitFor runs the messages instead.
bool PollUntil(const std::function<bool()>& condition, int milliseconds);
