#include "sound/wav_image.h"

#include "engine/number_errors.h"

namespace {

void Put16(WavImage& image, std::uint32_t value) {
    image.push_back(std::uint8_t(value));
    image.push_back(std::uint8_t(value >> 8));
}

void Put32(WavImage& image, std::uint32_t value) {
    Put16(image, value & 0xFFFF);
    Put16(image, value >> 16);
}

void PutTag(WavImage& image, const char* tag) {
    for (int i = 0; i < 4; ++i) image.push_back(std::uint8_t(tag[i]));
}

// The RIFF size field holds everything after itself: 38 header bytes and the data.
constexpr std::uint32_t HeaderBytesAfterRiffSize = WavHeaderSize - 8;
constexpr std::uint16_t Channels = 2;
constexpr std::uint16_t BitsPerSample = 16;
constexpr std::uint16_t BlockAlign = Channels * BitsPerSample / 8;

}  // namespace

std::uint32_t WavDataSize(std::int64_t frames) {
    if (frames <= 0) return 0;
    constexpr std::int64_t most = (std::int64_t(UINT32_MAX) - HeaderBytesAfterRiffSize) / std::int64_t(WavFrameBytes);
    if (frames > most) throw FloatOverflowError();
    return std::uint32_t(frames * std::int64_t(WavFrameBytes));
}

WavImage BeginWavImage(std::uint32_t dataSize) {
    WavImage image;
    image.reserve(WavHeaderSize + dataSize);
    PutTag(image, "RIFF");
    Put32(image, HeaderBytesAfterRiffSize + dataSize);
    PutTag(image, "WAVE");
    PutTag(image, "fmt ");
    Put32(image, 18);                           // size of the format block
    Put16(image, 1);                            // integer PCM
    Put16(image, Channels);
    Put32(image, SoundSampleRate);
    Put32(image, BlockAlign * SoundSampleRate);  // bytes per second
    Put16(image, BlockAlign);
    Put16(image, BitsPerSample);
    Put16(image, 0);                            // no extra format bytes
    PutTag(image, "data");
    Put32(image, dataSize);
    return image;
}
