#pragma once
// The programs keep their state file and undo snapshots in the folder they start in: a
// benchmark starts them in a fresh temporary folder, removed again at the end.
#include <filesystem>

class ScratchStartDirectory {
public:
    ScratchStartDirectory();
    ~ScratchStartDirectory() { Remove(); }
    // Goes back to the previous folder and removes the scratch one (also before an
    // immediate exit, which runs no destructor).
    void Remove();
    ScratchStartDirectory(const ScratchStartDirectory&) = delete;
    ScratchStartDirectory& operator=(const ScratchStartDirectory&) = delete;

private:
    std::filesystem::path previous_;
    std::filesystem::path folder_;
};
