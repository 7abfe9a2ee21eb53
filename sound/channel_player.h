#pragma once
// "Jouer" of the first page: the two channel functions played for the duration "Dur\xE9e".

// The handler of "Jouer" (Button5, Ctrl+A): redraws (which rebuilds the channel sums),
// compiles them into slots 8 and 7, synthesises the sound and plays it; when the card
// cannot play it, tells the user and writes it to "Son.wav" in the start directory. An
// empty channel plays silence. Refused, with a message and before anything is built: a
// phase step that cannot be read while the right channel is shifted, and a duration
// beyond one hour.
void PlayChannels();
