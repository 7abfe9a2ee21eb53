#include "sound/sound_output.h"

#include <cstdio>
#include <filesystem>
#include <span>
#include <system_error>

#include "engine/rounding.h"
#include "platform/sound/wave_playback.h"
#include "platform/text/cp1252.h"
#include "platform/ui/screen.h"
#include "plotter/drawing_state.h"

const char* const PlaybackFailedMessage =
    "Volume important : se repporter le fichier <son.wav> pour une \xE9" "coute ext\xE9" "rieure";
const char* const SoundFileName = "Son.wav";

const char* SoundTooLongError::what() const noexcept {
    return "Dur\xE9" "e trop longue : un son dure au plus une heure (3600 s)";
}

const char* SoundMemoryError::what() const noexcept {
    return "M\xE9" "moire insuffisante pour construire le son";
}

std::int64_t CheckedSoundMilliseconds(long double milliseconds) {
    // Compared before rounding too, so that no size can fault the conversion.
    if (!(milliseconds < LongestSoundMilliseconds + 1)) throw SoundTooLongError();
    if (milliseconds <= 0) return 0;
    const std::int64_t rounded = RoundToInt64(milliseconds);
    if (rounded > LongestSoundMilliseconds) throw SoundTooLongError();
    return rounded;
}

namespace {

}  // namespace

bool PlaySoundImage(const WavImage& image) { return PlayWaveImage(std::span<const std::uint8_t>(image)); }

void WriteSoundFile(const WavImage& image) {
    const std::filesystem::path file = StartDirectory / SoundFileName;
    std::filesystem::path temporary = file;
    temporary += ".tmp";
    std::FILE* out = std::fopen(temporary.c_str(), "wb");
    if (!out) throw SoundFileError("Impossible de cr\xE9" "er le fichier " + text::PathText(file));
    const bool written = std::fwrite(image.data(), 1, image.size(), out) == image.size();
    const bool closed = std::fclose(out) == 0;
    std::error_code renamed;
    if (written && closed) std::filesystem::rename(temporary, file, renamed);
    if (!written || !closed || renamed) {
        std::error_code ignored;
        std::filesystem::remove(temporary, ignored);
        throw SoundFileError("Erreur d'\xE9" "criture du fichier " + text::PathText(file));
    }
}

SoundHourglass::SoundHourglass() { Screen->SetCursor(crHourGlass); }

SoundHourglass::~SoundHourglass() {
    try {
        Screen->SetCursor(crDefault);
    } catch (...) {
        // A cursor that cannot be put back is no reason to lose the sound's outcome.
    }
}
