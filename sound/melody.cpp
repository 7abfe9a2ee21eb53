#include "sound/melody.h"

#include <algorithm>
#include <cmath>
#include <new>

#include "engine/expression_tables.h"
#include "engine/extended_math.h"
#include "engine/number_conversion.h"
#include "engine/rounding.h"
#include "engine/trigonometric.h"
#include "platform/ui/dialogs.h"
#include "platform/ui/grids.h"
#include "plotter/main_form.h"
#include "sound/sound_output.h"

namespace {

constexpr int FirstNoteRow = 2;
constexpr int LastNoteRow = 22;
constexpr int LastMelodyColumn = 999;
constexpr long double NoteRamp = 0.02L;             // seconds
constexpr long double NoteAmplitude = 2000;
constexpr long double RightChannelPhase = 0.2L;     // radians

struct ActiveNote {
    double Factor;  // ratio times octave factor
    double Start;   // seconds
    double End;
    double Volume;
};

// The note's share of its full amplitude at time t: ramps of NoteRamp at both ends.
long double Envelope(const ActiveNote& note, long double t) {
    if (t < note.Start) return 0;
    if (t < note.Start + NoteRamp) return (t - note.Start) / NoteRamp;
    if (t <= note.End - NoteRamp) return 1;
    if (t < note.End) return (note.End - t) / NoteRamp;
    return 0;
}

// From this time on the note is silent for good (a note shorter than its ramp still
// rises for the whole ramp).
long double SilentFrom(const ActiveNote& note) {
    return std::max<long double>(note.End, note.Start + NoteRamp);
}

// Adds the notes of a melody column to the sounding ones. The first empty note name ends
// the column; an unknown name adds nothing.
void StartColumn(const TStringGrid& melody, int column, const NoteTable& notes, double beat,
                 std::vector<ActiveNote>& active) {
    bool timesRead = false;
    double start = 0, end = 0;
    for (int row = FirstNoteRow; row <= LastNoteRow; row += 2) {
        double factor = 1;
        const std::string name = ParseNoteName(melody.Cell(column, row), factor);
        if (name.empty()) break;
        double ratio = 0;
        if (!notes.Find(name, ratio)) continue;
        if (!timesRead) {
            start = ParseFloatOrZero(melody.Cell(column, 0)) * beat;
            end = start + ParseFloatOrZero(melody.Cell(column, 1)) * beat;
            timesRead = true;
        }
        double volume = ParseFloatOrZero(melody.Cell(column, row + 1));
        if (volume == 0) volume = 1;
        active.push_back(ActiveNote{ratio * factor, start, end, volume});
    }
}

// A mixed sample as a 16-bit one. Chords of many notes can sum beyond the 16-bit range;
// they are held at its ends rather than wrapped round to the opposite sign.
std::int16_t ToSample(long double mixed) {
    const std::int64_t value = RoundToInt64(mixed);
    return std::int16_t(std::clamp<std::int64_t>(value, INT16_MIN, INT16_MAX));
}

}  // namespace

bool NoteTable::Find(const std::string& name, double& ratio) const {
    for (size_t k = 0; k < NoteNames.size(); ++k) {
        if (NoteNames[k] == name) {
            ratio = NoteRatios[k];
            return true;
        }
    }
    return false;
}

NoteTable ReadNoteTable(const TStringGrid& scales) {
    NoteTable table;
    const int pairs = (scales.ColCount() + 1) / 2;
    for (int p = 0; p < pairs; ++p) {
        for (int row = 1; row < scales.RowCount(); ++row) {
            const std::string name = scales.Cell(2 * p, row);
            if (name.empty()) continue;
            table.NoteNames.push_back(name);
            table.NoteRatios.push_back(ParseFloatOrZero(scales.Cell(2 * p + 1, row)));
        }
    }
    return table;
}

std::string ParseNoteName(std::string cell, double& factor) {
    factor = 1;
    for (std::size_t at; (at = cell.find('>')) != std::string::npos;) {
        cell.erase(at, 1);
        factor *= 2;
    }
    for (std::size_t at; (at = cell.find('<')) != std::string::npos;) {
        cell.erase(at, 1);
        factor /= 2;
    }
    return cell;
}

double ComputeHarmonyLength(const TStringGrid& melody) {
    double result = 0;
    for (int column = 1; column <= LastMelodyColumn; ++column) {
        bool empty = true;
        for (int row = 2; row < melody.RowCount() && empty; ++row) empty = melody.Cell(column, row).empty();
        if (empty) break;
        const double end = ParseFloatOrZero(melody.Cell(column, 0)) + ParseFloatOrZero(melody.Cell(column, 1));
        result = std::max(result, end);
    }
    return result;
}

MelodyTiming ReadMelodyTiming() {
    MelodyTiming timing;
    try {
        const double tonic = ParseFloatOrZero(Form1->Edit27->Text());
        const double start = ParseFloatOrZero(Form1->Edit25->Text());
        const double tempo = ParseFloatOrZero(Form1->Edit26->Text());
        if (tempo == 0) return MelodyTiming{kTwoPi * 264, 0, 1};
        timing.Omega0 = kTwoPi * tonic;
        timing.Start = start;
        timing.Beat = 60 / tempo;
    } catch (const NumberError&) {
        return MelodyTiming{kTwoPi * 264, 0, 1};
    }
    return timing;
}

std::int64_t MelodyFrameCount(const TStringGrid& melody, const MelodyTiming& timing) {
    const long double length = ComputeHarmonyLength(melody);
    const std::int64_t milliseconds = CheckedSoundMilliseconds((length - timing.Start) * 1000 * timing.Beat);
    const std::int64_t frames = RoundToInt64((long double)milliseconds * SoundSampleRate / 1000);
    return frames > 0 ? frames : 0;
}

WavImage SynthesiseMelody(const TStringGrid& melody, const NoteTable& notes, const MelodyTiming& timing,
                          std::int64_t frames) {
    if (frames < 0) frames = 0;
    WavImage image = BeginWavImage(WavDataSize(frames));
    std::vector<ActiveNote> active;

    const long double origin = (long double)timing.Start * timing.Beat;
    int column = 1;
    bool columnTimeRead = false;
    long double columnTime = 0;
    for (std::int64_t i = 0; i < frames; ++i) {
        const long double t = origin + (long double)i / SoundSampleRate;

        std::erase_if(active, [t](const ActiveNote& note) { return t >= SilentFrom(note); });

        while (column < melody.ColCount()) {
            if (!columnTimeRead) {
                columnTime = (long double)ParseFloatOrZero(melody.Cell(column, 0)) * timing.Beat;
                columnTimeRead = true;
            }
            if (columnTime > t) break;
            StartColumn(melody, column, notes, timing.Beat, active);
            ++column;
            columnTimeRead = false;
        }

        long double left = 0, right = 0;
        for (const ActiveNote& note : active) {
            long double amplitude = NoteAmplitude * note.Volume * Envelope(note, t);
            if (std::fabs(amplitude) > NoteAmplitude) amplitude = NoteAmplitude;
            const long double phase = note.Factor * t * timing.Omega0;
            left += amplitude * xmath::Sin(phase);
            right += amplitude * xmath::Sin(phase + RightChannelPhase);
        }
        AppendWavFrame(image, ToSample(left), ToSample(right));
    }
    return image;
}

void PlayMelody() {
    const MelodyTiming timing = ReadMelodyTiming();
    const NoteTable notes = ReadNoteTable(*Form1->sg);
    const std::int64_t frames = MelodyFrameCount(*Form1->ms, timing);

    const SoundHourglass hourglass;
    WavImage image;
    try {
        image = SynthesiseMelody(*Form1->ms, notes, timing, frames);
    } catch (const std::bad_alloc&) {
        throw SoundMemoryError();
    }
    WriteSoundFile(image);
    if (!PlaySoundImage(image)) ShowMessage(PlaybackFailedMessage);
}
