#pragma once
// Whether a file opened with "Ouvrir" is a curve file of this program (or of the other
// one): a text of rows of three lines, each row's caption in brackets, the captions of
// the rows the table knows as the table writes them, the third line of each row empty, and
// no control character that the writer never puts into a file. A file cut at the end of a
// line (even inside the last caption) is still one; an empty file is not.
#include <cstdint>
#include <filesystem>
#include <string>
#include <string_view>

// The largest curve file: far above any the program writes, even with a full melody.
inline constexpr std::uintmax_t MaxCurveFileSize = 16u * 1024u * 1024u;

// Needs the settings table's rows (every window of the program). Raises EInOutError when
// the file exists but cannot be read.
bool IsCurveFile(const std::filesystem::path& fileName);
bool IsCurveFileText(std::string_view text);

// The one message shown when a chosen file is not a curve file.
std::string NotACurveFileMessage(const std::filesystem::path& fileName);
