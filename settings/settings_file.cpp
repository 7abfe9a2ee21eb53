#include "settings/settings_file.h"

#include <cerrno>
#include <fstream>
#include <system_error>

#include "platform/text/cp1252.h"
#include "plotter/drawing_state.h"
#include "settings/settings_kinds.h"
#include "settings/settings_table.h"

namespace fs = std::filesystem;

namespace {

// Puts LoadingFlag back to its value of before a load, also when reading the file fails:
// the change handlers stay muted only as long as they were before.
class LoadingFlagScope {
public:
    LoadingFlagScope() : saved_(LoadingFlag) { LoadingFlag = true; }
    ~LoadingFlagScope() { LoadingFlag = saved_; }
    LoadingFlagScope(const LoadingFlagScope&) = delete;
    LoadingFlagScope& operator=(const LoadingFlagScope&) = delete;

private:
    bool saved_;
};

// Applies the lines to every row, or the row's default where a line is missing or cannot
// be applied.
void ApplySettingsLines(const std::vector<std::string>& lines) {
    for (int i = 1; i <= SettingsTable.Count; ++i) {
        const TSettingEntry& row = SettingsTable.Row(i);
        const size_t valueLine = size_t(3 * i - 2);
        try {
            if (lines.size() > valueLine && !HoldsForeignControlCharacter(lines[valueLine]))
                ApplySettingLine(lines[valueLine], row);
            else
                ApplySettingDefault(row);
        } catch (...) {
            try {
                ApplySettingDefault(row);
            } catch (...) {
                // A row whose default cannot be applied either keeps its value.
            }
        }
    }
}

}  // namespace

std::string SettingsFileText(int mode) {
    BuildSettingsTable(mode);
    std::string text;
    for (int i = 1; i <= SettingsTable.Count; ++i) {
        const TSettingEntry& row = SettingsTable.Row(i);
        text += "[ " + row.Caption + " ]\r\n";
        text += OneLineValue(SettingLineText(row));
        text += "\r\n\r\n";
    }
    return text;
}

std::string OneLineValue(std::string_view value) {
    std::string line;
    line.reserve(value.size());
    for (size_t i = 0; i < value.size(); ++i) {
        const char c = value[i];
        if (c == '\r' && i + 1 < value.size() && value[i + 1] == '\n') continue;  // CR LF: one space
        line += IsForeignControlCharacter(c) ? ' ' : c;
    }
    return line;
}

bool IsForeignControlCharacter(char c) {
    const auto byte = static_cast<unsigned char>(c);
    return (byte < 0x20 && c != '\t') || byte == 0x7F;
}

bool HoldsForeignControlCharacter(std::string_view text) {
    for (char c : text)
        if (IsForeignControlCharacter(c)) return true;
    return false;
}

void SaveSettings(const fs::path& fileName, int mode) {
    const std::string text = SettingsFileText(mode);
    std::error_code code;
    fs::current_path(StartDirectory, code);
    if (code) throw FileError("Impossible d'acc\xE9" "der au dossier", StartDirectory, code.value());
    ReplaceFileContents(fileName.is_relative() ? StartDirectory / fileName : fileName, text);
}

std::vector<std::string> SplitSettingsLines(const std::string& text) {
    // Lines end with CR LF, LF or CR; a last line without an end still counts.
    std::vector<std::string> lines;
    std::string line;
    for (size_t i = 0; i < text.size(); ++i) {
        const char c = text[i];
        if (c == '\r' || c == '\n') {
            lines.push_back(std::move(line));
            line.clear();
            if (c == '\r' && i + 1 < text.size() && text[i + 1] == '\n') ++i;
        } else {
            line += c;
        }
    }
    if (!line.empty()) lines.push_back(std::move(line));
    return lines;
}

std::string ReadFileText(const fs::path& fileName) {
    std::error_code code;
    if (!fs::exists(fileName, code)) return {};
    errno = 0;
    std::ifstream in(fileName, std::ios::binary);
    if (!in) throw FileError("Impossible de lire le fichier", fileName, errno);
    std::string content;
    char buffer[65536];
    while (in.read(buffer, sizeof buffer) || in.gcount() > 0) content.append(buffer, size_t(in.gcount()));
    if (in.bad()) throw FileError("Impossible de lire le fichier", fileName, errno);
    return content;
}

std::vector<std::string> ReadFileLines(const fs::path& fileName) { return SplitSettingsLines(ReadFileText(fileName)); }

void LoadSettings(const fs::path& fileName, int mode) {
    LoadingFlagScope loading;
    BuildSettingsTable(mode);
    ApplySettingsLines(ReadFileLines(fileName));
}

void ApplySettingsDefaults(int mode) {
    LoadingFlagScope loading;
    BuildSettingsTable(mode);
    ApplySettingsLines({});
}
