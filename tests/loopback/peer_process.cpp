#include "loopback/peer_process.h"

#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <spawn.h>
#include <stdlib.h>
#include <sys/syscall.h>
#include <sys/wait.h>
#include <unistd.h>

#include <sstream>
#include <stdexcept>
#include <string>

#include "ftp/tick_deadline.h"
#include "ftp/wsocket.h"
#include "loopback/message_waits.h"
#include "platform/messages/message_queue.h"
#include "platform/messages/ticks.h"

extern char** environ;

TempFolder::TempFolder() {
    std::string pattern = (std::filesystem::temp_directory_path() / "loopback_peer_XXXXXX").string();
    if (mkdtemp(pattern.data())) FPath = pattern;
}

TempFolder::~TempFolder() {
    std::error_code ignored;
    if (!FPath.empty()) std::filesystem::remove_all(FPath, ignored);
}

std::string FindProgram(const std::string& Name) {
    std::vector<std::string> dirs;
    if (const char* path = getenv("PATH")) {
        std::stringstream list(path);
        std::string dir;
        while (std::getline(list, dir, ':'))
            if (!dir.empty()) dirs.push_back(dir);
    }
    dirs.insert(dirs.end(), {"/usr/sbin", "/sbin", "/usr/bin"});
    for (const std::string& dir : dirs) {
        const std::filesystem::path candidate = std::filesystem::path(dir) / Name;
        if (access(candidate.c_str(), X_OK) == 0) return candidate.string();
    }
    return std::string();
}

PeerProcess::~PeerProcess() {
    Stop();
}

bool PeerProcess::Start(const std::string& Program, const std::vector<std::string>& Args,
                        const std::filesystem::path& Log) {
    std::vector<std::string> words{Program};
    words.insert(words.end(), Args.begin(), Args.end());
    std::vector<char*> argv;
    for (std::string& word : words) argv.push_back(word.data());
    argv.push_back(nullptr);
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_addopen(&actions, 0, "/dev/null", O_RDONLY, 0);
    posix_spawn_file_actions_addopen(&actions, 1, Log.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
    posix_spawn_file_actions_adddup2(&actions, 1, 2);
    pid_t pid = -1;
    const int rc = posix_spawn(&pid, Program.c_str(), &actions, nullptr, argv.data(), environ);
    posix_spawn_file_actions_destroy(&actions);
    if (rc != 0) return false;
    FPid = pid;
    return true;
}

bool ProcessRunning(pid_t& Pid) {
    if (Pid <= 0) return false;
    int status = 0;
    if (waitpid(Pid, &status, WNOHANG) == Pid) {
        Pid = -1;
        return false;
    }
    return true;
}

void StopProcess(pid_t& Pid) {
    if (Pid <= 0) return;
    // Waits for the end of the process through a descriptor that becomes readable
    // when it ends, so the wait has a deadline.
    const int pidFd = static_cast<int>(syscall(SYS_pidfd_open, Pid, 0));
    kill(Pid, SIGTERM);
    bool ended = false;
    if (pidFd >= 0) {
        pollfd entry{pidFd, POLLIN, 0};
        ended = poll(&entry, 1, 5000) == 1;
        close(pidFd);
    }
    if (!ended) kill(Pid, SIGKILL);
    int status = 0;
    waitpid(Pid, &status, 0);
    Pid = -1;
}

bool PeerProcess::Running() { return ProcessRunning(FPid); }

void PeerProcess::Stop() { StopProcess(FPid); }

std::string ClosedLoopbackPort() {
    // Below the system's range of automatic ports (32768 and up): a port picked there is
    // never handed to another test's listener on port 0, nor taken as the source port of
    // a connection to itself. The start differs from one test process to the next.
    constexpr int First = 20000;
    constexpr int Count = 12000;
    static int next = int((getpid() * 7919L) % Count);
    for (int tries = 0; tries < Count; ++tries) {
        const std::string port = std::to_string(First + next);
        next = (next + 1) % Count;
        TCustomWSocket probe;
        probe.SetAddr("127.0.0.1");
        probe.SetPort(port);
        try {
            probe.Listen();
        } catch (const std::exception&) {
            continue;  // in use
        }
        probe.Close();
        return port;
    }
    return "0";
}

bool WaitUntilListening(const std::string& Port, PeerProcess& Process, DWORD Milliseconds) {
    const DWORD deadline = TickDeadline(GetTickCount(), Milliseconds);
    while (!TickDeadlineReached(GetTickCount(), deadline)) {
        if (!Process.Running()) return false;
        TCustomWSocket probe;
        int result = -1;
        probe.OnSessionConnected = [&](TCustomWSocket*, std::uint16_t Err) { result = Err; };
        probe.SetAddr("127.0.0.1");
        probe.SetPort(Port);
        probe.Connect();
        WaitFor([&] { return result >= 0; }, 2000);
        if (result == 0) return true;
        // Not listening yet: try again a little later.
        MsgWaitForMultipleObjects(0, nullptr, FALSE, 20, QS_ALLINPUT);
    }
    return false;
}
