#pragma once
// Shared by the sound tests: reading samples out of WAV images and captures, and the
// fixture that runs Vartelo with a capturing sound device in its start directory.
#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "tests/alsa/alsa_capture.h"
#include "tests/plotter/program_harness.h"

namespace soundtest {

using Bytes = std::vector<std::uint8_t>;

// The address sanitizer reserves the address space that RunShortOfMemory limits.
#if defined(__SANITIZE_ADDRESS__)
inline constexpr bool AddressSpaceCanBeLimited = false;
#elif defined(__has_feature)
#if __has_feature(address_sanitizer)
inline constexpr bool AddressSpaceCanBeLimited = false;
#else
inline constexpr bool AddressSpaceCanBeLimited = true;
#endif
#else
inline constexpr bool AddressSpaceCanBeLimited = true;
#endif

std::uint32_t Read32(const Bytes& bytes, std::size_t at);
std::uint16_t Read16(const Bytes& bytes, std::size_t at);
// Sample `channel` (0 left, 1 right) of frame `frame` of raw frames starting at `offset`.
std::int16_t SampleAt(const Bytes& bytes, std::int64_t frame, int channel, std::size_t offset = 46);
// The frames of an image without its 46-byte header.
Bytes DataOf(const Bytes& image);

// Runs `play` with an address space that has no room left for a sound of an hour (635 MB),
// then lifts the limit; false when the limit could not be set or lifted.
bool RunShortOfMemory(const std::function<void()>& play);

class SoundProgramTest : public plottest::ProgramTest {
protected:
    void SetUp() override;
    void TearDown() override;

    // Starts Vartelo with the capturing device, its main window shown.
    void StartVartelo();
    // "Son.wav" of the start directory, or nothing.
    Bytes SoundFile() const;
    bool SoundFileExists() const;

    std::unique_ptr<AlsaCapture> device;
};

}  // namespace soundtest
