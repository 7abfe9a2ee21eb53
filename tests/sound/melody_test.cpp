// The melody page: the note table, octave marks, the length of the melody, the player
// (Son.wav written, then played), volumes and ramps, "Changement" and "> Fonctions".
#include <cmath>

#include "plotter/main_form.h"
#include "sound/melody.h"
#include "sound/sound_output.h"
#include "tests/sound/sound_test_support.h"

namespace soundtest {
namespace {

constexpr long double Pi = 3.141592653589793238462643383279502884L;

class MelodyTest : public SoundProgramTest {
protected:
    void SetUp() override {
        SoundProgramTest::SetUp();
        StartVartelo();
        Form1->sg->SetCell(0, 1, "A1");
        Form1->sg->SetCell(1, 1, "1");
        Form1->Edit26->SetText("60");
        Form1->pc->SetActivePageIndex(1);
        cursor.Clear();
    }
    void Note(int column, int voice, const std::string& name, const std::string& volume = "") {
        Form1->ms->SetCell(column, 2 * voice, name);
        Form1->ms->SetCell(column, 2 * voice + 1, volume);
    }
    void Play() { uitest::Click(Form1->Button10); }
    // The largest |left sample| between two times in seconds.
    static int Peak(const Bytes& data, double from, double to) {
        int peak = 0;
        for (auto i = std::int64_t(from * 44100); i < std::int64_t(to * 44100); ++i)
            peak = std::max(peak, std::abs(int(SampleAt(data, i, 0, 0))));
        return peak;
    }
    static int SignChanges(const Bytes& data, double from, double to) {
        int changes = 0;
        for (auto i = std::int64_t(from * 44100) + 1; i < std::int64_t(to * 44100); ++i)
            if ((SampleAt(data, i, 0, 0) < 0) != (SampleAt(data, i - 1, 0, 0) < 0)) ++changes;
        return changes;
    }
};

TEST_F(MelodyTest, FourBeatsOfA1AtTempo60AreFourSecondsOf264HzWithRamps) {
    for (int column = 1; column <= 4; ++column) Note(column, 1, "A1");
    EXPECT_EQ(ComputeHarmonyLength(*Form1->ms), 4);
    Play();
    EXPECT_EQ(messages.Count(), 0);
    const Bytes file = SoundFile();
    ASSERT_EQ(Read32(file, 42), 176400u * 4);
    ASSERT_EQ(file.size(), 46u + 176400u * 4);
    EXPECT_EQ(Read32(file, 4), 38u + 176400u * 4);
    EXPECT_EQ(Read32(file, 24), 44100u);
    const Bytes data = DataOf(file);
    EXPECT_EQ(device->Captured(), data);  // written first, then played byte for byte

    // Every frame against the notes' sum: 2000 x envelope x sin(264 x 2 pi t), the right
    // channel 0.2 radian ahead; each note ramps for 0.02 s at both ends.
    int off = 0;
    for (std::int64_t i = 0; i < 176400; ++i) {
        const long double t = (long double)i / 44100;
        long double left = 0, right = 0;
        for (int note = 0; note < 4; ++note) {
            long double e = 0;
            if (t < note) e = 0;
            else if (t < note + 0.02L) e = (t - note) / 0.02L;
            else if (t <= note + 1 - 0.02L) e = 1;
            else if (t < note + 1) e = (note + 1 - t) / 0.02L;
            left += 2000 * e * std::sin(t * 2 * Pi * 264);
            right += 2000 * e * std::sin(t * 2 * Pi * 264 + 0.2L);
        }
        if (std::fabs(SampleAt(data, i, 0, 0) - left) > 1 || std::fabs(SampleAt(data, i, 1, 0) - right) > 1) ++off;
    }
    EXPECT_EQ(off, 0);
    EXPECT_EQ(SampleAt(data, 0, 0, 0), 0);
    EXPECT_EQ(cursor.History(), (std::vector<TCursor>{crHourGlass, crDefault}));
}

TEST_F(MelodyTest, OctaveMarksDoubleAndHalveTheFrequency) {
    double factor = 0;
    EXPECT_EQ(ParseNoteName("A1>>", factor), "A1");
    EXPECT_EQ(factor, 4);
    EXPECT_EQ(ParseNoteName("<A1", factor), "A1");
    EXPECT_EQ(factor, 0.5);
    EXPECT_EQ(ParseNoteName("A>1<", factor), "A1");
    EXPECT_EQ(factor, 1);
    EXPECT_EQ(ParseNoteName("><", factor), "");

    Note(1, 1, "A1>>");
    Note(2, 1, "A1<");
    Play();
    const Bytes data = device->Captured();
    ASSERT_EQ(data.size(), 88200u * 4);
    EXPECT_NEAR(SignChanges(data, 0.05, 0.95), 2 * 1056 * 0.9, 3);  // 1056 Hz
    EXPECT_NEAR(SignChanges(data, 1.05, 1.95), 2 * 132 * 0.9, 3);   // 132 Hz
}

TEST_F(MelodyTest, VolumesScaleTheNoteUpTo2000AndZeroOrEmptyMeansOne) {
    Note(1, 1, "A1", "3");
    Note(2, 1, "A1", "0");
    Note(3, 1, "A1", "");
    Note(4, 1, "A1", "0,5");
    Play();
    const Bytes data = device->Captured();
    EXPECT_NEAR(Peak(data, 0.1, 0.9), 2000, 1);
    EXPECT_NEAR(Peak(data, 1.1, 1.9), 2000, 1);
    EXPECT_NEAR(Peak(data, 2.1, 2.9), 2000, 1);
    EXPECT_NEAR(Peak(data, 3.1, 3.9), 1000, 1);
}

TEST_F(MelodyTest, AnEmptyFirstNoteSilencesTheColumnAndAnUnknownNameAddsNothing) {
    Note(1, 1, "A1");
    EXPECT_EQ(ComputeHarmonyLength(*Form1->ms), 1);
    Note(2, 2, "A1");  // L1 empty: L2 is not played, but the column belongs to the melody
    Note(3, 1, "Z9");  // an unknown L1: L2 still sounds
    Note(3, 2, "A1");
    EXPECT_EQ(ComputeHarmonyLength(*Form1->ms), 3);
    Play();
    const Bytes data = device->Captured();
    ASSERT_EQ(data.size(), 3u * 44100u * 4);
    EXPECT_NEAR(Peak(data, 0.1, 0.9), 2000, 1);
    EXPECT_EQ(Peak(data, 1.0, 2.0), 0);
    EXPECT_NEAR(Peak(data, 2.1, 2.9), 2000, 1);
}

TEST_F(MelodyTest, ChordsLouderThanSixteenBitsAreHeldAtTheEnds) {
    // 22 notes of A1 at time 0: 44,000 at the peaks.
    Form1->ms->SetCell(2, 0, "0");
    for (int voice = 1; voice <= 11; ++voice) {
        Note(1, voice, "A1");
        Note(2, voice, "A1");
    }
    Play();
    const Bytes data = device->Captured();
    ASSERT_EQ(data.size(), 44100u * 4);
    int top = 0, bottom = 0;
    for (std::int64_t i = 1000; i < 43000; ++i) {
        const long double model = 22 * 2000 * std::sin((long double)i / 44100 * 2 * Pi * 264);
        const int sample = SampleAt(data, i, 0, 0);
        if (model > 33000) {
            ASSERT_EQ(sample, 32767) << i;
            ++top;
        } else if (model < -33000) {
            ASSERT_EQ(sample, -32768) << i;
            ++bottom;
        } else if (std::fabs(model) < 32000) {
            ASSERT_NEAR(sample, model, 2) << i;
        }
    }
    EXPECT_GT(top, 1000);
    EXPECT_GT(bottom, 1000);
}

TEST_F(MelodyTest, TheStartSkipsTheBeginningAndAStartAfterTheEndGivesAnEmptySound) {
    for (int column = 1; column <= 4; ++column) Note(column, 1, "A1");
    Form1->Edit25->SetText("3");
    Play();
    EXPECT_EQ(device->Captured().size(), 44100u * 4);
    EXPECT_NEAR(Peak(device->Captured(), 0.1, 0.9), 2000, 1);

    Form1->Edit25->SetText("6");
    Play();
    const Bytes file = SoundFile();
    EXPECT_EQ(file.size(), 46u);
    EXPECT_EQ(Read32(file, 42), 0u);
    EXPECT_EQ(Read32(file, 4), 38u);
    EXPECT_TRUE(device->Captured().empty());
    EXPECT_EQ(messages.Count(), 0);
}

TEST_F(MelodyTest, AZeroOrUnreadableTempoFallsBackTo264HzOneBeatPerSecondFromZero) {
    Note(1, 1, "A1");
    Play();
    const Bytes reference = SoundFile();
    Form1->Edit26->SetText("0");
    Form1->Edit27->SetText("440");
    Form1->Edit25->SetText("0,5");
    Play();
    EXPECT_EQ(SoundFile(), reference);
    Form1->Edit26->SetText("1,2,3");  // passes the character filter, not the conversion
    Play();
    EXPECT_EQ(SoundFile(), reference);
    EXPECT_EQ(messages.Count(), 0);
}

TEST_F(MelodyTest, AMelodyLongerThanAnHourIsRefusedBeforeAnythingIsWritten) {
    for (int column = 1; column <= 4; ++column) Note(column, 1, "A1");
    Form1->Edit26->SetText("90");
    Form1->ms->SetCell(4, 0, "10000");  // 10 typed as 10000: 6,667 s
    for (const char* tempo : {"90", "1"}) {
        Form1->Edit26->SetText(tempo);
        const int before = messages.Count();
        Play();
        ASSERT_EQ(messages.Count(), before + 1) << tempo;
        EXPECT_EQ(messages.Last().Text, "Dur\xE9" "e trop longue : un son dure au plus une heure (3600 s)");
        EXPECT_FALSE(SoundFileExists());
        EXPECT_FALSE(device->CaptureFileExists());
        EXPECT_EQ(cursor.Current(), crDefault);
    }

    // A full grid of 999 columns at tempo 60 lasts 999 s: accepted.
    for (int column = 1; column <= 999; ++column) {
        Form1->ms->SetCell(column, 0, std::to_string(column - 1));
        Note(column, 1, "A1");
    }
    MelodyTiming timing;
    timing.Omega0 = 2 * Pi * 264;
    EXPECT_EQ(MelodyFrameCount(*Form1->ms, timing), 999 * 44100);
    timing.Start = -2601;  // starting before 0 lengthens it to one hour exactly
    EXPECT_EQ(MelodyFrameCount(*Form1->ms, timing), 3600 * 44100);
    timing.Start = -2601.001;
    EXPECT_THROW(MelodyFrameCount(*Form1->ms, timing), SoundTooLongError);
}

TEST_F(MelodyTest, AMelodyOfAnHourWithoutTheMemoryForItIsToldInFrench) {
    if (!LargeAllocationsCanBeRefused) GTEST_SKIP() << "the address sanitizer's allocation cannot be made to fail";
    Note(1, 1, "A1");
    Form1->ms->SetCell(1, 1, "3600");  // 3600 beats of a second: accepted, 635 MB of image
    ASSERT_TRUE(RunShortOfMemory([this] { Play(); }));
    ASSERT_EQ(messages.Count(), 1);
    EXPECT_EQ(messages.Last().Text, "M\xE9" "moire insuffisante pour construire le son");
    EXPECT_FALSE(device->CaptureFileExists());
    EXPECT_FALSE(SoundFileExists());
}

TEST_F(MelodyTest, WhenTheCardCannotPlaySonWavIsThereAndTheUserIsTold) {
    device->UseMissingDevice();
    Note(1, 1, "A1");
    Form1->pc->SetActivePageIndex(0);
    uitest::Click(Form1->Button2);  // "Normer" runs the melody player too
    ASSERT_EQ(messages.Count(), 1);
    EXPECT_EQ(messages.Last().Text, PlaybackFailedMessage);
    EXPECT_EQ(SoundFile().size(), 46u + 44100u * 4);
    EXPECT_EQ(cursor.Current(), crDefault);
}

TEST_F(MelodyTest, TheNoteTableReadsColumnPairsAndKeepsEveryNote) {
    TStringGrid& sg = *Form1->sg;
    sg.SetCell(0, 0, "ignored");  // row 0 is not read
    sg.SetCell(1, 0, "9");
    sg.SetCell(0, 2, "A1");       // a second A1: the first wins
    sg.SetCell(1, 2, "7");
    sg.SetCell(2, 1, "B1");
    sg.SetCell(3, 1, "1.5");
    NoteTable table = ReadNoteTable(sg);
    ASSERT_EQ(table.NoteNames, (std::vector<std::string>{"A1", "A1", "B1"}));
    double ratio = 0;
    ASSERT_TRUE(table.Find("A1", ratio));
    EXPECT_EQ(ratio, 1);
    ASSERT_TRUE(table.Find("B1", ratio));
    EXPECT_EQ(ratio, 1.5);
    EXPECT_FALSE(table.Find("a1", ratio));  // names match exactly

    // The table holds every note of the grid: 8 pairs of 49 rows.
    for (int column = 0; column < 16; column += 2)
        for (int row = 1; row < 50; ++row) sg.SetCell(column, row, "N" + std::to_string(column * 100 + row));
    table = ReadNoteTable(sg);
    ASSERT_EQ(table.NoteNames.size(), 392u);
    EXPECT_EQ(table.NoteNames[49], "N201");   // second pair, first row
    EXPECT_EQ(table.NoteNames[200], "N805");  // fifth pair, fifth row
    EXPECT_EQ(table.NoteNames[391], "N1449");
}

TEST_F(MelodyTest, AMelodyOf250NotesPlaysEveryOne) {
    // 250 notes in the scale grid, one a column; note 230 is the 230th of the table.
    TStringGrid& sg = *Form1->sg;
    for (int k = 0; k < 250; ++k) {
        sg.SetCell(2 * (k / 49), 1 + k % 49, "N" + std::to_string(k + 1));
        sg.SetCell(2 * (k / 49) + 1, 1 + k % 49, "1");
    }
    ASSERT_EQ(ReadNoteTable(sg).NoteNames.size(), 250u);
    Form1->Edit26->SetText("600");  // a tenth of a second a beat
    for (int column = 1; column <= 250; ++column) Note(column, 1, "N" + std::to_string(column));
    Play();
    EXPECT_EQ(messages.Count(), 0);
    const Bytes data = device->Captured();
    ASSERT_EQ(data.size(), 25u * 44100u * 4);
    for (int note : {1, 201, 202, 230, 250})
        EXPECT_NEAR(Peak(data, (note - 1) * 0.1 + 0.03, note * 0.1 - 0.03), 2000, 1) << note;
}

TEST_F(MelodyTest, MoreThan201NotesSoundAtOnce) {
    // 25 columns at time 0, 11 quiet notes each: 275 notes of amplitude 2 at once.
    for (int column = 1; column <= 25; ++column) {
        Form1->ms->SetCell(column, 0, "0");
        for (int voice = 1; voice <= 11; ++voice) Note(column, voice, "A1", "0,001");
    }
    Play();
    const Bytes data = device->Captured();
    ASSERT_EQ(data.size(), 44100u * 4);
    EXPECT_NEAR(Peak(data, 0.1, 0.9), 550, 1);
}

TEST_F(MelodyTest, ChangementMovesTheNotesToTheOtherScaleAndBackAgain) {
    Note(1, 1, "A1");
    Note(1, 2, "A2>", "A");  // volumes are not notes
    Note(7, 11, "CA<");
    Form1->ms->SetCell(1, 0, "A");  // nor are times
    uitest::Click(Form1->Button6);
    EXPECT_EQ(Form1->ms->Cell(1, 2), "B1");
    EXPECT_EQ(Form1->ms->Cell(1, 4), "B2>");
    EXPECT_EQ(Form1->ms->Cell(1, 5), "A");
    EXPECT_EQ(Form1->ms->Cell(7, 22), "CB<");
    EXPECT_EQ(Form1->ms->Cell(1, 0), "A");
    EXPECT_EQ(Form1->Edit23->Text(), "B");
    EXPECT_EQ(Form1->Edit24->Text(), "A");
    uitest::Click(Form1->Button6);
    EXPECT_EQ(Form1->ms->Cell(1, 2), "A1");
    EXPECT_EQ(Form1->ms->Cell(1, 4), "A2>");
    EXPECT_EQ(Form1->ms->Cell(7, 22), "CA<");
    EXPECT_EQ(Form1->Edit23->Text(), "A");
    EXPECT_EQ(Form1->Edit24->Text(), "B");

    // "Trace" leaves the grid alone.
    Form1->pc->SetActivePageIndex(0);
    Trace();
    EXPECT_EQ(Form1->ms->Cell(1, 2), "A1");
    Form1->pc->SetActivePageIndex(1);
    // An empty letter is found nowhere; the letters still change places.
    Form1->Edit23->SetText("");
    uitest::Click(Form1->Button6);
    EXPECT_EQ(Form1->ms->Cell(1, 2), "A1");
    EXPECT_EQ(Form1->Edit23->Text(), "B");
    EXPECT_EQ(Form1->Edit24->Text(), "");
}

TEST_F(MelodyTest, ToFunctionsPutsSixNotesIntoFToKAndTheRestSummedIntoL) {
    Form1->sg->SetCell(0, 2, "B1");
    Form1->sg->SetCell(1, 2, "1,125");
    Form1->Edit1->SetText("old");
    const char* names[] = {"A1", "B1", "A1>", "B1<", "A1", "A1", "B1", "A1<<"};
    for (int voice = 1; voice <= 8; ++voice) Note(3, voice, names[voice - 1], voice == 2 ? "0,5" : "");
    Form1->ms->SetCell(3, 0, "2,5");
    Form1->Edit28->SetText("2,5");
    Form1->pc->SetActivePageIndex(1);
    uitest::Click(Form1->Button11);
    EXPECT_EQ(Form1->Edit1->Text(), "sin(264x * 1)");
    EXPECT_EQ(Form1->Edit2->Text(), "0,5sin(264x * 1,125)");
    EXPECT_EQ(Form1->Edit3->Text(), "sin(264x * 2)");
    EXPECT_EQ(Form1->Edit4->Text(), "sin(264x * 0,5625)");
    EXPECT_EQ(Form1->Edit5->Text(), "sin(264x * 1)");
    EXPECT_EQ(Form1->Edit6->Text(), "sin(264x * 1)");
    EXPECT_EQ(Form1->Edit7->Text(), "sin(264x * 1,125)+sin(264x * 0,25)");
    EXPECT_EQ(Form1->pc->ActivePageIndex(), 0);
    EXPECT_EQ(messages.Count(), 0);

    // An unknown note adds no term and no stray "+": neither in l nor at its start.
    Note(3, 7, "Z9");
    Note(3, 9, "A1", "1");
    Form1->pc->SetActivePageIndex(1);
    uitest::Click(Form1->Button11);
    EXPECT_EQ(Form1->Edit7->Text(), "sin(264x * 0,25)+1sin(264x * 1)");
    Note(3, 8, "Z9");
    Form1->pc->SetActivePageIndex(1);
    uitest::Click(Form1->Button11);
    EXPECT_EQ(Form1->Edit7->Text(), "1sin(264x * 1)");
    Note(3, 7, "A1");
    Note(3, 8, "Z8");
    Note(3, 10, "A1>");
    Form1->pc->SetActivePageIndex(1);
    uitest::Click(Form1->Button11);
    EXPECT_EQ(Form1->Edit7->Text(), "sin(264x * 1)+1sin(264x * 1)+sin(264x * 2)");
    EXPECT_EQ(messages.Count(), 0);

    // No column of that time: f to l are emptied all the same.
    Form1->Edit28->SetText("2,50");
    Form1->pc->SetActivePageIndex(1);
    uitest::Click(Form1->Button11);
    for (int i = 0; i < 7; ++i) EXPECT_EQ(Form1->FunctionEdits[size_t(i)]->Text(), "") << i;
}

}  // namespace
}  // namespace soundtest
