#include "tests/alsa/alsa_capture.h"

#include <cstdlib>
#include <fstream>
#include <iterator>

namespace soundtest {

namespace fs = std::filesystem;

AlsaCapture::AlsaCapture(const fs::path& folder)
    : folder_(folder), config_(folder / "asound-test.conf"), capture_(folder / "captured.raw") {
    if (const char* old = std::getenv("ALSA_CONFIG_PATH")) {
        previous_ = old;
        hadPrevious_ = true;
    }
}

AlsaCapture::~AlsaCapture() {
    if (hadPrevious_)
        setenv("ALSA_CONFIG_PATH", previous_.c_str(), 1);
    else
        unsetenv("ALSA_CONFIG_PATH");
}

void AlsaCapture::Point(const std::string& configuration) {
    std::ofstream(config_, std::ios::trunc) << configuration;
    setenv("ALSA_CONFIG_PATH", config_.c_str(), 1);
}

void AlsaCapture::UseCapturingDevice() {
    std::error_code ignored;
    fs::remove(capture_, ignored);
    Point("pcm.!default {\n"
          "  type file\n"
          "  slave.pcm { type null }\n"
          "  file \"" + capture_.string() + "\"\n"
          "  format \"raw\"\n"
          "}\n");
}

void AlsaCapture::UseMissingDevice() {
    std::error_code ignored;
    fs::remove(capture_, ignored);
    // No default device at all: opening "default" fails.
    Point("pcm.unrelated { type null }\n");
}

std::vector<std::uint8_t> AlsaCapture::Captured() const { return ReadFileBytes(capture_); }

bool AlsaCapture::CaptureFileExists() const { return fs::exists(capture_); }

std::vector<std::uint8_t> ReadFileBytes(const fs::path& file) {
    std::ifstream in(file, std::ios::binary);
    return std::vector<std::uint8_t>(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

}  // namespace soundtest
