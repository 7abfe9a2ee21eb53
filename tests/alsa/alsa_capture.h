#pragma once
// A sound device for tests: ALSA_CONFIG_PATH pointed at a configuration whose default
// device is the file plugin over a null device, so that every frame played lands byte for
// byte in a file; or at a configuration without a usable default device.
#include <cstdint>
#include <filesystem>
#include <string>
#include <vector>

namespace soundtest {

class AlsaCapture {
public:
    // The configuration and the capture file live in `folder`.
    explicit AlsaCapture(const std::filesystem::path& folder);
    ~AlsaCapture();
    AlsaCapture(const AlsaCapture&) = delete;
    AlsaCapture& operator=(const AlsaCapture&) = delete;

    // Makes the default device the capturing one (the file is emptied).
    void UseCapturingDevice();
    // Makes the default device one that cannot be opened.
    void UseMissingDevice();

    // The raw frames played since the last Use... call.
    std::vector<std::uint8_t> Captured() const;
    bool CaptureFileExists() const;

private:
    void Point(const std::string& configuration);
    std::filesystem::path folder_;
    std::filesystem::path config_;
    std::filesystem::path capture_;
    std::string previous_;
    bool hadPrevious_ = false;
};

std::vector<std::uint8_t> ReadFileBytes(const std::filesystem::path& file);

}  // namespace soundtest
