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

// The address sanitizer brings its own allocation, which the sound tests cannot make refuse
// a large block.
#if defined(__SANITIZE_ADDRESS__)
#define SOUND_TEST_UNDER_ADDRESS_SANITIZER 1
#elif defined(__has_feature)
#if __has_feature(address_sanitizer)
#define SOUND_TEST_UNDER_ADDRESS_SANITIZER 1
#endif
#endif
#ifndef SOUND_TEST_UNDER_ADDRESS_SANITIZER
#define SOUND_TEST_UNDER_ADDRESS_SANITIZER 0
#endif
inline constexpr bool LargeAllocationsCanBeRefused = !SOUND_TEST_UNDER_ADDRESS_SANITIZER;

std::uint32_t Read32(const Bytes& bytes, std::size_t at);
std::uint16_t Read16(const Bytes& bytes, std::size_t at);
// Sample `channel` (0 left, 1 right) of frame `frame` of raw frames starting at `offset`.
std::int16_t SampleAt(const Bytes& bytes, std::int64_t frame, int channel, std::size_t offset = 46);
// The frames of an image without its 46-byte header.
Bytes DataOf(const Bytes& image);

// Runs `play` while every allocation of 256 MB or more fails (the image of a sound of an
// hour takes 635 MB); false when allocations cannot be refused in this build.
bool RunShortOfMemory(const std::function<void()>& play);
// The size from which allocations fail now.
std::size_t RefusedAllocationSize();

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
