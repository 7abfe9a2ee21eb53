#include "settings/curve_file_check.h"

#include <system_error>
#include <vector>

#include "platform/text/cp1252.h"
#include "settings/settings_file.h"
#include "settings/settings_table.h"

namespace fs = std::filesystem;

namespace {

bool IsCaptionLine(const std::string& line, int row, bool lastLine) {
    if (row <= SettingsTable.Count) {
        const std::string expected = "[ " + SettingsTable.Row(row).Caption + " ]";
        if (line == expected) return true;
        // A file cut inside its last caption.
        return lastLine && !line.empty() && std::string_view(expected).starts_with(line);
    }
    // Rows beyond the table: the other program's, or a later one's.
    return lastLine ? line.starts_with("[") : (line.starts_with("[ ") && line.ends_with(" ]"));
}

}  // namespace

bool IsCurveFileText(std::string_view text) {
    for (char c : text)
        if (c != '\r' && c != '\n' && IsForeignControlCharacter(c)) return false;
    const std::vector<std::string> lines = SplitSettingsLines(std::string(text));
    // At least one whole row (its caption and its value), at most a full table.
    if (lines.size() < 2 || lines.size() > size_t(3 * SettingsCapacity)) return false;
    BuildSettingsTable(1);
    for (size_t i = 0; i < lines.size(); ++i) {
        const bool last = i + 1 == lines.size();
        if (i % 3 == 0 && !IsCaptionLine(lines[i], int(i / 3) + 1, last)) return false;
        if (i % 3 == 2 && !lines[i].empty()) return false;
    }
    return true;
}

bool IsCurveFile(const fs::path& fileName) {
    std::error_code code;
    if (!fs::is_regular_file(fileName, code)) return false;
    const std::uintmax_t size = fs::file_size(fileName, code);
    if (code || size > MaxCurveFileSize) return false;
    return IsCurveFileText(ReadFileText(fileName));
}

std::string NotACurveFileMessage(const fs::path& fileName) {
    return "Le fichier \"" + text::PathText(fileName.filename()) +
           "\" n'est pas un fichier de fonctions : il n'a pas \xE9t\xE9 ouvert et rien n'a chang\xE9.";
}
