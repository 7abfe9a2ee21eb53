// Playback of in-memory WAV images: the frames reach the device byte for byte in the
// image's format, unreadable images and a missing device give false without output.
#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>

#include "platform/sound/wave_playback.h"
#include "tests/alsa/alsa_capture.h"

namespace {

namespace fs = std::filesystem;
using soundtest::AlsaCapture;
using Bytes = std::vector<std::uint8_t>;

struct TempDir {
    fs::path path;
    TempDir() {
        char pattern[] = "/tmp/alsa_test_XXXXXX";
        path = mkdtemp(pattern);
    }
    ~TempDir() {
        std::error_code ignored;
        fs::remove_all(path, ignored);
    }
};

void Put16(Bytes& b, unsigned v) {
    b.push_back(std::uint8_t(v));
    b.push_back(std::uint8_t(v >> 8));
}
void Put32(Bytes& b, unsigned v) {
    Put16(b, v & 0xFFFF);
    Put16(b, v >> 16);
}
void PutTag(Bytes& b, const char* tag) {
    for (int i = 0; i < 4; ++i) b.push_back(std::uint8_t(tag[i]));
}

// A WAV image with an 18-byte format block, as the program writes it, and `extra` bytes of
// another chunk before the data when asked.
Bytes Image(unsigned channels, unsigned rate, unsigned bits, const Bytes& data, bool extraChunk = false) {
    Bytes b;
    const unsigned align = channels * bits / 8;
    PutTag(b, "RIFF");
    Put32(b, 0);  // patched below
    PutTag(b, "WAVE");
    PutTag(b, "fmt ");
    Put32(b, 18);
    Put16(b, 1);
    Put16(b, channels);
    Put32(b, rate);
    Put32(b, rate * align);
    Put16(b, align);
    Put16(b, bits);
    Put16(b, 0);
    if (extraChunk) {
        PutTag(b, "LIST");
        Put32(b, 3);
        b.insert(b.end(), {'a', 'b', 'c', 0});  // odd size, padded
    }
    PutTag(b, "data");
    Put32(b, unsigned(data.size()));
    b.insert(b.end(), data.begin(), data.end());
    const unsigned riff = unsigned(b.size() - 8);
    for (int i = 0; i < 4; ++i) b[4 + i] = std::uint8_t(riff >> (8 * i));
    return b;
}

// Stereo 16-bit frames with distinct, sign-mixed samples.
Bytes StereoFrames(int count) {
    Bytes data;
    for (int k = 0; k < count; ++k) {
        Put16(data, std::uint16_t(std::int16_t(k * 7 - 3000)));
        Put16(data, std::uint16_t(std::int16_t(-k * 5 + 123)));
    }
    return data;
}

class WavePlaybackTest : public ::testing::Test {
protected:
    TempDir dir;
    AlsaCapture device{dir.path};
};

TEST_F(WavePlaybackTest, PlaysEveryFrameOfAStereoImageByteForByte) {
    device.UseCapturingDevice();
    const Bytes data = StereoFrames(44100 / 5);
    ASSERT_TRUE(PlayWaveImage(Image(2, 44100, 16, data)));
    EXPECT_EQ(device.Captured(), data);

    // A second image replaces the first in a fresh capture: nothing is left from before.
    device.UseCapturingDevice();
    const Bytes shorter = StereoFrames(10);
    ASSERT_TRUE(PlayWaveImage(Image(2, 44100, 16, shorter, true)));
    EXPECT_EQ(device.Captured(), shorter);

    device.UseCapturingDevice();
    EXPECT_TRUE(PlayWaveImage(Image(2, 44100, 16, {})));  // an empty sound plays nothing
    EXPECT_TRUE(device.Captured().empty());
}

TEST_F(WavePlaybackTest, TakesTheFormatFromTheHeader) {
    device.UseCapturingDevice();
    Bytes mono8;
    for (int k = 0; k < 800; ++k) mono8.push_back(std::uint8_t(k * 3));
    ASSERT_TRUE(PlayWaveImage(Image(1, 8000, 8, mono8)));
    EXPECT_EQ(device.Captured(), mono8);
}

TEST_F(WavePlaybackTest, ADataChunkLongerThanTheImageIsCutAtTheImageEnd) {
    device.UseCapturingDevice();
    const Bytes data = StereoFrames(100);
    Bytes image = Image(2, 44100, 16, data);
    image.resize(image.size() - 40);  // ten frames missing
    ASSERT_TRUE(PlayWaveImage(image));
    EXPECT_EQ(device.Captured(), Bytes(data.begin(), data.end() - 40));
}

TEST_F(WavePlaybackTest, WithoutADefaultDeviceNothingIsPlayed) {
    device.UseMissingDevice();
    EXPECT_FALSE(PlayWaveImage(Image(2, 44100, 16, StereoFrames(100))));
    // The library's own complaint is silenced (nothing to check but that it returns).
    device.UseCapturingDevice();
    EXPECT_TRUE(PlayWaveImage(Image(2, 44100, 16, StereoFrames(3))));  // the next configuration is read again
    EXPECT_EQ(device.Captured().size(), 12u);
}

TEST_F(WavePlaybackTest, RefusesImagesItCannotReadWithoutTouchingTheDevice) {
    device.UseCapturingDevice();
    const Bytes data = StereoFrames(4);
    const Bytes good = Image(2, 44100, 16, data);

    EXPECT_FALSE(PlayWaveImage({}));
    EXPECT_FALSE(PlayWaveImage(Bytes(good.begin(), good.begin() + 11)));
    Bytes notRiff = good;
    notRiff[0] = 'X';
    EXPECT_FALSE(PlayWaveImage(notRiff));
    Bytes notWave = good;
    notWave[8] = 'X';
    EXPECT_FALSE(PlayWaveImage(notWave));
    EXPECT_FALSE(PlayWaveImage(Image(2, 44100, 24, data)));   // 24-bit
    EXPECT_FALSE(PlayWaveImage(Image(0, 44100, 16, data)));   // no channel
    EXPECT_FALSE(PlayWaveImage(Image(2, 0, 16, data)));       // no rate
    Bytes floatFormat = good;
    floatFormat[20] = 3;
    EXPECT_FALSE(PlayWaveImage(floatFormat));
    Bytes badAlign = good;
    badAlign[32] = 2;
    EXPECT_FALSE(PlayWaveImage(badAlign));
    Bytes noData = Bytes(good.begin(), good.begin() + 38);  // the header ends before "data"
    EXPECT_FALSE(PlayWaveImage(noData));
    Bytes hugeChunk = good;  // a chunk before the data that claims more than the image
    hugeChunk[12] = 'J';
    hugeChunk[18] = 0x7F;
    EXPECT_FALSE(PlayWaveImage(hugeChunk));

    EXPECT_FALSE(device.CaptureFileExists());
}

}  // namespace
