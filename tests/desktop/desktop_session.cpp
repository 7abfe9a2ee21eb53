#include "desktop/desktop_session.h"

#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <sys/prctl.h>
#include <sys/syscall.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <functional>
#include <thread>

namespace {

// A display number no server uses now (no lock file, no socket).
int FreeDisplayNumber() {
    for (int n = 200 + int(getpid() % 400); n < 1000; ++n) {
        const std::string lock = "/tmp/.X" + std::to_string(n) + "-lock";
        const std::string socket = "/tmp/.X11-unix/X" + std::to_string(n);
        if (access(lock.c_str(), F_OK) != 0 && access(socket.c_str(), F_OK) != 0) return n;
    }
    return -1;
}

}  // namespace

bool SessionProcess::Start(const std::string& program, const std::vector<std::string>& args,
                           const std::filesystem::path& log) {
    std::vector<std::string> words{program};
    words.insert(words.end(), args.begin(), args.end());
    std::vector<char*> argv;
    for (std::string& word : words) argv.push_back(word.data());
    argv.push_back(nullptr);
    const pid_t parent = getpid();
    const pid_t pid = fork();
    if (pid < 0) return false;
    if (pid == 0) {
        // The server ends when the test process ends, however it ends.
        prctl(PR_SET_PDEATHSIG, SIGTERM);
        if (getppid() != parent) _exit(1);
        const int in = open("/dev/null", O_RDONLY);
        const int out = open(log.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
        if (in >= 0) dup2(in, 0);
        if (out >= 0) {
            dup2(out, 1);
            dup2(out, 2);
        }
        execv(argv[0], argv.data());
        _exit(127);
    }
    pid_ = pid;
    return true;
}

bool SessionProcess::Running() { return ProcessRunning(pid_); }

void SessionProcess::Stop() { StopProcess(pid_); }

bool PollUntil(const std::function<bool()>& condition, int milliseconds) {
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(milliseconds);
    while (!condition()) {
        if (std::chrono::steady_clock::now() > deadline) return condition();
        std::this_thread::sleep_for(std::chrono::milliseconds(20));
    }
    return true;
}

DesktopSession::~DesktopSession() { Stop(); }

bool DesktopSession::Start(int width, int height) {
    const std::string xvfb = FindProgram("Xvfb");
    const std::string openbox = FindProgram("openbox");
    if (xvfb.empty() || openbox.empty()) {
        problem_ = "Xvfb and openbox are needed (scripts/setup installs them)";
        return false;
    }
    for (int attempt = 0; attempt < 3; ++attempt) {
        const int number = FreeDisplayNumber();
        if (number < 0) break;
        display_ = ":" + std::to_string(number);
        const std::string size = std::to_string(width) + "x" + std::to_string(height) + "x24";
        if (!server_.Start(xvfb, {display_, "-screen", "0", size, "-nolisten", "tcp"}, logs_.Path() / "xvfb.log"))
            continue;
        std::unique_ptr<XProbe> probe;
        PollUntil(
            [&] {
                if (!server_.Running()) return true;
                probe = std::make_unique<XProbe>(display_);
                return probe->Connected();
            },
            10000);
        if (probe && probe->Connected()) {
            probe_ = std::move(probe);
            break;
        }
        server_.Stop();  // another server took the number meanwhile: try the next
    }
    if (!probe_) {
        problem_ = "Xvfb did not start";
        return false;
    }
    setenv("DISPLAY", display_.c_str(), 1);
    if (!manager_.Start(openbox, {"--sm-disable"}, logs_.Path() / "openbox.log") ||
        !PollUntil([&] { return probe_->WindowManagerRunning(); }, 10000)) {
        problem_ = "openbox did not start";
        return false;
    }
    return true;
}

void DesktopSession::Stop() {
    probe_.reset();
    manager_.Stop();
    server_.Stop();
}

bool DesktopSession::Launch(PeerProcess& process, const std::string& program, const std::filesystem::path& folder) {
    return process.Start("/bin/sh", {"-c", "cd \"$0\" && exec \"$1\"", folder.string(), program},
                         folder / "program.log");
}

bool DesktopSession::Run(const std::vector<std::string>& command) {
    if (command.empty()) return false;
    const std::string tool = FindProgram(command.front());
    if (tool.empty()) return false;
    PeerProcess process;
    std::vector<std::string> args(command.begin() + 1, command.end());
    if (!process.Start(tool, args, logs_.Path() / "tool.log")) return false;
    PollUntil([&] { return !process.Running(); }, 10000);
    return !process.Running();
}
