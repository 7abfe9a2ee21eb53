#include "platform/sound/wave_playback.h"

#include <alsa/asoundlib.h>

#include <cerrno>
#include <cstring>
#include <mutex>

namespace {

std::uint16_t Read16(const std::uint8_t* p) { return std::uint16_t(p[0] | (p[1] << 8)); }
std::uint32_t Read32(const std::uint8_t* p) {
    return std::uint32_t(p[0]) | (std::uint32_t(p[1]) << 8) | (std::uint32_t(p[2]) << 16) |
           (std::uint32_t(p[3]) << 24);
}
bool IsTag(const std::uint8_t* p, const char* tag) { return std::memcmp(p, tag, 4) == 0; }

bool PlayableFormat(const TWaveFormat& f) {
    if (f.FormatTag != 1) return false;
    if (f.Channels == 0 || f.Channels > 8) return false;
    if (f.SamplesPerSec == 0) return false;
    if (f.BitsPerSample != 8 && f.BitsPerSample != 16) return false;
    return f.BlockAlign == f.Channels * f.BitsPerSample / 8;
}

// The sound library prints its errors on stderr; the program reports a failure its own way.
void SilentErrorHandler(const char*, int, const char*, int, const char*, ...) {}

void SilenceLibraryMessages() {
    static std::once_flag once;
    std::call_once(once, [] { snd_lib_error_set_handler(SilentErrorHandler); });
}

// Writes every frame, recovering from an underrun; false when the device fails or takes
// nothing for a whole second.
bool WriteFrames(snd_pcm_t* pcm, const std::uint8_t* data, snd_pcm_uframes_t frames, std::size_t frameBytes) {
    while (frames > 0) {
        const snd_pcm_sframes_t written = snd_pcm_writei(pcm, data, frames);
        if (written == 0 || written == -EAGAIN) {
            const int ready = snd_pcm_wait(pcm, 1000);
            if (ready == 0) return false;
            if (ready < 0 && snd_pcm_recover(pcm, ready, 1) < 0) return false;
            continue;
        }
        if (written < 0) {
            if (snd_pcm_recover(pcm, int(written), 1) < 0) return false;
            continue;
        }
        data += std::size_t(written) * frameBytes;
        frames -= snd_pcm_uframes_t(written);
    }
    return true;
}

bool Play(const std::uint8_t* data, const TWaveLayout& layout) {
    snd_pcm_t* pcm = nullptr;
    // Opened without blocking, so that a device held by another program fails at once
    // instead of waiting; the writes below then block until the device takes the frames.
    if (snd_pcm_open(&pcm, "default", SND_PCM_STREAM_PLAYBACK, SND_PCM_NONBLOCK) < 0) return false;
    const TWaveFormat& f = layout.Format;
    const snd_pcm_format_t format = f.BitsPerSample == 8 ? SND_PCM_FORMAT_U8 : SND_PCM_FORMAT_S16_LE;
    bool ok = snd_pcm_nonblock(pcm, 0) == 0 &&
              snd_pcm_set_params(pcm, format, SND_PCM_ACCESS_RW_INTERLEAVED, f.Channels, f.SamplesPerSec,
                                 1, 200000) == 0;
    if (ok) ok = WriteFrames(pcm, data + layout.DataOffset, layout.DataSize / f.BlockAlign, f.BlockAlign);
    if (ok) ok = snd_pcm_drain(pcm) == 0;
    snd_pcm_close(pcm);
    return ok;
}

}  // namespace

bool ReadWaveLayout(std::span<const std::uint8_t> image, TWaveLayout& layout) {
    const std::uint8_t* p = image.data();
    const std::size_t size = image.size();
    if (size < 12 || !IsTag(p, "RIFF") || !IsTag(p + 8, "WAVE")) return false;
    bool haveFormat = false;
    std::size_t at = 12;
    while (size - at >= 8) {
        const std::uint8_t* chunk = p + at;
        const std::size_t declared = Read32(chunk + 4);
        const std::size_t body = at + 8;
        const std::size_t available = size - body;
        if (IsTag(chunk, "fmt ")) {
            if (declared < 16 || available < 16) return false;
            layout.Format.FormatTag = Read16(chunk + 8);
            layout.Format.Channels = Read16(chunk + 10);
            layout.Format.SamplesPerSec = Read32(chunk + 12);
            layout.Format.BlockAlign = Read16(chunk + 20);
            layout.Format.BitsPerSample = Read16(chunk + 22);
            if (!PlayableFormat(layout.Format)) return false;
            haveFormat = true;
        } else if (IsTag(chunk, "data")) {
            if (!haveFormat) return false;
            layout.DataOffset = body;
            layout.DataSize = declared < available ? declared : available;
            return true;
        }
        if (declared >= available) return false;
        at = body + declared + (declared & 1);  // chunks are padded to an even size
    }
    return false;
}

bool PlayWaveImage(std::span<const std::uint8_t> image) {
    TWaveLayout layout;
    if (!ReadWaveLayout(image, layout)) return false;
    SilenceLibraryMessages();
    const bool played = Play(image.data(), layout);
    // The library keeps its configuration once read; forgetting it lets the next playback
    // follow a configuration that changed in between (another default device).
    snd_config_update_free_global();
    return played;
}
