// The settings table and the settings file: defaults, the round trip of every row, the
// byte format, and files that are missing, short or bad.
#include <gtest/gtest.h>

#include "platform/ui/components.h"
#include "settings/program_settings_rows.h"
#include "settings/settings_grid.h"
#include "settings/settings_kinds.h"
#include "sound/vartelo_program.h"
#include "tests/settings/settings_fixture.h"

namespace settingstest {
namespace {

using FileTest = SettingsTest;

std::vector<std::string> CurrentLines() {
    std::vector<std::string> texts;
    for (int i = 1; i <= SettingsTable.Count; ++i) texts.push_back(SettingLineText(SettingsTable.Row(i)));
    return texts;
}

// Gives every row of the table a value unlike its default, without the change handlers
// reacting (as during a load).
void SetNonDefaultValues() {
    LoadingFlag = true;
    for (int i = 1; i <= SettingsTable.Count; ++i) {
        const TSettingEntry& row = SettingsTable.Row(i);
        void* target = row.Target[0];
        const std::string tag = "v" + std::to_string(i) + " \xE9;x";
        switch (row.Kind) {
            case skIntVar:
                if (row.ByteTarget) *static_cast<bool*>(target) = true;
                else *static_cast<std::int32_t*>(target) = 1;
                break;
            case skRealVar: *static_cast<double*>(target) = i % 2 ? 1.5e-7 * i : -1234.5678 - i; break;
            case skStrVar: *static_cast<std::string*>(target) = tag; break;
            case skCheckBox: {
                auto* box = static_cast<TCheckBox*>(target);
                box->SetChecked(!box->Checked());
                break;
            }
            case skEditText: static_cast<TEdit*>(target)->SetText(tag); break;
            case skComboText: static_cast<TComboBox*>(target)->SetText(tag); break;
            case skUpDown: static_cast<TUpDown*>(target)->SetPosition(7 + i % 5); break;
            case skSpeedButton: {
                auto* button = static_cast<TSpeedButton*>(target);
                button->SetDown(!button->Down());
                break;
            }
            case skStringGrid: {
                auto* grid = static_cast<TStringGrid*>(target);
                grid->SetCell(1, 1, tag.substr(0, tag.find(';')));
                grid->SetCell(grid->ColCount() - 1, grid->RowCount() - 1, "last");
                break;
            }
            default: FAIL() << "row " << i << " has an unexpected kind";
        }
    }
    StepCounter = 42;
    LoadingFlag = false;
}

struct ProgramCase {
    const ProgramDescription& (*program)();
    int rows;
};

class RoundTripTest : public SettingsTest, public ::testing::WithParamInterface<ProgramCase> {};

// Every row of both programs survives a save and a load; every value differs from the
// default, so nothing passes by accident.
TEST_P(RoundTripTest, EveryRowSurvivesSaveAndLoad) {
    Start(GetParam().program());
    BuildSettingsTable(1);
    ASSERT_EQ(SettingsCount(), GetParam().rows);
    const std::vector<std::string> defaults = CurrentLines();
    SetNonDefaultValues();
    BuildSettingsTable(1);
    const std::vector<std::string> saved = CurrentLines();
    for (int i = 0; i < GetParam().rows; ++i) EXPECT_NE(saved[size_t(i)], defaults[size_t(i)]) << "row " << i + 1;

    SaveSettings("state.fct", 1);
    EXPECT_EQ(ReadFileLines(Dir() / "state.fct").size(), size_t(3 * GetParam().rows));
    LoadSettings(Dir() / "missing.fct", 1);
    EXPECT_EQ(StepCounter, 0);
    LoadSettings(Dir() / "state.fct", 1);
    EXPECT_EQ(CurrentLines(), saved);
    EXPECT_EQ(StepCounter, 42);
    EXPECT_FALSE(LoadingFlag);
    EXPECT_EQ(messages.Count(), 0);
}

INSTANTIATE_TEST_SUITE_P(Programs, RoundTripTest,
                         ::testing::Values(ProgramCase{VarteloProgram, 179}, ProgramCase{QuimbelProgram, 170}));

TEST_F(FileTest, FirstStartWithoutStateFileGivesEveryDefault) {
    Start(VarteloProgram());
    EXPECT_EQ(Form1->Edit1->Text(), "");
    EXPECT_EQ(Form1->Edit10->Text(), "-5");
    EXPECT_EQ(Form1->Edit13->Text(), "5");
    EXPECT_FALSE(Form1->quad->Checked());
    EXPECT_TRUE(Form1->axe->Checked());
    EXPECT_EQ(Form1->Edit17->Text(), "1500");
    EXPECT_EQ(Form1->UpDown6->Position(), 3);
    EXPECT_EQ(Form1->UpDown7->Position(), 100);
    for (TSpeedButton* button : Form1->ShowButtons) EXPECT_TRUE(button->Down());
    EXPECT_FALSE(Form2->CheckBox1->Checked());
    EXPECT_EQ(Form2->ComboBox2->Text(), "f");
    EXPECT_EQ(Form2->ComboBox10->Text(), "j");
    EXPECT_EQ(Form3->ComboBox10->Text(), "j");
    EXPECT_TRUE(Form5->CheckBox6->Checked());
    EXPECT_EQ(Form4->Edit1->Text(), "");
    EXPECT_EQ(Form4->Edit2->Text(), "");
    EXPECT_EQ(Form6->Edit1->Text(), "0");
    EXPECT_EQ(Form6->Edit18->Text(), "inf");
    EXPECT_EQ(LabelY[0], 0.05);
    EXPECT_EQ(LabelY[11], 0.6);
    EXPECT_EQ(LabelSizes[5], 100);
    EXPECT_EQ(Form7->cpol->Text(), "Arial");
    EXPECT_FALSE(PreciseTracing);
    EXPECT_EQ(Form1->Edit26->Text(), "60");
    EXPECT_EQ(Form1->Edit24->Text(), "B");
    EXPECT_EQ(Form1->Edit27->Text(), "264");
    EXPECT_EQ(messages.Count(), 0);
    EXPECT_FALSE(LoadingFlag);
}

TEST_F(FileTest, QuimbelDefaultsOpenTheDomainsOnTheWholeLine) {
    Start(QuimbelProgram());
    for (TEdit* lower : Form6->LowerEdits) EXPECT_EQ(lower->Text(), "-inf");
    for (TEdit* upper : Form6->UpperEdits) EXPECT_EQ(upper->Text(), "inf");
}

TEST_F(FileTest, SavedFileHasTheExactLayout) {
    Start(VarteloProgram());
    Form1->Edit1->SetText("sin(x)");
    LabelX[0] = 1.5e-7;
    LabelSizes[1] = 1e20;
    SaveSettings(StateFileName, 1);
    const std::string text = ReadAll(StateFile());
    EXPECT_EQ(text.rfind("[ Fonction f ]\r\nsin(x)\r\n\r\n[ Fonction g ]\r\n\r\n\r\n[ Fonction h ]\r\n", 0), 0u);
    const std::string end = "[ debut musique ]\r\n0\r\n\r\n";
    ASSERT_GE(text.size(), end.size());
    EXPECT_EQ(text.substr(text.size() - end.size()), end);
    size_t lines = 0;
    for (size_t at = text.find("\r\n"); at != std::string::npos; at = text.find("\r\n", at + 2)) ++lines;
    EXPECT_EQ(lines, 537u);
    const std::vector<std::string> read = ReadFileLines(StateFile());
    EXPECT_EQ(read.at(3 * 13), "[ Quadrillage ]");
    EXPECT_EQ(ValueOf(read, 14), "0");
    EXPECT_EQ(ValueOf(read, 15), "1");
    EXPECT_EQ(ValueOf(read, 19), "3");
    EXPECT_EQ(ValueOf(read, 107 + 2), "1,5E-7");   // label 1 x
    EXPECT_EQ(ValueOf(read, 111 + 1), "1E20");     // label 2 size
    EXPECT_EQ(ValueOf(read, 110), "0,05");         // label 1 y
    EXPECT_EQ(ValueOf(read, 154), "0,6");          // label 12 y
    EXPECT_EQ(read.at(3 * 169), "[ Trac\xE9 \xE0 haute pr\xE9" "cision ]");
    EXPECT_EQ(read.at(3 * 85), "[ Recurrence 3 - pas \xE0 pas ]");
    EXPECT_EQ(read.at(3 * 75), "[ Recurrence 1- fct ]");
    EXPECT_EQ(read.at(3 * 156), "[ Droite verticale 1- x= ]");
    EXPECT_EQ(fs::current_path(), Dir());
}

TEST_F(FileTest, GridTextHasOneEmptyColumnAndRowBeyondTheGrid) {
    Start(VarteloProgram());
    TStringGrid* grid = Form1->Add<TStringGrid>("probe");
    grid->SetColCount(2);
    grid->SetRowCount(2);
    grid->SetCell(0, 0, "a");
    grid->SetCell(1, 0, "b");
    grid->SetCell(0, 1, "c");
    grid->SetCell(1, 1, "d");
    EXPECT_EQ(GridToString(*grid), "a;b;|c;d;|;;");

    TStringGrid* copy = Form1->Add<TStringGrid>("copy");
    copy->SetColCount(4);
    copy->SetRowCount(4);
    copy->SetCell(3, 3, "kept");
    StringToGrid(*copy, "a;b;|c;d;|;;");
    EXPECT_EQ(copy->ColCount(), 4);  // never shrinks
    EXPECT_EQ(copy->Cell(1, 1), "d");
    EXPECT_EQ(copy->Cell(3, 3), "kept");

    TStringGrid* small = Form1->Add<TStringGrid>("small");
    small->SetColCount(1);
    small->SetRowCount(1);
    StringToGrid(*small, "a;b;|c;d;|;;");
    EXPECT_EQ(small->ColCount(), 2);
    EXPECT_EQ(small->RowCount(), 2);
    EXPECT_EQ(GridToString(*small), "a;b;|c;d;|;;");
    StringToGrid(*small, "");  // the default text leaves the grid as it was
    EXPECT_EQ(small->Cell(0, 0), "a");
}

// A short file gives the rows past its end their defaults; bad values give the row its
// default; flags count as set unless exactly "0"; nothing is reported.
TEST_F(FileTest, ShortAndBadFilesFallBackToDefaultsSilently) {
    Start(VarteloProgram());
    SaveSettings("full.fct", 1);
    std::vector<std::string> lines = ReadFileLines(Dir() / "full.fct");
    lines[3 * 1 - 2] = "x*2";       // f
    lines[3 * 14 - 2] = "";         // grid check box: checked
    lines[3 * 15 - 2] = "0";        // axes: unchecked
    lines[3 * 19 - 2] = "abc";      // thickness: default 3
    lines[3 * 169 - 2] = "5000";    // font percentage: kept within 1 .. 1000
    lines[3 * 20 - 2] = "0";        // f hidden
    lines[3 * 21 - 2] = "yes";      // g shown
    lines[3 * 106 - 2] = "12x";     // step counter: default 0
    lines[3 * 108 - 2] = "1,2,3";   // label 1 size: default 100
    lines[3 * 112 - 2] = "";        // label 2 size: an empty real reads 0
    lines[3 * 109 - 2] = "2.5";     // label 1 x: "." read as ","
    lines[3 * 170 - 2] = "257";     // precise tracing: low byte 1
    lines.resize(3 * 171 - 1);      // cut inside row 171's value
    std::string text;
    for (const std::string& line : lines) text += line + "\r\n";
    WriteAll(Dir() / "bad.fct", text);

    Form1->Edit21->SetText("9");
    Form1->Edit26->SetText("99");
    LoadSettings(Dir() / "bad.fct", 1);
    EXPECT_EQ(Form1->Edit1->Text(), "x*2");
    EXPECT_TRUE(Form1->quad->Checked());
    EXPECT_FALSE(Form1->axe->Checked());
    EXPECT_EQ(Form1->UpDown6->Position(), 3);
    EXPECT_EQ(Form1->UpDown7->Position(), 1000);
    EXPECT_FALSE(Form1->sd1->Down());
    EXPECT_TRUE(Form1->sd2->Down());
    EXPECT_EQ(StepCounter, 0);
    EXPECT_EQ(LabelSizes[0], 100);
    EXPECT_EQ(LabelSizes[1], 0);
    EXPECT_EQ(LabelX[0], 2.5);
    EXPECT_TRUE(PreciseTracing);
    EXPECT_EQ(Form1->Edit20->Text(), "1");   // row 171: its value line is missing
    EXPECT_EQ(Form1->Edit21->Text(), "3");
    EXPECT_EQ(Form1->Edit26->Text(), "60");
    EXPECT_EQ(messages.Count(), 0);

    lines[3 * 170 - 2] = "256";  // low byte 0
    text.clear();
    for (const std::string& line : lines) text += line + "\r\n";
    WriteAll(Dir() / "bad.fct", text);
    LoadSettings(Dir() / "bad.fct", 1);
    EXPECT_FALSE(PreciseTracing);
}

// A Quimbel file opened in Vartelo applies rows 1 .. 170 and gives 171 .. 179 their
// defaults; a Vartelo file opened in Quimbel applies rows 1 .. 170.
TEST_F(FileTest, FilesOfTheOtherProgramApplyTheSharedRows) {
    Start(QuimbelProgram());
    Form1->Edit2->SetText("cos(x)");
    Form6->Edit3->SetText("-2");
    SaveSettings("quimbel.fct", 1);
    Restart(VarteloProgram());
    Form1->Edit27->SetText("440");
    LoadSettings(Dir() / "quimbel.fct", 1);
    EXPECT_EQ(Form1->Edit2->Text(), "cos(x)");
    EXPECT_EQ(Form6->Edit3->Text(), "-2");
    EXPECT_EQ(Form6->Edit1->Text(), "-inf");  // Quimbel's default, as saved
    EXPECT_EQ(Form1->Edit27->Text(), "264");

    Form1->Edit3->SetText("x");
    SaveSettings("vartelo.fct", 1);
    Restart(QuimbelProgram());
    LoadSettings(Dir() / "vartelo.fct", 1);
    EXPECT_EQ(Form1->Edit3->Text(), "x");
    EXPECT_EQ(Form6->Edit1->Text(), "-inf");
    EXPECT_EQ(messages.Count(), 0);
}

// A program whose table has three rows gives a file of nine lines, byte for byte.
TEST_F(FileTest, SmallTableIsWrittenByteForByte) {
    Start(QuimbelProgram());
    static ProgramDescription small;
    small = QuimbelProgram();
    small.BuildSettingsRows = [](TSettingsTable& table) {
        table.Add("Fonction f", skEditText, Form1->Edit1, TSettingDefault::FromText(""));
        table.Add("Fonction g", skEditText, Form1->Edit2, TSettingDefault::FromText(""));
        table.Add("Quadrillage", skCheckBox, Form1->quad, TSettingDefault::FromText("0"));
    };
    InstallProgram(small);
    Form1->Edit1->SetText("sin(x)");
    Form1->Edit2->SetText("");
    Form1->quad->SetChecked(true);
    SaveSettings("small.fct", 1);
    EXPECT_EQ(ReadAll(Dir() / "small.fct"),
              "[ Fonction f ]\r\nsin(x)\r\n\r\n[ Fonction g ]\r\n\r\n\r\n[ Quadrillage ]\r\n1\r\n\r\n");
    WriteAll(Dir() / "small.fct", "[ Fonction f ]\r\ncos(x)\r\n\r\n[ Fonction g ]\r\n");  // cut short
    LoadSettings(Dir() / "small.fct", 1);
    EXPECT_EQ(Form1->Edit1->Text(), "cos(x)");
    EXPECT_FALSE(Form1->quad->Checked());
    InstallProgram(QuimbelProgram());
}

// The kinds that no row of either program uses: option group, track bar, width.
TEST_F(FileTest, UnusedKindsRoundTrip) {
    Start(QuimbelProgram());
    TRadioButton* r0 = Form1->Add<TRadioButton>("r0");
    TRadioButton* r1 = Form1->Add<TRadioButton>("r1");
    TRadioButton* r2 = Form1->Add<TRadioButton>("r2");
    TTrackBar* bar = Form1->Add<TTrackBar>("bar");
    bar->SetMin(0);
    bar->SetMax(10);
    TSettingsTable table;
    TSettingEntry& group = table.Add("groupe", skRadioGroup, r0, TSettingDefault::FromInteger(1));
    group.Target[1] = r1;
    group.Target[2] = r2;
    group.ItemCount = 3;
    const TSettingEntry& track = table.Add("barre", skTrackBar, bar, TSettingDefault::FromText("4"));
    const TSettingEntry& width = table.Add("largeur", skWidth, Form1->Edit1, TSettingDefault::FromInteger(77));

    r2->SetChecked(true);
    EXPECT_EQ(SettingLineText(group), "2");
    ApplySettingLine("0", group);
    EXPECT_TRUE(r0->Checked());
    EXPECT_FALSE(r2->Checked());
    EXPECT_THROW(ApplySettingLine("x", group), std::exception);
    ApplySettingDefault(group);
    EXPECT_TRUE(r1->Checked());

    ApplySettingLine("25", track);
    EXPECT_EQ(SettingLineText(track), "10");
    ApplySettingDefault(track);
    EXPECT_EQ(bar->Position(), 4);

    ApplySettingLine("123", width);
    EXPECT_EQ(SettingLineText(width), "123");
    ApplySettingDefault(width);
    EXPECT_EQ(Form1->Edit1->Width(), 77);
}

}  // namespace
}  // namespace settingstest
