#pragma once
// "Jouer" of the first page: the two channel functions played for the duration "Dur\xE9e".
#include <cstdint>

#include "sound/wav_image.h"

// Silence before and after the sound, in frames (0.1 s).
inline constexpr int ChannelSilenceFrames = 100 * SoundSampleRate / 1000;

// The frame count of a sound of `milliseconds` (none for a negative duration).
std::int64_t ChannelFrameCount(std::int64_t milliseconds);

// The WAV image of `frames` frames of engine slots 8 (left) and 7 (right) at the
// parameters a and b, between two silences. Frame k plays x = 2 pi k / 44100 at the
// amplitude 2000, faded in over the first 0.03 s and out over the last; each sample is
// the low 16 bits of the integer part of value times amplitude. An undefined value (or
// any arithmetic fault) raises: nothing is returned.
WavImage SynthesiseChannels(std::int64_t frames, double a, double b);

// The handler of "Jouer" (Button5, Ctrl+A): redraws (which rebuilds the channel sums),
// compiles them into slots 8 and 7, synthesises the sound and plays it; when the card
// cannot play it, tells the user and writes it to "Son.wav" in the start directory.
void PlayChannels();
