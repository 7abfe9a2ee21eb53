#include "sound/channel_player.h"

#include "engine/expression_compiler.h"
#include "engine/expression_evaluator.h"
#include "engine/expression_tables.h"
#include "engine/number_conversion.h"
#include "engine/number_errors.h"
#include "engine/rounding.h"
#include "platform/ui/dialogs.h"
#include "plotter/main_form.h"
#include "plotter/redraw_pipeline.h"
#include "sound/sound_output.h"

namespace {

constexpr int LeftChannelSlot = 8;
constexpr int RightChannelSlot = 7;
constexpr long double FullAmplitude = 2000;
constexpr long double FadeSeconds = 0.03L;

std::int16_t Sample(int slot, double x, double a, double b, long double amplitude) {
    return LowSixteenBits(TruncToInt64(EvaluateFunction(slot, x, a, b) * amplitude));
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
    WavImage image = BeginWavImage(WavDataSize(frames + 2 * std::int64_t(ChannelSilenceFrames)));
    for (int k = 0; k < ChannelSilenceFrames; ++k) AppendWavFrame(image, 0, 0);

    const long double fade = FadeSeconds * SoundSampleRate;
    const long double n = (long double)frames;
    for (std::int64_t k = 0; k < frames; ++k) {
        const long double kk = (long double)k;
        const long double x = kTwoPi * (kk / SoundSampleRate);
        long double amplitude = FullAmplitude;
        if (kk < fade)
            amplitude = FullAmplitude * kk / fade;
        else if (kk >= n - fade)
            amplitude = FullAmplitude * (n - kk) / fade;
        const std::int16_t left = Sample(LeftChannelSlot, double(x), a, b, amplitude);
        const std::int16_t right = Sample(RightChannelSlot, double(x), a, b, amplitude);
        AppendWavFrame(image, left, right);
    }

    for (int k = 0; k < ChannelSilenceFrames; ++k) AppendWavFrame(image, 0, 0);
    return image;
}

void PlayChannels() {
    RedrawGraph(Form1->im->Bitmap());
    PrepareFunction(Form1->Edit9->Text(), LeftChannelSlot);
    PrepareFunction(Form1->Edit8->Text(), RightChannelSlot);
    Form1->im->Repaint();

    const std::int64_t milliseconds = RoundToInt64((long double)ParseFloatOrZero(Form1->Edit21->Text()) * 1000);
    const std::int64_t frames = ChannelFrameCount(milliseconds);
    const double a = ParseFloatOrZero(Form1->Edit15->Text());
    const double b = ParseFloatOrZero(Form1->Edit16->Text());

    const SoundHourglass hourglass;
    const WavImage image = SynthesiseChannels(frames, a, b);
    if (!PlaySoundImage(image)) {
        ShowMessage(PlaybackFailedMessage);
        WriteSoundFile(image);
    }
}
