#pragma once
// A folder of its own for a test that needs a save to fail, broken the way a user's disk
// breaks so that the writer meets the system's own error:
// - FullDisk: a small tmpfs mounted on the folder, then filled to the last byte (ENOSPC);
// - ReadOnlyDisk: the same tmpfs remounted read-only (EROFS);
// - ReadOnlyFolder: the folder without write permission (EACCES); a test run as root
//   gives up, for the time the folder is broken, the right to ignore permissions.
// The mount is made in a mount namespace of the test process alone. Where the system
// refuses any of this (a user without the right to mount), the writer's test seam refuses
// the writes with the same error instead, so the tests run everywhere and never skip.
#include <filesystem>

namespace settingstest {

class ScratchDisk {
public:
    enum TFault { FullDisk, ReadOnlyDisk, ReadOnlyFolder };

    // Prepares the folder (created if missing; for a disk, mounted, and entered again when
    // it is the current directory).
    ScratchDisk(std::filesystem::path folder, TFault fault);
    ~ScratchDisk();
    ScratchDisk(const ScratchDisk&) = delete;
    ScratchDisk& operator=(const ScratchDisk&) = delete;

    // From now on no file of the folder can be created, written, renamed or removed.
    void Break();
    // Writes work again.
    void Repair();

    // The error a write meets once the folder is broken.
    int Error() const;

private:
    void BreakForReal();
    void RepairForReal();
    bool Writable() const;

    std::filesystem::path folder_;
    TFault fault_;
    bool mounted_ = false;
    bool broken_ = false;
    bool seam_ = false;
};

}  // namespace settingstest
