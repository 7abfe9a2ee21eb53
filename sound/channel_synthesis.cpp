#include "sound/channel_synthesis.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <cstddef>

#include "engine/expression_evaluator.h"
#include "engine/expression_tables.h"
#include "engine/number_errors.h"
#include "engine/rounding.h"

namespace {

constexpr long double FullAmplitude = 2000;
constexpr long double FadeSeconds = 0.03L;
// Frames evaluated per call of a channel: small enough to stay in the first-level cache.
constexpr std::size_t BlockFrames = 256;

// A channel's value at an amplitude as a sample: the low 16 bits of the integer part of
// their product; silence where the channel is undefined.
inline std::int16_t ChannelSample(long double value, long double amplitude) {
    if (value == UndefinedValue) return 0;
    return LowSixteenBits(TruncToInt64(value * amplitude));
}

// The samples of the quick evaluation, where its bounds settle every one of them: the 80-bit
// value lies within bounds[i] of values[i], so its product by the amplitude (rounded to 80
// bits) lies within `margin` of the product computed here; where both ends of that range have
// the same integer part, so has the 80-bit product. The margin also covers the rounding of
// the amplitude to double and of the products here (relative 2^-50 for at most 2^-51).
bool SettledSamples(const double* values, const double* bounds, const long double* amplitudes, std::size_t count,
                    std::int16_t* samples) {
    for (std::size_t i = 0; i < count; ++i) {
        const double amplitude = double(amplitudes[i]);
        const double product = values[i] * amplitude;
        const double margin = bounds[i] * amplitude * (1 + 0x1p-49) + std::fabs(product) * 0x1p-50 + 0x1p-1000;
        if (!(margin < 0.5)) return false;
        const auto low = std::int64_t(product - margin);
        if (low != std::int64_t(product + margin)) return false;
        samples[i] = LowSixteenBits(low);
    }
    return true;
}

// The samples of one channel over a block: from the quick evaluation where it settles them
// all (nearly always), else from the 80-bit values.
void ChannelSamples(int slot, const double* xs, std::size_t count, double a, double b, const long double* amplitudes,
                    std::int16_t* samples) {
    std::array<double, BlockFrames> values, bounds;
    if (EvaluateFunctionBlockBounded(slot, xs, count, a, b, values.data(), bounds.data()) &&
        SettledSamples(values.data(), bounds.data(), amplitudes, count, samples))
        return;
    std::array<long double, BlockFrames> exact;
    EvaluateFunctionBlock(slot, xs, count, a, b, exact.data());
    for (std::size_t i = 0; i < count; ++i) samples[i] = ChannelSample(exact[i], amplitudes[i]);
}

// The first whole k with k >= limit.
std::int64_t FirstFrameFrom(long double limit) {
    if (limit <= 0) return 0;
    return std::int64_t(std::ceil(limit));
}

}  // namespace

std::int64_t ChannelFrameCount(std::int64_t milliseconds) {
    const std::int64_t frames = RoundToInt64((long double)milliseconds / 1000 * SoundSampleRate);
    return frames > 0 ? frames : 0;
}

WavImage SynthesiseChannels(std::int64_t frames, double a, double b) {
    if (frames < 0) frames = 0;
    if (frames > std::int64_t(UINT32_MAX)) throw FloatOverflowError();  // beyond any header
    // The header tells the frames actually written: the sound and the two silences.
    const std::uint32_t dataSize = WavDataSize(frames + 2 * std::int64_t(ChannelSilenceFrames));
    WavImage image = BeginWavImage(dataSize);
    image.resize(WavHeaderSize + dataSize);  // zeros: the silences are already there
    std::uint8_t* out = image.data() + WavHeaderSize + ChannelSilenceFrames * WavFrameBytes;

    // The amplitude rises over the first `fade` frames and falls over the last; in between
    // it is full. The two bounds are where the per-frame comparisons kk < fade and
    // kk >= n - fade change their answers.
    const long double fade = FadeSeconds * SoundSampleRate;
    const long double n = (long double)frames;
    const std::int64_t fadeInEnd = FirstFrameFrom(fade);
    const std::int64_t fadeOutStart = FirstFrameFrom(n - fade);

    std::array<double, BlockFrames> xs;
    std::array<long double, BlockFrames> amplitudes;
    std::array<std::int16_t, BlockFrames> left, right;
    for (std::int64_t first = 0; first < frames; first += std::int64_t(BlockFrames)) {
        const std::size_t count = std::size_t(std::min<std::int64_t>(std::int64_t(BlockFrames), frames - first));
        for (std::size_t i = 0; i < count; ++i) {
            const std::int64_t k = first + std::int64_t(i);
            xs[i] = double(kTwoPi * ((long double)k / SoundSampleRate));
            long double amplitude = FullAmplitude;
            if (k < fadeInEnd)
                amplitude = FullAmplitude * (long double)k / fade;
            else if (k >= fadeOutStart)
                amplitude = FullAmplitude * (n - (long double)k) / fade;
            amplitudes[i] = amplitude;
        }
        ChannelSamples(LeftChannelSlot, xs.data(), count, a, b, amplitudes.data(), left.data());
        ChannelSamples(RightChannelSlot, xs.data(), count, a, b, amplitudes.data(), right.data());
        for (std::size_t i = 0; i < count; ++i) {
            PutWavFrame(out, left[i], right[i]);
            out += WavFrameBytes;
        }
    }
    return image;
}
