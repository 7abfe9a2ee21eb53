#pragma once
// The Windows-1252 code page: the system's texts are single-byte strings in it.
// Conversion to and from UTF-8 happens only where a text meets the GUI library.
#include <filesystem>
#include <string>
#include <string_view>

namespace text {

// The Unicode scalar of one byte. Every byte maps: the five bytes the code page leaves
// unassigned (0x81, 0x8D, 0x8F, 0x90, 0x9D) map to the C1 control of the same value,
// so that they survive a round trip.
char32_t Cp1252ToUnicode(unsigned char byte);

// The byte of a Unicode scalar, or -1 when the code page has none.
int UnicodeToCp1252(char32_t code);

// Whole texts. Characters without a byte become '?'; malformed UTF-8 sequences become '?'.
std::string Cp1252ToUtf8(std::string_view bytes);
std::string Utf8ToCp1252(std::string_view utf8);

// A path as a text of the program, for messages.
std::string PathText(const std::filesystem::path& path);

}  // namespace text
