// What a user's paste or a hostile file can do to the settings: line breaks pasted into a
// function, files that are not curve files opened with "Ouvrir", damaged state files and
// numbers out of their range.
#include <gtest/gtest.h>

#include <QClipboard>
#include <QGuiApplication>

#include <cstdint>

#include "settings/curve_file_check.h"
#include "sound/vartelo_program.h"
#include "tests/settings/settings_fixture.h"

namespace settingstest {
namespace {

using HostileFileTest = SettingsTest;

std::string Joined(const std::vector<std::string>& lines, const char* end = "\r\n") {
    std::string text;
    for (const std::string& line : lines) text += line + end;
    return text;
}

// Bytes that look like noise, the same in every run.
std::string Noise(size_t size, std::uint32_t seed) {
    std::string bytes(size, '\0');
    for (char& byte : bytes) {
        seed = seed * 1664525u + 1013904223u;
        byte = char(seed >> 24);
    }
    return bytes;
}

bool HoldsLineBreak(const std::string& text) { return text.find_first_of("\r\n") != std::string::npos; }

// Text with CR LF and LF pasted into f with Ctrl+V, and into a grid cell: the state file
// keeps one line per value, so every later row is read back into its own row.
TEST_F(HostileFileTest, PastedLineBreaksNeverShiftTheRowsOfTheStateFile) {
    Start(VarteloProgram());
    uitest::ReplaceText(Form1->Edit2, "x/2");
    uitest::ReplaceText(Form1->Edit11, "7");
    QGuiApplication::clipboard()->setText(QStringLiteral("sin(x)\r\ncos(x)\nq"));
    uitest::Focus(Form1->Edit1);
    uitest::PressKey(Form1->Edit1, 'V', TShiftState{ssCtrl});
    const std::string pasted = Form1->Edit1->Text();
    ASSERT_NE(pasted.find("sin(x)"), std::string::npos) << "the paste did not reach the edit";
    ASSERT_NE(pasted.find("cos(x)"), std::string::npos);
    Form1->ms->SetCell(1, 2, "do\r\nr\xE9");
    LabelTexts[3] = "un\ndeux";

    uitest::Close(Form1);
    ASSERT_EQ(messages.Count(), 0);
    const std::vector<std::string> lines = ReadFileLines(StateFile());
    ASSERT_EQ(lines.size(), 537u);
    for (int row = 1; row <= 179; ++row) {
        EXPECT_EQ(lines[size_t(3 * row - 3)].rfind("[ ", 0), 0u) << "caption of row " << row;
        EXPECT_EQ(lines[size_t(3 * row - 1)], "") << "end of row " << row;
    }
    EXPECT_EQ(ValueOf(lines, 1), "sin(x) cos(x) q");
    EXPECT_EQ(ValueOf(lines, 2), "x/2");
    EXPECT_EQ(ValueOf(lines, 11), "7");

    Restart(VarteloProgram());
    EXPECT_EQ(Form1->Edit1->Text(), "sin(x) cos(x) q");
    EXPECT_EQ(Form1->Edit2->Text(), "x/2");
    EXPECT_EQ(Form1->Edit11->Text(), "7");
    EXPECT_EQ(Form1->Edit12->Text(), "-5");
    EXPECT_EQ(Form1->ms->Cell(1, 2), "do r\xE9");
    EXPECT_EQ(LabelTexts[3], "un deux");
    EXPECT_EQ(Form1->Edit27->Text(), "264");
    // The undo snapshots are written the same way.
    for (const std::string& line : ReadFileLines(UndoSlotFile(UndoCurrent))) EXPECT_FALSE(HoldsLineBreak(line));
}

// An image, noise, a letter, another program's settings, an empty file, a curve file with
// a NUL in a value and one whose rows have shifted: each is refused with one message, and
// nothing of the current state changes (no load, no snapshot).
TEST_F(HostileFileTest, OuvrirRefusesWhatIsNotACurveFile) {
    Start(VarteloProgram());
    uitest::ReplaceText(Form1->Edit1, "x*x");
    uitest::PressKey(Form1->Edit1, VK_RETURN);
    SaveSettings("bonne.fct", 1);
    const std::vector<std::string> good = ReadFileLines(Dir() / "bonne.fct");

    std::vector<std::string> withNul = good;
    withNul[1] = std::string("sin(x)\0\0\x01", 9);
    std::vector<std::string> shifted = good;
    shifted.erase(shifted.begin() + 2);  // the empty line of row 1
    const struct {
        const char* name;
        std::string bytes;
    } refused[] = {
        {"image.fct", std::string("\x89PNG\r\n\x1A\n\0\0\0\rIHDR\0\0\x03\x20", 20) + Noise(600, 1)},
        {"bruit.fct", Noise(4096, 7)},
        {"lettre.fct", "Bonjour,\r\nvoici les courbes.\r\n\r\nA bient\xF4t\r\n"},
        {"autre.ini", "[General]\r\nlangue=fr\r\n\r\n[Fenetre]\r\nlargeur=800\r\n\r\n"},
        {"vide.fct", ""},
        {"nul.fct", Joined(withNul)},
        {"decale.fct", Joined(shifted)},
    };
    const std::string state = SettingsFileText(1);
    const std::int32_t current = UndoCurrent;
    int shown = 0;
    for (const auto& file : refused) {
        SCOPED_TRACE(file.name);
        WriteAll(Dir() / file.name, file.bytes);
        files.Pick(Dir() / file.name);
        uitest::ClickMenu(Form1->Ouvri1);
        ASSERT_EQ(messages.Count(), ++shown);
        EXPECT_EQ(messages.Last().Text, std::string("Le fichier \"") + file.name +
                                            "\" n'est pas un fichier de fonctions : il n'a pas \xE9t\xE9 ouvert et "
                                            "rien n'a chang\xE9.");
        EXPECT_EQ(messages.Last().Type, mtError);
        EXPECT_EQ(SettingsFileText(1), state);
        EXPECT_EQ(UndoCurrent, current);
        EXPECT_FALSE(LoadingFlag);
    }
    EXPECT_EQ(Form1->Edit1->Text(), "x*x");
}

// What is still a curve file: one of the other program, one with LF line ends, one cut
// inside a caption (the rows after the cut take their defaults).
TEST_F(HostileFileTest, OuvrirStillOpensEveryCurveFile) {
    Start(QuimbelProgram());
    uitest::ReplaceText(Form1->Edit1, "x+3");
    uitest::ReplaceText(Form1->Edit10, "-2");
    SaveSettings("quimbel.fct", 1);
    const std::vector<std::string> lines = ReadFileLines(Dir() / "quimbel.fct");
    WriteAll(Dir() / "lf.fct", Joined(lines, "\n"));
    std::string cut = Joined(std::vector<std::string>(lines.begin(), lines.begin() + 3 * 10));
    cut += "[ X f";
    WriteAll(Dir() / "coupe.fct", cut);
    Restart(VarteloProgram());

    for (const char* name : {"quimbel.fct", "lf.fct"}) {
        SCOPED_TRACE(name);
        uitest::ReplaceText(Form1->Edit1, "");
        files.Pick(Dir() / name);
        uitest::ClickMenu(Form1->Ouvri1);
        EXPECT_EQ(Form1->Edit1->Text(), "x+3");
        EXPECT_EQ(Form1->Edit10->Text(), "-2");
    }
    uitest::ReplaceText(Form1->Edit11, "9");
    files.Pick(Dir() / "coupe.fct");
    uitest::ClickMenu(Form1->Ouvri1);
    EXPECT_EQ(Form1->Edit10->Text(), "-2");
    EXPECT_EQ(Form1->Edit11->Text(), "5");
    EXPECT_EQ(messages.Count(), 0);
    EXPECT_TRUE(IsCurveFileText(cut));
}

// An empty, a truncated and a garbled state file: the program starts with the defaults
// and keeps every value that can still be read, without a message.
TEST_F(HostileFileTest, DamagedStateFilesStartWithDefaultsAndKeepWhatIsReadable) {
    Start(VarteloProgram());
    Form1->Edit1->SetText("sin(x)");
    Form1->Edit10->SetText("-3");
    Form1->quad->SetChecked(true);
    Form1->Edit27->SetText("440");
    SaveSettings(StateFileName, 1);
    const std::string full = ReadAll(StateFile());
    const std::vector<std::string> lines = ReadFileLines(StateFile());

    WriteAll(StateFile(), "");
    Restart(VarteloProgram());
    EXPECT_EQ(Form1->Edit1->Text(), "");
    EXPECT_EQ(Form1->Edit10->Text(), "-5");
    EXPECT_FALSE(Form1->quad->Checked());

    WriteAll(StateFile(), full.substr(0, full.find("[ Quadrillage ]") + 5));
    Restart(VarteloProgram());
    EXPECT_EQ(Form1->Edit1->Text(), "sin(x)");
    EXPECT_EQ(Form1->Edit10->Text(), "-3");
    EXPECT_FALSE(Form1->quad->Checked());
    EXPECT_EQ(Form1->Edit27->Text(), "264");

    std::vector<std::string> garbled = lines;
    garbled[3 * 10 - 2] = Noise(40, 3);                    // X deb: bytes with control characters
    garbled[3 * 19 - 2] = std::string("4\0", 2);           // thickness with a NUL
    WriteAll(StateFile(), Joined(garbled) + Noise(3000, 5));
    Restart(VarteloProgram());
    EXPECT_EQ(Form1->Edit1->Text(), "sin(x)");
    EXPECT_EQ(Form1->Edit10->Text(), "-5");
    EXPECT_EQ(Form1->UpDown6->Position(), 3);
    EXPECT_TRUE(Form1->quad->Checked());
    EXPECT_EQ(Form1->Edit27->Text(), "440");

    WriteAll(StateFile(), Noise(20000, 11));
    Restart(VarteloProgram());
    EXPECT_EQ(Form1->Edit10->Text(), "-5");
    EXPECT_FALSE(Form1->quad->Checked());
    for (TEdit* edit : Form1->FunctionEdits) EXPECT_FALSE(HoldsForeignControlCharacter(edit->Text()));
    EXPECT_EQ(messages.Count(), 0);
}

// A step counter of -7 or 2000000000 is brought within 0 .. 200 when read, and written
// back so; the flags around it keep their meaning (any legend value but 0 shows it, an
// abscissa choice other than 1 is plain units); the thickness stays within its control's
// range and a label of absurd size and place is still drawn, without a message.
TEST_F(HostileFileTest, StepCounterReadFromAFileIsKeptWithinItsRange) {
    Start(QuimbelProgram());
    SaveSettings(StateFileName, 1);
    std::vector<std::string> lines = ReadFileLines(StateFile());

    lines[3 * 106 - 2] = "-7";
    lines[3 * 105 - 2] = "5";
    lines[3 * 168 - 2] = "-3";
    WriteAll(StateFile(), Joined(lines));
    Restart(QuimbelProgram());
    EXPECT_EQ(StepCounter, 0);
    EXPECT_TRUE(Form1->leg->Checked());
    EXPECT_FALSE(Form1->abspi->Checked());
    uitest::PressKey(Form1, VK_UP);
    EXPECT_EQ(StepCounter, 1);

    lines[3 * 106 - 2] = "2000000000";
    lines[3 * 19 - 2] = "2000000000";  // thickness: the control keeps its range
    lines[3 * 107 - 2] = "loin";       // label 1: absurd size and position, drawn at the limits
    lines[3 * 108 - 2] = "1E300";
    lines[3 * 109 - 2] = "-1E300";
    lines[3 * 110 - 2] = "1E999";
    WriteAll(StateFile(), Joined(lines));
    Restart(QuimbelProgram());
    EXPECT_EQ(StepCounter, 200);
    EXPECT_GE(Form1->UpDown6->Position(), 1);
    EXPECT_LE(Form1->UpDown6->Position(), 20);
    uitest::PressKey(Form1, VK_UP);
    EXPECT_EQ(StepCounter, 200);
    uitest::PressKey(Form1, VK_DOWN);
    EXPECT_EQ(StepCounter, 199);
    uitest::PressKey(Form1, VK_UP);
    uitest::Close(Form1);
    const std::vector<std::string> written = ReadFileLines(StateFile());
    EXPECT_EQ(ValueOf(written, 106), "200");
    EXPECT_EQ(ValueOf(written, 105), "1");
    EXPECT_EQ(messages.Count(), 0);
}

}  // namespace
}  // namespace settingstest
