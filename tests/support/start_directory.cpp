// The temporary start directory of a test.
#include "tests/support/start_directory.h"

#include <stdlib.h>

#include <stdexcept>
#include <string>
#include <system_error>

namespace uitest {

TempStartDirectory::TempStartDirectory() {
    std::string pattern = (std::filesystem::temp_directory_path() / "curves-test-XXXXXX").string();
    if (!mkdtemp(pattern.data())) throw std::runtime_error("cannot create a temporary start directory");
    path_ = pattern;
    previous_ = std::filesystem::current_path();
    std::filesystem::current_path(path_);
}

TempStartDirectory::~TempStartDirectory() {
    std::error_code ec;
    std::filesystem::current_path(previous_, ec);
    std::filesystem::remove_all(path_, ec);
}

}  // namespace uitest
