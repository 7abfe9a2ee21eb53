#pragma once
// The settings tests: the whole program in a temporary start directory, with helpers to
// read and write the files it keeps there.
#include <filesystem>
#include <string>
#include <vector>

#include "dialogs/areas_form.h"
#include "dialogs/derivatives_form.h"
#include "dialogs/domains_form.h"
#include "dialogs/ftp_form.h"
#include "dialogs/labels_form.h"
#include "plotter/movable_labels.h"
#include "dialogs/sequences_form.h"
#include "dialogs/vertical_lines_form.h"
#include "plotter/drawing_state.h"
#include "plotter/main_form.h"
#include "application/startup.h"
#include "settings/settings_file.h"
#include "settings/settings_table.h"
#include "settings/undo_ring.h"
#include "tests/plotter/program_harness.h"
#include "variants/quimbel_program.h"

namespace settingstest {

namespace fs = std::filesystem;

class SettingsTest : public plottest::ProgramTest {
protected:
    // The program shown and activated for the first time (state file, first snapshot).
    void Start(const ProgramDescription& program) {
        StartProgram(program, false);
        ShowMainWindow();
    }
    // Ends the running program's windows without closing them (no save) and starts the
    // program again in the same start directory.
    void Restart(const ProgramDescription& program) {
        FormsReady = false;
        Application->DestroyForms();
        ForgetProgramWindows();
        Start(program);
    }
    fs::path Dir() const { return startDirectory->Path(); }
    fs::path StateFile() const { return Dir() / StateFileName; }

    static std::string ReadAll(const fs::path& file);
    static void WriteAll(const fs::path& file, const std::string& text);
    // The value line of row `row` (from 1) in the file's lines.
    static std::string ValueOf(const std::vector<std::string>& lines, int row) {
        return lines.at(size_t(3 * row - 2));
    }
};

}  // namespace settingstest
