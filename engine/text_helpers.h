#pragma once
// Small helpers on Windows-1252 texts and folder paths.
#include <string>
#include <string_view>

// Whether the byte is one of the ASCII digits "0".."9".
inline constexpr bool IsDigit(char c) { return c >= '0' && c <= '9'; }

// Upper case without accents, byte for byte (same length): accented letters of Windows-1252
// and of the OEM code page 850 become their base letter, then "a".."z" become "A".."Z".
// Used to find keywords such as "HAS" or "INF" in user texts.
std::string FoldAccentsUpper(std::string_view text);

// The path followed by the folder separator, "/" on this platform, unless it already ends
// with one; an empty path stays empty.
std::string AddTrailingBackslash(std::string_view path);
