#include "settings/settings_file.h"

#include <cerrno>
#include <fstream>
#include <system_error>

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

EInOutError FileError(const char* what, const fs::path& file) {
    return EInOutError(std::string(what) + " \"" + file.string() + "\"");
}

}  // namespace

std::string SettingsFileText(int mode) {
    BuildSettingsTable(mode);
    std::string text;
    for (int i = 1; i <= SettingsTable.Count; ++i) {
        const TSettingEntry& row = SettingsTable.Row(i);
        text += "[ " + row.Caption + " ]\r\n";
        text += SettingLineText(row);
        text += "\r\n\r\n";
    }
    return text;
}

fs::path TemporaryFileFor(const fs::path& fileName) {
    fs::path temporary = fileName;
    temporary += ".tmp";
    return temporary;
}

void ReplaceFileContents(const fs::path& fileName, const std::string& text) {
    const fs::path temporary = TemporaryFileFor(fileName);
    std::error_code ignored;
    fs::remove(temporary, ignored);
    {
        std::ofstream out(temporary, std::ios::binary | std::ios::trunc);
        if (!out) throw FileError("Impossible de cr\xE9" "er le fichier", temporary);
        // Owner-only before any byte is written: the file holds the FTP password.
        std::error_code code;
        fs::permissions(temporary, fs::perms::owner_read | fs::perms::owner_write, fs::perm_options::replace, code);
        if (code) {
            out.close();
            fs::remove(temporary, ignored);
            throw FileError("Impossible de prot\xE9ger le fichier", temporary);
        }
        out.write(text.data(), std::streamsize(text.size()));
        out.flush();
        if (!out) {
            out.close();
            fs::remove(temporary, ignored);
            throw FileError("Impossible d'\xE9" "crire le fichier", temporary);
        }
    }
    std::error_code code;
    fs::rename(temporary, fileName, code);
    if (code) {
        fs::remove(temporary, ignored);
        throw FileError("Impossible de remplacer le fichier", fileName);
    }
}

void SaveSettings(const fs::path& fileName, int mode) {
    const std::string text = SettingsFileText(mode);
    std::error_code code;
    fs::current_path(StartDirectory, code);
    if (code) throw FileError("Impossible d'acc\xE9" "der au dossier", StartDirectory);
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

std::vector<std::string> ReadFileLines(const fs::path& fileName) {
    std::vector<std::string> lines;
    std::error_code code;
    if (!fs::exists(fileName, code)) return lines;
    std::ifstream in(fileName, std::ios::binary);
    if (!in) throw FileError("Impossible de lire le fichier", fileName);
    std::string content;
    char buffer[65536];
    while (in.read(buffer, sizeof buffer) || in.gcount() > 0) content.append(buffer, size_t(in.gcount()));
    if (in.bad()) throw FileError("Impossible de lire le fichier", fileName);
    return SplitSettingsLines(content);
}

void LoadSettings(const fs::path& fileName, int mode) {
    LoadingFlagScope loading;
    BuildSettingsTable(mode);
    const std::vector<std::string> lines = ReadFileLines(fileName);
    for (int i = 1; i <= SettingsTable.Count; ++i) {
        const TSettingEntry& row = SettingsTable.Row(i);
        const size_t valueLine = size_t(3 * i - 2);
        try {
            if (lines.size() > valueLine)
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
