#pragma once
// The sound of the first page: engine slots 8 (left) and 7 (right) sampled 44,100 times a
// second into a WAV image, between two silences.
#include <cstdint>

#include "sound/wav_image.h"

inline constexpr int LeftChannelSlot = 8;
inline constexpr int RightChannelSlot = 7;

// Silence before and after the sound, in frames (0.1 s).
inline constexpr int ChannelSilenceFrames = 100 * SoundSampleRate / 1000;

// The frame count of a sound of `milliseconds` (none for a negative duration).
std::int64_t ChannelFrameCount(std::int64_t milliseconds);

// The WAV image of `frames` frames of slots 8 and 7 at the parameters a and b, between the
// two silences. Frame k plays x = 2 pi k / 44100 at the amplitude 2000, faded in over the
// first 0.03 s and out over the last; each sample is the low 16 bits of the integer part
// of value times amplitude, and 0 where the channel is undefined. Raises
// FloatOverflowError for more frames than a WAV header can count.
WavImage SynthesiseChannels(std::int64_t frames, double a, double b);
