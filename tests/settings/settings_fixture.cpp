#include "tests/settings/settings_fixture.h"

#include <fstream>
#include <iterator>

namespace settingstest {

std::string SettingsTest::ReadAll(const fs::path& file) {
    std::ifstream in(file, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

void SettingsTest::WriteAll(const fs::path& file, const std::string& text) {
    std::ofstream out(file, std::ios::binary | std::ios::trunc);
    out.write(text.data(), std::streamsize(text.size()));
}

}  // namespace settingstest
