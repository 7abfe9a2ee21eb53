#pragma once
// The melody page: the scale grid `sg` names notes with their frequency ratios to the
// tonic; the melody grid `ms` holds per column a start time and a duration in beats and up
// to eleven notes (rows 2, 4, .. 22) with their volumes (the row below each note).
#include <cstdint>
#include <string>
#include <vector>

#include "sound/wav_image.h"

class TStringGrid;

// Every note of the scale grid, in the order the grid is read: column pairs left to right
// (name, ratio), rows 1 and below; a cell without a name is skipped.
struct NoteTable {
    std::vector<std::string> NoteNames;
    std::vector<double> NoteRatios;

    // The ratio of the first note of that name (names are matched exactly); false when
    // no note has it.
    bool Find(const std::string& name, double& ratio) const;
};

NoteTable ReadNoteTable(const TStringGrid& scales);

// A note cell without its octave marks: each ">" doubles `factor` (from 1), each "<"
// halves it.
std::string ParseNoteName(std::string cell, double& factor);

// The end of the melody in beats: the latest time + duration of the columns from 1 up to
// the first whose note and volume rows are all empty.
double ComputeHarmonyLength(const TStringGrid& melody);

// What the player reads from the page's edits.
struct MelodyTiming {
    long double Omega0 = 0;  // 2 pi times the tonic, radians per second
    double Start = 0;        // "Debut", beats
    double Beat = 1;         // seconds per beat
};

// Tonic, start and tempo from "Tonique", "Debut" and "Tempo"; when any of them cannot be
// read, or the tempo is 0, all three take 264 Hz, 0 and one second per beat.
MelodyTiming ReadMelodyTiming();

// The frame count from "Debut" to the end of the melody (none when it starts after it).
// Raises SoundTooLongError for a melody longer than one hour.
std::int64_t MelodyFrameCount(const TStringGrid& melody, const MelodyTiming& timing);

// The WAV image of `frames` frames of the melody from "Debut" on, without silence: every
// note a sine of ratio x octave factor x tonic, with 0.02 s ramps, at 2000 x volume capped
// to 2000; the right channel 0.2 radian ahead.
WavImage SynthesiseMelody(const TStringGrid& melody, const NoteTable& notes, const MelodyTiming& timing,
                          std::int64_t frames);

// The melody player ("Jouer" of the melody page, and "Normer"): synthesises the melody,
// writes it to "Son.wav" in the start directory, then plays it.
void PlayMelody();
