#pragma once
// What both players do with a finished WAV image: play it through the sound card, write it
// to "Son.wav" in the start directory, tell the user when the card could not play it; and
// the hourglass shown while a sound is built.
#include <cstdint>
#include <exception>
#include <string>

#include "sound/wav_image.h"

// The message shown when the sound card cannot play a sound.
extern const char* const PlaybackFailedMessage;
// The file that receives the sounds, in the start directory.
extern const char* const SoundFileName;

// A sound file that cannot be written: "Impossible de cr\xE9er le fichier <path>".
class SoundFileError : public std::exception {
public:
    explicit SoundFileError(std::string message) : message_(std::move(message)) {}
    const char* what() const noexcept override { return message_.c_str(); }

private:
    std::string message_;
};

// The longest sound either player builds: one hour, about 635 MB of image. Its length is
// checked before anything is allocated or written.
inline constexpr std::int64_t LongestSoundMilliseconds = 3'600'000;

// A sound longer than LongestSoundMilliseconds: the message names the limit.
class SoundTooLongError : public std::exception {
public:
    const char* what() const noexcept override;
};

// The memory for a sound's image could not be had (instead of the library's own text).
class SoundMemoryError : public std::exception {
public:
    const char* what() const noexcept override;
};

// A length in milliseconds, as typed or computed, rounded to whole milliseconds (ties to
// even); a negative one gives 0. Raises SoundTooLongError beyond LongestSoundMilliseconds,
// whatever its size.
std::int64_t CheckedSoundMilliseconds(long double milliseconds);

// Plays the image and returns when the sound has ended; false when it cannot be played.
bool PlaySoundImage(const WavImage& image);

// Writes the image to "Son.wav" in the start directory, replacing an older one only once
// the new one is complete. Raises SoundFileError.
void WriteSoundFile(const WavImage& image);

// The hourglass cursor for the life of the object; the default cursor afterwards, also
// when building the sound fails.
class SoundHourglass {
public:
    SoundHourglass();
    ~SoundHourglass();
    SoundHourglass(const SoundHourglass&) = delete;
    SoundHourglass& operator=(const SoundHourglass&) = delete;
};
