#include "bench/scene/scratch_directory.h"

#include <chrono>
#include <string>
#include <system_error>

ScratchStartDirectory::ScratchStartDirectory() : previous_(std::filesystem::current_path()) {
    const auto stamp = std::chrono::steady_clock::now().time_since_epoch().count();
    folder_ = std::filesystem::temp_directory_path() / ("curves_bench_" + std::to_string(stamp));
    std::filesystem::create_directories(folder_);
    std::filesystem::current_path(folder_);
}

void ScratchStartDirectory::Remove() {
    if (folder_.empty()) return;
    std::error_code ignored;
    std::filesystem::current_path(previous_, ignored);
    std::filesystem::remove_all(folder_, ignored);
    folder_.clear();
}
