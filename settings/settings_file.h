#pragma once
// The settings file: the state file "Quimbel.ini", the curve files (.fct) and the undo
// snapshots. For each row of the table, in row order, three lines ended by CR LF: the
// caption in brackets ("[ Fonction f ]"), the value text and an empty line. The file is
// read back purely by position: line 3i - 2 (from 0) is the value of row i.
//
// A value is one line: the writer turns every line break (and every other control
// character but the tab) of a value into a space, so that no value can shift the rows
// after it; the reader gives a row whose line holds such characters its default.
#include <filesystem>
#include <string>
#include <string_view>
#include <vector>

#include "settings/file_replacement.h"

// The name of the state file, in the start directory, read and written by both programs.
inline constexpr const char* StateFileName = "Quimbel.ini";

// The whole file text of the current state (mode as for BuildSettingsTable).
std::string SettingsFileText(int mode);

// Writes the current state to the file (mode as for BuildSettingsTable). A relative name
// is taken in StartDirectory, which becomes the current directory first. The text goes to
// a temporary file of the same folder, readable by its owner only, renamed over the old
// file: a failed save leaves the previous file as it was. Raises on any failure.
void SaveSettings(const std::filesystem::path& fileName, int mode);

// Applies the file to every row, or the row's default where the file is missing, too
// short, or the line cannot be applied; never reports a bad or missing value. A relative
// name is taken against the current directory. LoadingFlag is set while the rows are
// applied and then given back its value of before the load. Raises only when an existing
// file cannot be read, before any row is applied.
void LoadSettings(const std::filesystem::path& fileName, int mode);

// Gives every row its default, as loading a missing file does ("Nouveau").
void ApplySettingsDefaults(int mode);

// The value text as one line of a settings file: CR LF, CR and LF each become one space,
// and so does every other control character but the tab.
std::string OneLineValue(std::string_view value);
// A control character that no value line written by the program holds: anything below a
// space but the tab, and DEL.
bool IsForeignControlCharacter(char c);
bool HoldsForeignControlCharacter(std::string_view text);

// The lines of a settings text, separated by CR LF, LF or CR; a last line without an
// end still counts.
std::vector<std::string> SplitSettingsLines(const std::string& text);

// The lines of a text file (split as SplitSettingsLines does); a file that does not exist
// gives no lines. Raises when an existing file cannot be read.
std::vector<std::string> ReadFileLines(const std::filesystem::path& fileName);

// The whole content of a file; raises when it cannot be read. A file that does not exist
// gives nothing.
std::string ReadFileText(const std::filesystem::path& fileName);
