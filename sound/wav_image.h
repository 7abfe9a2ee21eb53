#pragma once
// The WAV image in which the program builds its sounds in memory: RIFF/WAVE, integer PCM,
// 44,100 frames per second, two channels, signed 16-bit samples, a 46-byte header (its
// format block has the layout of the platform's WAVEFORMATEX, 18 bytes), then the frames,
// left sample first, all little-endian.
#include <cstddef>
#include <cstdint>
#include <vector>

inline constexpr int SoundSampleRate = 44100;
inline constexpr std::size_t WavHeaderSize = 46;
inline constexpr std::size_t WavFrameBytes = 4;

using WavImage = std::vector<std::uint8_t>;

// The number of data bytes of `frames` frames. Raises FloatOverflowError when the header's
// 32-bit size fields cannot describe them (a negative count counts as none).
std::uint32_t WavDataSize(std::int64_t frames);

// An image holding the header for `dataSize` bytes of frames, with room for them.
WavImage BeginWavImage(std::uint32_t dataSize);

// Appends one frame.
// Writes one frame (left, then right, little-endian) at `at`, WavFrameBytes long.
inline void PutWavFrame(std::uint8_t* at, std::int16_t left, std::int16_t right) {
    const auto l = std::uint16_t(left), r = std::uint16_t(right);
    at[0] = std::uint8_t(l);
    at[1] = std::uint8_t(l >> 8);
    at[2] = std::uint8_t(r);
    at[3] = std::uint8_t(r >> 8);
}

inline void AppendWavFrame(WavImage& image, std::int16_t left, std::int16_t right) {
    image.resize(image.size() + WavFrameBytes);
    PutWavFrame(image.data() + image.size() - WavFrameBytes, left, right);
}

// The low 16 bits of an integer, read as a signed sample.
inline std::int16_t LowSixteenBits(std::int64_t value) { return std::int16_t(std::uint16_t(value & 0xFFFF)); }
