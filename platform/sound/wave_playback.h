#pragma once
// Synchronous playback of a WAV image held in memory, through the default sound device.
#include <cstddef>
#include <cstdint>
#include <span>

// The format block of a WAV image, as its header gives it.
struct TWaveFormat {
    std::uint16_t FormatTag = 0;      // 1: integer PCM
    std::uint16_t Channels = 0;
    std::uint32_t SamplesPerSec = 0;  // frames per second
    std::uint16_t BlockAlign = 0;     // bytes per frame
    std::uint16_t BitsPerSample = 0;
};

// Where the samples of a WAV image lie: the format and the bytes of the "data" chunk
// (cut at the end of the image when the chunk claims more).
struct TWaveLayout {
    TWaveFormat Format;
    std::size_t DataOffset = 0;
    std::size_t DataSize = 0;
};

// Reads the header of a RIFF/WAVE image: "RIFF", "WAVE", a "fmt " chunk, then a "data"
// chunk, other chunks skipped. False for anything else, and for a format that cannot be
// played: other than integer PCM, other than 8 or 16 bits, no channel or more than eight,
// no rate, or a block size that does not match the channels and bits.
bool ReadWaveLayout(std::span<const std::uint8_t> image, TWaveLayout& layout);

// Plays the image and returns when the sound has ended. False when it cannot be played:
// an unreadable header, no usable default device, a device that refuses the format, a
// failed write. The sound library's own messages are silenced.
bool PlayWaveImage(std::span<const std::uint8_t> image);
