// "Jouer" of the first page: the redrawn sums compiled into slots 8 and 7, the sound played
// byte for byte, the fallback file and message when the card cannot play, undefined points
// and empty channels as silence, a phase step that cannot be read, and the longest sound.
#include <cmath>
#include <filesystem>
#include <numbers>

#include "engine/expression_evaluator.h"
#include "engine/expression_tables.h"
#include "engine/program_variant.h"
#include "engine/rounding.h"
#include "plotter/drawing_state.h"
#include "plotter/main_form.h"
#include "sound/channel_player.h"
#include "sound/channel_synthesis.h"
#include "sound/sound_output.h"
#include "tests/sound/sound_test_support.h"

namespace soundtest {
namespace {

class ChannelPlayerTest : public SoundProgramTest {
protected:
    void SetUp() override {
        SoundProgramTest::SetUp();
        StartVartelo();
        cursor.Clear();
    }
    void Play() { uitest::Click(Form1->Button5); }
    // Whether every sample of a channel of the capture is 0.
    static bool Silent(const Bytes& captured, int channel) {
        for (std::int64_t k = 0; k < std::int64_t(captured.size() / 4); ++k)
            if (SampleAt(captured, k, channel, 0) != 0) return false;
        return true;
    }
    void ExpectNothingPlayedOrWritten() {
        EXPECT_FALSE(device->CaptureFileExists());
        EXPECT_FALSE(SoundFileExists());
        EXPECT_EQ(cursor.Current(), crDefault);
    }
};

constexpr std::int64_t Silence = 4410;

TEST_F(ChannelPlayerTest, PlaysTheTwoChannelsAndWritesNoFile) {
    Form1->Edit1->SetText("sin(440x)");
    Form1->Edit2->SetText("a");
    Form1->Edit15->SetText("0,25");
    Form1->Edit21->SetText("0,1");
    Play();
    EXPECT_EQ(messages.Count(), 0);
    EXPECT_FALSE(SoundFileExists());
    EXPECT_EQ(Form1->Edit9->Text(), "sin(440x)+(a)");
    EXPECT_EQ(Form1->Edit8->Text(), "sin(440(x+0,003))+(a)");

    // The slots still hold the channels just played: the same image, played byte for byte.
    const Bytes expected = SynthesiseChannels(ChannelFrameCount(100), 0.25, 0);
    const Bytes captured = device->Captured();
    ASSERT_EQ(captured.size(), (4410u * 2 + 4410u) * 4);
    EXPECT_EQ(captured, DataOf(expected));
    // The right channel's x runs 0.003 ahead, 0.003 / 2 pi s: its frame k is the left
    // one's k + 21.06.
    int apart = 0;
    for (std::int64_t k = 4410 + 1400; k < 4410 + 3000; ++k) {
        EXPECT_NEAR(SampleAt(captured, k, 1, 0), SampleAt(captured, k + 21, 0, 0), 15) << k;
        if (std::abs(SampleAt(captured, k, 1, 0) - SampleAt(captured, k, 0, 0)) > 100) ++apart;
    }
    EXPECT_GT(apart, 1200);

    // The hourglass while the sound is built and played (the redraw before it may show
    // its own).
    const std::vector<TCursor>& cursors = cursor.History();
    ASSERT_GE(cursors.size(), 2u);
    EXPECT_EQ(std::vector<TCursor>(cursors.end() - 2, cursors.end()), (std::vector<TCursor>{crHourGlass, crDefault}));
}

TEST_F(ChannelPlayerTest, WithoutStereoBothChannelsCarryTheSameSamples) {
    Form1->Edit1->SetText("sin(440x)");
    Form1->Edit21->SetText("0,05");
    Form1->cst->SetChecked(false);
    Play();
    const Bytes captured = device->Captured();
    ASSERT_FALSE(captured.empty());
    for (std::int64_t k = 0; k < std::int64_t(captured.size() / 4); ++k)
        ASSERT_EQ(SampleAt(captured, k, 0, 0), SampleAt(captured, k, 1, 0)) << k;
}

TEST_F(ChannelPlayerTest, WhenTheCardCannotPlayTheUserIsToldAndSonWavHoldsTheSound) {
    device->UseMissingDevice();
    Form1->Edit1->SetText("sin(440x)");  // the default duration, 3 s
    Play();
    ASSERT_EQ(messages.Count(), 1);
    EXPECT_EQ(messages.Last().Text, PlaybackFailedMessage);
    EXPECT_EQ(std::string(PlaybackFailedMessage),
              "Volume important : se repporter le fichier <son.wav> pour une \xE9" "coute ext\xE9" "rieure");
    const Bytes file = SoundFile();
    ASSERT_EQ(file.size(), 46u + 564480u);
    EXPECT_EQ(Read32(file, 4), 564518u);
    EXPECT_EQ(file, SynthesiseChannels(132300, 0, 0));
    EXPECT_EQ(cursor.Current(), crDefault);

    // A second failure replaces the file.
    Form1->Edit21->SetText("0");
    Play();
    EXPECT_EQ(messages.Count(), 2);
    EXPECT_EQ(SoundFile().size(), 46u + 8820u * 4);
}

TEST_F(ChannelPlayerTest, AFunctionUndefinedSomewherePlaysSilenceThereAndItsExactSamplesElsewhere) {
    Form1->Edit1->SetText("ln(x-1)+sin(x)");  // undefined for x <= 1, the first 0.16 s
    Form1->Edit21->SetText("2");
    Play();
    EXPECT_EQ(messages.Count(), 0);
    const Bytes captured = device->Captured();
    ASSERT_EQ(captured.size(), (88200u + 2 * 4410u) * 4);

    // f's own slot holds the same text: the samples where it is defined are its values
    // times the amplitude, as they always were.
    const long double fade = 0.03L * 44100;
    int silent = 0, sounding = 0;
    for (std::int64_t k = 0; k < 88200; ++k) {
        const double x = double(kTwoPi * ((long double)k / 44100));
        const std::int16_t left = SampleAt(captured, Silence + k, 0, 0);
        const long double value = EvaluateFunction(0, x, 0, 0);
        if (x <= 1) {
            ASSERT_EQ(value, UndefinedValue) << k;
            ASSERT_EQ(left, 0) << k;
            ++silent;
            continue;
        }
        long double amplitude = 2000;
        if (k < 1323) amplitude = 2000 * (long double)k / fade;
        if (k >= 88200 - 1323) amplitude = 2000 * (88200 - (long double)k) / fade;
        ASSERT_EQ(left, std::int16_t(TruncToInt64(value * amplitude))) << k;
        if (left != 0) ++sounding;
        // And against the function itself, limited to the sound range.
        if (k >= 1323 && k < 88200 - 1323) {
            const long double model = std::clamp(std::log((long double)x - 1) + std::sin((long double)x), -8.19L, 8.19L);
            ASSERT_NEAR(left, std::trunc(2000 * model), 1) << k;
        }
    }
    EXPECT_EQ(silent, 7019);  // x = 2 pi k / 44100 <= 1 up to k = 7018
    EXPECT_GT(sounding, 80000);
    // The right channel is the shifted sum: silent up to x = 1 - 0.003.
    EXPECT_EQ(Form1->Edit8->Text(), "ln((x+0,003)-1)+sin((x+0,003))");
    EXPECT_EQ(SampleAt(captured, Silence + 6997, 1, 0), 0);
    EXPECT_NE(SampleAt(captured, Silence + 7000, 1, 0), 0);
}

TEST_F(ChannelPlayerTest, EmptyOrUndefinedChannelsPlaySilenceAndTheOtherChannelPlays) {
    // No function at all: a silent sound of the whole duration, no message.
    Form1->Edit21->SetText("0,1");
    Play();
    EXPECT_EQ(Form1->Edit9->Text(), "");
    EXPECT_EQ(messages.Count(), 0);
    Bytes captured = device->Captured();
    ASSERT_EQ(captured.size(), (4410u * 2 + 4410u) * 4);
    EXPECT_TRUE(Silent(captured, 0));
    EXPECT_TRUE(Silent(captured, 1));

    // f alone with "j(x)+k()+l(x)": f on the left, the empty j to l silent on the right.
    Form1->Edit1->SetText("sin(440x)");
    uitest::Click(Form1->rb2);
    device->UseCapturingDevice();
    Play();
    EXPECT_EQ(messages.Count(), 0);
    EXPECT_EQ(Form1->Edit9->Text(), "sin(440x)");
    EXPECT_EQ(Form1->Edit8->Text(), "");
    captured = device->Captured();
    ASSERT_EQ(captured.size(), (4410u * 2 + 4410u) * 4);
    EXPECT_FALSE(Silent(captured, 0));
    EXPECT_TRUE(Silent(captured, 1));
    EXPECT_EQ(SampleAt(captured, Silence + 2205, 0, 0), 0);
    EXPECT_EQ(SampleAt(captured, Silence + 2000, 0, 0), std::int16_t(std::trunc(2000 * std::sin(2 * std::numbers::pi * 440 * 2000 / 44100))));

    // A sum that meets an undefined operand at every point: that channel only is silent.
    Form1->Edit5->SetText("ln(0-x)");
    Form1->Edit6->SetText("1");
    device->UseCapturingDevice();
    Play();
    EXPECT_EQ(messages.Count(), 0);
    EXPECT_EQ(Form1->Edit8->Text(), "ln(0-x)+(1)");
    captured = device->Captured();
    EXPECT_FALSE(Silent(captured, 0));
    EXPECT_TRUE(Silent(captured, 1));
}

TEST_F(ChannelPlayerTest, APhaseStepThatCannotBeReadLeavesThePictureDrawnAndRefusesTheSound) {
    Form1->Edit1->SetText("sin(x)");
    Trace();
    EXPECT_EQ(Form1->Edit8->Text(), "sin((x+0,003))");
    TBitmap& picture = Form1->im->Bitmap();
    for (const char* step : {"x", "2.5"}) {
        Form1->Edit22->SetText(step);
        Form1->Edit2->SetText(std::string("cos(x)+") + (step[0] == 'x' ? "1" : "2"));  // typed afterwards
        Trace();
        // The picture is drawn, g included; the channels keep their texts.
        EXPECT_GT(plottest::CountIn(picture, FunctionColours[1], 0, 0, picture.Width() - 1, picture.Height() - 1), 20) << step;
        EXPECT_EQ(Form1->Edit9->Text(), "sin(x)") << step;
        EXPECT_EQ(Form1->Edit8->Text(), "sin((x+0,003))") << step;

        const int before = messages.Count();
        Play();
        ASSERT_EQ(messages.Count(), before + 1) << step;
        EXPECT_EQ(messages.Last().Text, "'" + std::string(step) + "' n'est pas une valeur en virgule flottante correcte");
        ExpectNothingPlayedOrWritten();
    }

    // Without the shifted channel the step is not needed: the sums follow and the sound plays.
    uitest::Click(Form1->rb2);
    Form1->Edit21->SetText("0,05");
    Play();
    EXPECT_EQ(Form1->Edit9->Text(), "sin(x)+(cos(x)+2)");
    EXPECT_EQ(Form1->Edit8->Text(), "");
    EXPECT_TRUE(device->CaptureFileExists());
    EXPECT_EQ(messages.Count(), 2);

    // Once the step reads again, the shifted channel follows the functions.
    uitest::Click(Form1->rb1);
    Form1->Edit22->SetText("2,5");
    Trace();
    EXPECT_EQ(Form1->Edit8->Text(), "sin((x+0,0025))+(cos((x+0,005))+2)");
}

TEST_F(ChannelPlayerTest, ASoundLongerThanAnHourIsRefusedWithTheLimitNamed) {
    Form1->Edit1->SetText("sin(440x)");
    // 30,000 s overflowed the header, 24,000 s ran towards 4 GB: refused before anything
    // is built.
    for (const char* duration : {"30000", "24000", "3600,001", "1E300", "99999999999999999999"}) {
        const int before = messages.Count();
        Form1->Edit21->SetText(duration);
        Play();
        ASSERT_EQ(messages.Count(), before + 1) << duration;
        ASSERT_EQ(messages.Last().Text, "Dur\xE9" "e trop longue : un son dure au plus une heure (3600 s)") << duration;
        EXPECT_FALSE(SoundFileExists());
        EXPECT_EQ(cursor.Current(), crDefault);
    }
}

TEST_F(ChannelPlayerTest, AnHourWithoutTheMemoryForItIsToldInFrench) {
    if (!LargeAllocationsCanBeRefused) GTEST_SKIP() << "the address sanitizer's allocation cannot be made to fail";
    Form1->Edit1->SetText("sin(440x)");
    Form1->Edit21->SetText("3600");  // accepted: 635 MB of image
    ASSERT_TRUE(RunShortOfMemory([this] { Play(); }));
    ASSERT_EQ(messages.Count(), 1);
    EXPECT_EQ(messages.Last().Text, "M\xE9" "moire insuffisante pour construire le son");
    EXPECT_FALSE(device->CaptureFileExists());
    EXPECT_FALSE(SoundFileExists());
}

TEST_F(ChannelPlayerTest, TheLongestSoundIsOneHourToTheMillisecond) {
    EXPECT_EQ(CheckedSoundMilliseconds(3600000), 3600000);
    EXPECT_EQ(CheckedSoundMilliseconds(3600000.4L), 3600000);
    EXPECT_EQ(CheckedSoundMilliseconds(3600000.5L), 3600000);  // ties to even
    EXPECT_THROW(CheckedSoundMilliseconds(3600000.6L), SoundTooLongError);
    EXPECT_THROW(CheckedSoundMilliseconds(3600001), SoundTooLongError);
    EXPECT_THROW(CheckedSoundMilliseconds(1E300L), SoundTooLongError);
    EXPECT_EQ(CheckedSoundMilliseconds(-250), 0);
    EXPECT_EQ(CheckedSoundMilliseconds(-1E300L), 0);
    EXPECT_EQ(CheckedSoundMilliseconds(2999.5L), 3000);
    EXPECT_EQ(ChannelFrameCount(3600000), 158760000);  // 635 MB of image with the silences
}

TEST_F(ChannelPlayerTest, AnUnwritableStartDirectoryReportsTheFile) {
    device->UseMissingDevice();
    Form1->Edit1->SetText("1");
    Form1->Edit21->SetText("0");
    std::filesystem::create_directory(startDirectory->Path() / "Son.wav");  // a folder in the way
    Play();
    ASSERT_EQ(messages.Count(), 2);
    EXPECT_EQ(messages.Shown()[0].Text, PlaybackFailedMessage);
    EXPECT_EQ(messages.Shown()[1].Text.rfind("Erreur d'\xE9" "criture du fichier ", 0), 0u) << messages.Shown()[1].Text;
    EXPECT_EQ(cursor.Current(), crDefault);
}

}  // namespace
}  // namespace soundtest
