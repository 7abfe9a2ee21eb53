#pragma once
// A fresh temporary folder made the current directory for one test, then removed.
#include <filesystem>

namespace uitest {

class TempStartDirectory {
public:
    TempStartDirectory();
    ~TempStartDirectory();
    TempStartDirectory(const TempStartDirectory&) = delete;
    TempStartDirectory& operator=(const TempStartDirectory&) = delete;

    const std::filesystem::path& Path() const { return path_; }

private:
    std::filesystem::path path_;
    std::filesystem::path previous_;
};

}  // namespace uitest
