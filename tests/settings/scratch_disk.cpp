#include "tests/settings/scratch_disk.h"

#include <fcntl.h>
#include <linux/capability.h>
#include <sched.h>
#include <sys/mount.h>
#include <sys/stat.h>
#include <sys/syscall.h>
#include <unistd.h>

#include <cerrno>
#include <string>
#include <system_error>
#include <vector>

#include "settings/file_replacement.h"

namespace fs = std::filesystem;

namespace settingstest {

namespace {

constexpr const char* FillerName = ".filler";
constexpr const char* ProbeName = ".probe";

// The test's mounts live in a mount namespace of the test process alone: the system never
// sees them, and they go with the process even when a test dies before it unmounts.
bool PrivateMountsReady() {
    static const bool ready =
        ::unshare(CLONE_NEWNS) == 0 && ::mount(nullptr, "/", nullptr, MS_REC | MS_PRIVATE, nullptr) == 0;
    return ready;
}

// Writes until the disk says it is full.
void FillUp(const fs::path& folder) {
    const fs::path filler = folder / FillerName;
    const int descriptor = ::open(filler.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0600);
    if (descriptor < 0) return;
    const std::vector<char> block(4096, 'x');
    for (;;) {
        const ssize_t written = ::write(descriptor, block.data(), block.size());
        if (written < 0 && errno == EINTR) continue;
        if (written <= 0) break;
    }
    // The last bytes, smaller than a block.
    while (::write(descriptor, block.data(), 1) == 1) {
    }
    ::close(descriptor);
}

// The rights of the calling thread that let root ignore the permissions of a folder.
constexpr unsigned PermissionOverrides = (1u << CAP_DAC_OVERRIDE) | (1u << CAP_DAC_READ_SEARCH);

bool SetPermissionOverrides(bool on) {
    __user_cap_header_struct header{_LINUX_CAPABILITY_VERSION_3, 0};
    __user_cap_data_struct data[2] = {};
    if (::syscall(SYS_capget, &header, data) != 0) return false;
    if (on)
        data[0].effective |= data[0].permitted & PermissionOverrides;
    else
        data[0].effective &= ~PermissionOverrides;
    return ::syscall(SYS_capset, &header, data) == 0;
}

}  // namespace

ScratchDisk::ScratchDisk(fs::path folder, TFault fault) : folder_(std::move(folder)), fault_(fault) {
    std::error_code code;
    fs::create_directories(folder_, code);
    if (fault_ == ReadOnlyFolder) return;
    const bool inside = fs::equivalent(fs::current_path(code), folder_, code);
    mounted_ = PrivateMountsReady() && ::mount("curves-scratch", folder_.c_str(), "tmpfs", MS_NOSUID | MS_NODEV,
                                               "size=512k,mode=0700") == 0;
    if (mounted_ && inside) fs::current_path(folder_, code);
}

ScratchDisk::~ScratchDisk() {
    Repair();
    if (mounted_) ::umount2(folder_.c_str(), MNT_DETACH);
}

int ScratchDisk::Error() const {
    switch (fault_) {
        case FullDisk: return ENOSPC;
        case ReadOnlyDisk: return EROFS;
        case ReadOnlyFolder: return EACCES;
    }
    return EIO;
}

void ScratchDisk::Break() {
    if (broken_) return;
    broken_ = true;
    BreakForReal();
    if (Writable()) {
        // The system would not break it: the writer's seam refuses instead.
        RepairForReal();
        seam_ = true;
        const fs::path folder = fs::weakly_canonical(folder_);
        const int error = Error();
        FileWriteRefusal() = [folder, error](const fs::path& file) {
            return fs::weakly_canonical(file).parent_path() == folder ? error : 0;
        };
    }
}

void ScratchDisk::Repair() {
    if (!broken_) return;
    broken_ = false;
    if (seam_) {
        seam_ = false;
        FileWriteRefusal() = nullptr;
        return;
    }
    RepairForReal();
}

void ScratchDisk::BreakForReal() {
    switch (fault_) {
        case FullDisk:
            if (mounted_) FillUp(folder_);
            break;
        case ReadOnlyDisk:
            if (mounted_) ::mount(nullptr, folder_.c_str(), nullptr, MS_REMOUNT | MS_RDONLY | MS_NOSUID | MS_NODEV, nullptr);
            break;
        case ReadOnlyFolder:
            ::chmod(folder_.c_str(), 0500);
            SetPermissionOverrides(false);
            break;
    }
}

void ScratchDisk::RepairForReal() {
    switch (fault_) {
        case FullDisk: {
            std::error_code ignored;
            fs::remove(folder_ / FillerName, ignored);
            break;
        }
        case ReadOnlyDisk:
            if (mounted_) ::mount(nullptr, folder_.c_str(), nullptr, MS_REMOUNT | MS_NOSUID | MS_NODEV, nullptr);
            break;
        case ReadOnlyFolder:
            SetPermissionOverrides(true);
            ::chmod(folder_.c_str(), 0700);
            break;
    }
}

// Whether a small file can still be created and written in the folder.
bool ScratchDisk::Writable() const {
    const fs::path probe = folder_ / ProbeName;
    const int descriptor = ::open(probe.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0600);
    if (descriptor < 0) return false;
    const bool written = ::write(descriptor, "x", 1) == 1 && ::fsync(descriptor) == 0;
    ::close(descriptor);
    ::unlink(probe.c_str());
    return written;
}

}  // namespace settingstest
