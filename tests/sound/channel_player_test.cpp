// "Jouer" of the first page: the redrawn sums compiled into slots 8 and 7, the sound played
// byte for byte, the fallback file and message when the card cannot play, and an
// undefined sample ending with the general error message.
#include <filesystem>

#include "engine/program_variant.h"
#include "plotter/main_form.h"
#include "sound/channel_player.h"
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
};

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

TEST_F(ChannelPlayerTest, AnUndefinedSampleEndsWithTheGeneralErrorAndNothingPlayedOrWritten) {
    Form1->Edit1->SetText("ln(x-100000)");
    Form1->Edit21->SetText("0,1");
    Play();
    ASSERT_EQ(messages.Count(), 1);
    EXPECT_EQ(messages.Last().Text, "Op\xE9ration en virgule flottante incorrecte");
    EXPECT_FALSE(device->CaptureFileExists());
    EXPECT_FALSE(SoundFileExists());
    EXPECT_EQ(cursor.Current(), crDefault);  // the hourglass does not outlive the error
}

TEST_F(ChannelPlayerTest, NoShownFunctionLeavesBothChannelsUnreadable) {
    Form1->Edit21->SetText("0,1");
    Play();
    EXPECT_EQ(Form1->Edit9->Text(), "");
    EXPECT_EQ(messages.Count(), 1);  // every sample but the first is undefined
    EXPECT_FALSE(device->CaptureFileExists());
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
