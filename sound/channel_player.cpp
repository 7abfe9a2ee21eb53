#include "sound/channel_player.h"

#include <new>
#include <string>

#include "engine/expression_compiler.h"
#include "engine/number_conversion.h"
#include "platform/ui/dialogs.h"
#include "plotter/main_form.h"
#include "plotter/redraw_pipeline.h"
#include "sound/channel_sums.h"
#include "sound/channel_synthesis.h"
#include "sound/sound_output.h"

namespace {

// An empty channel is silent: it is compiled as 0 (an empty text would mark its edit as
// unreadable).
void PrepareChannel(const std::string& text, int slot) { PrepareFunction(text.empty() ? "0" : text, slot); }

}  // namespace

void PlayChannels() {
    RedrawGraph(Form1->im->Bitmap());
    // The redraw keeps the previous channel texts when the phase step cannot be read; the
    // sound is refused with the conversion's message.
    if (ChannelsArePhaseShifted()) ReadPhaseStep();
    PrepareChannel(Form1->Edit9->Text(), LeftChannelSlot);
    PrepareChannel(Form1->Edit8->Text(), RightChannelSlot);
    Form1->im->Repaint();

    const std::int64_t milliseconds =
        CheckedSoundMilliseconds((long double)ParseFloatOrZero(Form1->Edit21->Text()) * 1000);
    const std::int64_t frames = ChannelFrameCount(milliseconds);
    const double a = ParseFloatOrZero(Form1->Edit15->Text());
    const double b = ParseFloatOrZero(Form1->Edit16->Text());

    const SoundHourglass hourglass;
    WavImage image;
    try {
        image = SynthesiseChannels(frames, a, b);
    } catch (const std::bad_alloc&) {
        throw SoundMemoryError();
    }
    if (!PlaySoundImage(image)) {
        ShowMessage(PlaybackFailedMessage);
        WriteSoundFile(image);
    }
}
