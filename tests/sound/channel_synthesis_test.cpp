// The WAV image of "Jouer": its header, the silences, the fades, the samples of known
// functions, the limit of the engine's results, undefined values as silence, and the same
// samples as one evaluation per frame.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>

#include "engine/expression_compiler.h"
#include "engine/expression_evaluator.h"
#include "engine/expression_tables.h"
#include "engine/number_errors.h"
#include "engine/program_variant.h"
#include "engine/rounding.h"
#include "sound/channel_synthesis.h"
#include "tests/sound/sound_test_support.h"

namespace soundtest {
namespace {

class ChannelSynthesisTest : public ::testing::Test {
protected:
    void SetUp() override { SelectProgram(ProgramKind::Vartelo); }
    void Channels(const char* left, const char* right) {
        ASSERT_TRUE(PrepareFunction(left, 8));
        ASSERT_TRUE(PrepareFunction(right, 7));
    }
};

constexpr std::int64_t Silence = 4410;

TEST_F(ChannelSynthesisTest, TheDefaultDurationMakesTheDocumentedHeader) {
    Channels("sin(440x)", "cos(440x)");
    const std::int64_t frames = ChannelFrameCount(3000);
    EXPECT_EQ(frames, 132300);
    const Bytes image = SynthesiseChannels(frames, 0, 0);
    ASSERT_EQ(image.size(), 46u + 564480u);
    const Bytes expected = {'R', 'I', 'F', 'F', 0x26, 0x9D, 0x08, 0x00,  // 564,518
                            'W', 'A', 'V', 'E', 'f', 'm', 't', ' ',
                            18, 0, 0, 0,                                 // format block size
                            1, 0, 2, 0,                                  // PCM, 2 channels
                            0x44, 0xAC, 0, 0,                            // 44,100
                            0x10, 0xB1, 0x02, 0,                         // 176,400 bytes per second
                            4, 0, 16, 0, 0, 0,                           // align 4, 16 bits, no extra
                            'd', 'a', 't', 'a', 0x00, 0x9D, 0x08, 0x00};  // 564,480
    EXPECT_EQ(Bytes(image.begin(), image.begin() + 46), expected);
    EXPECT_EQ(Read32(image, 4), 564518u);
    EXPECT_EQ(Read32(image, 42), 564480u);
}

TEST_F(ChannelSynthesisTest, ADurationOfZeroWritesOnlyTheTwoSilences) {
    Channels("1", "1");
    EXPECT_EQ(ChannelFrameCount(0), 0);
    EXPECT_EQ(ChannelFrameCount(-250), 0);
    const Bytes image = SynthesiseChannels(0, 0, 0);
    EXPECT_EQ(Read32(image, 42), 8820u * 4);
    ASSERT_EQ(image.size(), 46u + 8820u * 4);
    for (std::size_t at = 46; at < image.size(); ++at) ASSERT_EQ(image[at], 0) << at;
}

TEST_F(ChannelSynthesisTest, TheHeaderCountsTheFramesWrittenAlsoWhereTheRoundingsDisagree) {
    // 45 ms: 1984.5 frames round up, 10804.5 (silences included) round down.
    Channels("1", "1");
    for (std::int64_t ms : {45, 165, 295, 3000}) {
        const Bytes image = SynthesiseChannels(ChannelFrameCount(ms), 0, 0);
        EXPECT_EQ(Read32(image, 42), image.size() - 46) << ms;
        EXPECT_EQ(Read32(image, 4), image.size() - 8) << ms;
    }
    EXPECT_EQ(ChannelFrameCount(45), 1985);
    EXPECT_EQ(ChannelFrameCount(295), 13009);
}

TEST_F(ChannelSynthesisTest, ASineAt440HzOnTheLeftAndACosineOnTheRight) {
    Channels("sin(440x)", "cos(440x)");
    const std::int64_t frames = 44100;
    const Bytes image = SynthesiseChannels(frames, 0, 0);
    const long double pi = 3.141592653589793238462643383279502884L;
    int off = 0;
    for (std::int64_t k = 1323; k < frames - 1323; ++k) {
        const long double phase = 2 * pi * 440 * k / 44100;
        const long double left = std::trunc(2000 * std::sin(phase));
        const long double right = std::trunc(2000 * std::cos(phase));
        if (std::fabs(SampleAt(image, Silence + k, 0) - left) > 1 || std::fabs(SampleAt(image, Silence + k, 1) - right) > 1)
            ++off;
    }
    EXPECT_EQ(off, 0);
    // Known frames: frame 2205 ends the 22nd period; frame 11050 is 110.2494 periods.
    EXPECT_EQ(SampleAt(image, Silence + 2205, 0), 0);
    EXPECT_EQ(SampleAt(image, Silence + 2205, 1), 2000);
    EXPECT_EQ(SampleAt(image, Silence + 11050, 0), 1999);
    EXPECT_EQ(SampleAt(image, Silence + 11050, 1), 7);
    // 440 periods in the second: 880 changes of sign in the full-amplitude part, roughly.
    int changes = 0;
    for (std::int64_t k = 1324; k < frames - 1323; ++k)
        if ((SampleAt(image, Silence + k, 0) < 0) != (SampleAt(image, Silence + k - 1, 0) < 0)) ++changes;
    EXPECT_NEAR(changes, 880.0 * (frames - 2 * 1323) / frames, 3);
}

TEST_F(ChannelSynthesisTest, TheAmplitudeFadesInAndOutOver3Hundredths) {
    Channels("1", "0-1");
    const std::int64_t frames = 10000;
    const Bytes image = SynthesiseChannels(frames, 0, 0);
    for (std::int64_t k = 0; k < Silence; ++k) ASSERT_EQ(SampleAt(image, k, 0), 0);
    EXPECT_EQ(SampleAt(image, Silence + 0, 0), 0);
    EXPECT_EQ(SampleAt(image, Silence + 100, 0), 151);    // 2000 * 100 / 1323, truncated
    EXPECT_EQ(SampleAt(image, Silence + 100, 1), -151);   // towards zero
    EXPECT_EQ(SampleAt(image, Silence + 1322, 0), 1998);
    EXPECT_EQ(SampleAt(image, Silence + 1323, 0), 2000);
    EXPECT_EQ(SampleAt(image, Silence + frames - 1323, 0), 2000);
    EXPECT_EQ(SampleAt(image, Silence + frames - 1322, 0), 1998);
    EXPECT_EQ(SampleAt(image, Silence + frames - 1, 0), 1);
    for (std::int64_t k = Silence + frames; k < frames + 2 * Silence; ++k) ASSERT_EQ(SampleAt(image, k, 1), 0);
}

TEST_F(ChannelSynthesisTest, DurationsBelowSixHundredthsNeverReachFullAmplitude) {
    Channels("1", "1");
    const std::int64_t frames = ChannelFrameCount(40);
    ASSERT_EQ(frames, 1764);
    const Bytes image = SynthesiseChannels(frames, 0, 0);
    int peak = 0;
    for (std::int64_t k = 0; k < frames; ++k) peak = std::max<int>(peak, SampleAt(image, Silence + k, 0));
    EXPECT_EQ(peak, 1998);                                 // the fade-in wins up to frame 1322
    EXPECT_EQ(SampleAt(image, Silence + 1323, 0), 666);    // then the fade-out: 2000 * 441 / 1323
}

TEST_F(ChannelSynthesisTest, ResultsLimitedBy819GiveTheLoudestSamples) {
    // The limit is the 80-bit value nearest 8.19, a hair below it: 2000 times it truncates
    // to 16379.
    Channels("100", "0-100");
    const Bytes image = SynthesiseChannels(4000, 0, 0);
    EXPECT_EQ(SampleAt(image, Silence + 2000, 0), 16379);
    EXPECT_EQ(SampleAt(image, Silence + 2000, 1), -16379);
    Channels("8", "0-8");
    EXPECT_EQ(SampleAt(SynthesiseChannels(4000, 0, 0), Silence + 2000, 0), 16000);
}

TEST_F(ChannelSynthesisTest, AnUndefinedSamplePlaysAsSilenceAndTheOtherChannelPlays) {
    Channels("ln(x-100000)", "1");
    // Long enough for the full amplitude between the fades.
    const Bytes image = SynthesiseChannels(4000, 0, 0);
    ASSERT_EQ(image.size(), 46u + (4000u + 8820u) * 4);
    const long double fade = 0.03L * 44100;
    for (std::int64_t k = 0; k < 4000; ++k) {
        ASSERT_EQ(SampleAt(image, Silence + k, 0), 0) << k;
        const long double amplitude = k < fade ? 2000 * k / fade : k >= 4000 - fade ? 2000 * (4000 - k) / fade : 2000;
        ASSERT_EQ(SampleAt(image, Silence + k, 1), std::int16_t(std::trunc(amplitude))) << k;
    }
    EXPECT_EQ(SampleAt(image, Silence + 2000, 1), 2000);
    // An unreadable channel is undefined everywhere: silence as well.
    ASSERT_TRUE(PrepareFunction("1", 8));
    ASSERT_FALSE(PrepareFunction("sin(", 7));
    const Bytes right = SynthesiseChannels(500, 0, 0);
    for (std::int64_t k = 0; k < 500; ++k) ASSERT_EQ(SampleAt(right, Silence + k, 1), 0) << k;
    EXPECT_EQ(SampleAt(right, Silence + 499, 0), 754);  // 2000 * 499 / 1323
}

// The samples as the plain rule makes them: one evaluation of each channel per frame.
Bytes OneEvaluationPerFrame(std::int64_t frames, double a, double b) {
    Bytes image(46, 0);
    const auto frame = [&](std::int16_t l, std::int16_t r) {
        for (std::int16_t s : {l, r}) {
            image.push_back(std::uint8_t(std::uint16_t(s)));
            image.push_back(std::uint8_t(std::uint16_t(s) >> 8));
        }
    };
    for (int k = 0; k < Silence; ++k) frame(0, 0);
    const long double fade = 0.03L * 44100;
    const long double n = (long double)frames;
    for (std::int64_t k = 0; k < frames; ++k) {
        const long double kk = (long double)k;
        const double x = double(kTwoPi * (kk / 44100));
        long double amplitude = 2000;
        if (kk < fade)
            amplitude = 2000 * kk / fade;
        else if (kk >= n - fade)
            amplitude = 2000 * (n - kk) / fade;
        std::int16_t samples[2];
        for (int channel = 0; channel < 2; ++channel) {
            const long double v = EvaluateFunction(channel == 0 ? 8 : 7, x, a, b);
            samples[channel] = v == UndefinedValue ? 0 : std::int16_t(std::uint16_t(TruncToInt64(v * amplitude) & 0xFFFF));
        }
        frame(samples[0], samples[1]);
    }
    for (int k = 0; k < Silence; ++k) frame(0, 0);
    return image;
}

TEST_F(ChannelSynthesisTest, EverySampleIsTheOneOfOneEvaluationPerFrame) {
    struct Case {
        const char* left;
        const char* right;
        double a, b;
    };
    const Case cases[] = {
        {"sin(440x)", "cos(440(x+0,003))", 0, 0},
        {"sin(220x)+(0,5sin(330x))+(0,25sin(660x))", "tri(220x)+(cre(110(x+0,006)))", 0, 0},
        {"a*sin(x*b)", "ln(x-0,5)+sin(50x)", 1.5, 700},
        {"100", "x^2-3", 0, 0},
        // Samples exactly on whole numbers, or next to them, where only the 80-bit value tells
        // which side a sample falls; undefined points; values the sound range limits.
        {"sin(x)*sin(x)+cos(x)*cos(x)", "0,5+sin(x)*0", 0, 0},
        {"sin(440x)/sin(440x)", "9sin(440x)", 0, 0},
        {"(x-1)*(x+2)/(carre(x)+a)+b*sin(x)", "-sin(264x*7)+(cos(264(x+0,00002)*9))", 0.25, 0.5},
    };
    for (const Case& c : cases) {
        Channels(c.left, c.right);
        // Durations around the block length and the fades, long and short.
        for (std::int64_t frames : {0, 1, 255, 256, 257, 1323, 1324, 2646, 2647, 44100}) {
            const Bytes image = SynthesiseChannels(frames, c.a, c.b);
            const Bytes model = OneEvaluationPerFrame(frames, c.a, c.b);
            ASSERT_EQ(image.size(), model.size()) << c.left << " " << frames;
            EXPECT_TRUE(std::equal(image.begin() + 46, image.end(), model.begin() + 46)) << c.left << " " << frames;
        }
    }
}

TEST_F(ChannelSynthesisTest, ASoundTooLongForTheHeaderRaises) {
    Channels("1", "1");
    EXPECT_THROW(SynthesiseChannels(std::int64_t(1) << 31, 0, 0), FloatOverflowError);
}

}  // namespace
}  // namespace soundtest
