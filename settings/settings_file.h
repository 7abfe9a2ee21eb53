#pragma once
// The settings file: the state file "Quimbel.ini", the curve files (.fct) and the undo
// snapshots. For each row of the table, in row order, three lines ended by CR LF: the
// caption in brackets ("[ Fonction f ]"), the value text and an empty line. The file is
// read back purely by position: line 3i - 2 (from 0) is the value of row i.
#include <filesystem>
#include <stdexcept>
#include <string>
#include <vector>

// A settings file, curve file or snapshot that cannot be read or written, or a start
// directory that cannot be entered.
class EInOutError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

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

// The lines of a settings text, separated by CR LF, LF or CR; a last line without an
// end still counts.
std::vector<std::string> SplitSettingsLines(const std::string& text);

// The lines of a text file (split as SplitSettingsLines does); a file that does not exist
// gives no lines. Raises when an existing file cannot be read.
std::vector<std::string> ReadFileLines(const std::filesystem::path& fileName);

// Replaces the file with the text through a temporary file of the same folder, created
// readable and writable by its owner only, then renamed over the file.
void ReplaceFileContents(const std::filesystem::path& fileName, const std::string& text);
// The temporary file that ReplaceFileContents writes before the rename.
std::filesystem::path TemporaryFileFor(const std::filesystem::path& fileName);
