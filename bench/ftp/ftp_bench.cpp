// FTP upload benchmark: the program's upload (the blocking client's Connect, binary type
// and Put, as the FTP dialog makes them) against curl -T, both storing the same file on
// one vsftpd that the benchmark starts on a loopback port with its own configuration
// file. 10 MB and 100 MB, active and passive mode; the runs alternate between the two,
// and every stored file is compared with the source before any figure is printed.
// Prints the median times and the ratio curl / ours (above 1: ours is faster).
//
// curl's time is its own total time (-w %{time_total}: from the start of the connection
// to the end of the transfer, its process start-up left out); ours runs from Connect to
// the end of Put, the client made beforehand.
//
//   bench_ftp [runs]   (default 7 runs of each)
#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <random>
#include <stdexcept>
#include <string>
#include <thread>
#include <vector>

#include "bench/ftp/loopback_port.h"
#include "ftp/ftp_blocking_client.h"

extern char** environ;

namespace {

namespace fs = std::filesystem;
using Clock = std::chrono::steady_clock;

const char* const kVsftpd = "/usr/sbin/vsftpd";
const char* const kCurl = "/usr/bin/curl";

// A scratch folder, removed at the end: in memory when there is room enough, so that
// writing the stored files to a disk does not slow the server down.
fs::path ScratchParent() {
    std::error_code error;
    const fs::space_info shm = fs::space("/dev/shm", error);
    if (!error && shm.available > std::uintmax_t(500) * 1000 * 1000) return "/dev/shm";
    return fs::temp_directory_path();
}

class Scratch {
public:
    Scratch() {
        std::string pattern = (ScratchParent() / "bench_ftp_XXXXXX").string();
        if (!mkdtemp(pattern.data())) throw std::runtime_error("no scratch folder");
        path_ = pattern;
    }
    ~Scratch() {
        std::error_code ignored;
        fs::permissions(path_ / "root", fs::perms::owner_all, fs::perm_options::add, ignored);
        fs::remove_all(path_, ignored);
    }
    const fs::path& Path() const { return path_; }

private:
    fs::path path_;
};

// vsftpd in the foreground, as the user who started the benchmark, serving Root to
// anonymous users who may upload into Root/up.
class Server {
public:
    Server(const fs::path& folder, const fs::path& root) : port_(FreeLoopbackPort()) {
        const fs::path config = folder / "vsftpd.conf";
        std::ofstream(config) << "listen=YES\nlisten_ipv6=NO\nlisten_address=127.0.0.1\nlisten_port=" << port_
                              << "\nbackground=NO\nrun_as_launching_user=YES\nseccomp_sandbox=NO\n"
                                 "anonymous_enable=YES\nlocal_enable=NO\nno_anon_password=YES\nanon_root="
                              << root.string()
                              << "\nsecure_chroot_dir=" << root.string()
                              << "\nwrite_enable=YES\nanon_upload_enable=YES\nanon_umask=022\n"
                                 "connect_from_port_20=NO\nport_enable=YES\npasv_enable=YES\n"
                                 "pasv_address=127.0.0.1\nxferlog_enable=NO\nsyslog_enable=NO\n"
                                 "vsftpd_log_file=/dev/null\n";
        std::string program = kVsftpd;
        std::string argument = config.string();
        char* argv[] = {program.data(), argument.data(), nullptr};
        if (posix_spawn(&pid_, kVsftpd, nullptr, nullptr, argv, environ) != 0)
            throw std::runtime_error(std::string("cannot start ") + kVsftpd);
        for (int i = 0; i < 200 && !LoopbackListening(port_); ++i) std::this_thread::sleep_for(std::chrono::milliseconds(25));
        if (!LoopbackListening(port_)) throw std::runtime_error("vsftpd does not listen");
    }
    ~Server() {
        kill(pid_, SIGTERM);
        int status = 0;
        waitpid(pid_, &status, 0);
    }
    int Port() const { return port_; }

private:
    int port_;
    pid_t pid_ = -1;
};

// curl -T Local to the server; its own total time in seconds.
double CurlUpload(const Server& server, const fs::path& local, const std::string& remote, bool passive) {
    std::vector<std::string> words{kCurl, "-s", "-S", "--disable-epsv", "-w", "%{time_total}", "-T", local.string()};
    if (!passive) words.insert(words.end(), {"-P", "127.0.0.1"});
    words.push_back("ftp://127.0.0.1:" + std::to_string(server.Port()) + "/up/" + remote);
    std::vector<char*> argv;
    for (std::string& word : words) argv.push_back(word.data());
    argv.push_back(nullptr);
    int out[2];
    if (pipe(out) != 0) throw std::runtime_error("pipe");
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_adddup2(&actions, out[1], 1);
    posix_spawn_file_actions_addclose(&actions, out[0]);
    pid_t pid = -1;
    const int rc = posix_spawn(&pid, kCurl, &actions, nullptr, argv.data(), environ);
    posix_spawn_file_actions_destroy(&actions);
    ::close(out[1]);
    if (rc != 0) throw std::runtime_error(std::string("cannot start ") + kCurl);
    std::string text;
    char buffer[256];
    for (ssize_t n; (n = ::read(out[0], buffer, sizeof buffer)) > 0;) text.append(buffer, std::size_t(n));
    ::close(out[0]);
    int status = 0;
    waitpid(pid, &status, 0);
    if (!WIFEXITED(status) || WEXITSTATUS(status) != 0) throw std::runtime_error("curl failed");
    return std::strtod(text.c_str(), nullptr);
}

// The program's road: connect and log in, binary type, store.
double OurUpload(const Server& server, const fs::path& local, const std::string& remote, bool passive) {
    TFtpClient client;
    client.HostName = "127.0.0.1";
    client.Port = std::to_string(server.Port());
    client.UserName = "anonymous";
    client.PassWord = "bench@example.org";
    client.Passive = passive;
    client.HostFileName = "up/" + remote;
    client.SetLocalFileName(local.string());
    const auto start = Clock::now();
    const bool stored = client.Connect() && client.SetTransferType() && client.Put();
    const double seconds = std::chrono::duration<double>(Clock::now() - start).count();
    client.Quit();
    if (!stored) throw std::runtime_error("our upload failed: " + client.ErrorMessage);
    return seconds;
}

bool SameFiles(const fs::path& a, const fs::path& b) {
    if (!fs::exists(b) || fs::file_size(a) != fs::file_size(b)) return false;
    std::ifstream first(a, std::ios::binary), second(b, std::ios::binary);
    std::vector<char> x(1 << 20), y(1 << 20);
    while (first && second) {
        first.read(x.data(), std::streamsize(x.size()));
        second.read(y.data(), std::streamsize(y.size()));
        if (first.gcount() != second.gcount() || !std::equal(x.begin(), x.begin() + first.gcount(), y.begin()))
            return false;
    }
    return true;
}

double Median(std::vector<double> values) {
    std::sort(values.begin(), values.end());
    return values[values.size() / 2];
}

struct Row {
    std::size_t megabytes;
    bool passive;
    double ours, curl;
};

}  // namespace

int main(int argc, char** argv) {
    const int runs = argc > 1 ? std::max(1, std::atoi(argv[1])) : 7;
    try {
        Scratch scratch;
        const fs::path root = scratch.Path() / "root";
        fs::create_directories(root / "up");
        fs::permissions(root / "up", fs::perms::all);
        // vsftpd will not serve a root its anonymous users could write to.
        fs::permissions(root, fs::perms::owner_read | fs::perms::owner_exec | fs::perms::group_read |
                                  fs::perms::group_exec | fs::perms::others_read | fs::perms::others_exec);
        Server server(scratch.Path(), root);

        std::vector<Row> rows;
        for (std::size_t megabytes : {10u, 100u}) {
            const fs::path local = scratch.Path() / ("source" + std::to_string(megabytes) + ".bin");
            {
                std::mt19937_64 generator(megabytes);
                std::vector<std::uint64_t> block(1 << 17);
                std::ofstream out(local, std::ios::binary);
                for (std::size_t written = 0; written < megabytes * 1000000; written += block.size() * 8) {
                    for (auto& word : block) word = generator();
                    const std::size_t count = std::min(block.size() * 8, megabytes * 1000000 - written);
                    out.write(reinterpret_cast<const char*>(block.data()), std::streamsize(count));
                }
            }
            for (bool passive : {false, true}) {
                Row row{megabytes, passive, 0, 0};
                std::vector<double> ours, curl;
                for (int run = 0; run < runs; ++run) {
                    // Alternating, and each starts first in turn.
                    for (int turn = 0; turn < 2; ++turn) {
                        const bool oursNow = (turn == 0) == (run % 2 == 0);
                        const std::string name = oursNow ? "ours.bin" : "curl.bin";
                        fs::remove(root / "up" / name);
                        const double seconds = oursNow ? OurUpload(server, local, name, passive)
                                                       : CurlUpload(server, local, name, passive);
                        if (!SameFiles(local, root / "up" / name))
                            throw std::runtime_error(std::string(oursNow ? "our" : "curl's") +
                                                     " stored file differs from the source");
                        (oursNow ? ours : curl).push_back(seconds);
                    }
                }
                row.ours = Median(ours);
                row.curl = Median(curl);
                rows.push_back(row);
            }
            fs::remove(local);
        }

        std::printf("FTP upload to vsftpd on loopback (files in %s), median of %d alternating runs each\n",
                    scratch.Path().parent_path().c_str(), runs);
        std::printf("(every stored file was checked identical to its source)\n\n");
        std::printf("  size     mode      ours (s)   curl (s)   curl / ours\n");
        for (const Row& row : rows)
            std::printf("  %3zu MB   %-8s  %8.4f   %8.4f   %6.2f x\n", row.megabytes, row.passive ? "passive" : "active",
                        row.ours, row.curl, row.curl / row.ours);
    } catch (const std::exception& e) {
        std::fprintf(stderr, "bench_ftp: %s\n", e.what());
        return 1;
    }
    return 0;
}
