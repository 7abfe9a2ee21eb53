#pragma once
// The settings table: one row for every setting kept between runs, in curve files and in
// undo snapshots. A row says where its value lives (its target), how the value becomes one
// line of text, how such a line is applied back and what is applied when the line is
// missing or cannot be applied. The rows of each program come from its description.
#include <array>
#include <climits>
#include <cstdint>
#include <string>

// How a row's value travels as text, and what its target is.
enum TSettingKind : std::uint8_t {
    skIntVar = 0,        // 32-bit integer variable (or the one-byte flag of a ByteTarget row)
    skRealVar = 1,       // double variable
    skStrVar = 2,        // text variable
    skRadioGroup = 3,    // up to eight option buttons
    skCheckBox = 4,      // check box
    skEditText = 5,      // edit field
    skUpDown = 6,        // up-down control
    skTrackBar = 7,      // track bar
    skComboText = 8,     // combo box
    skStringGrid = 9,    // string grid
    skWidth = 10,        // width of any control
    skSpeedButton = 11,  // speed button
};

// A row's default: a text, an integer or a fixed-point decimal with four decimal places.
struct TSettingDefault {
    enum TTag : std::uint8_t { Text, Integer, Fixed4 };
    TTag Tag = Text;
    std::string TextValue;
    std::int32_t IntegerValue = 0;
    std::int64_t FixedValue = 0;  // the value times 10000

    static TSettingDefault FromText(std::string text) {
        TSettingDefault d;
        d.Tag = Text;
        d.TextValue = std::move(text);
        return d;
    }
    static TSettingDefault FromInteger(std::int32_t value) {
        TSettingDefault d;
        d.Tag = Integer;
        d.IntegerValue = value;
        return d;
    }
    static TSettingDefault FromFixed4(std::int64_t tenThousandths) {
        TSettingDefault d;
        d.Tag = Fixed4;
        d.FixedValue = tenThousandths;
        return d;
    }
};

struct TSettingEntry {
    std::string Caption;  // written as the row's label, never read back
    TSettingKind Kind = skIntVar;
    // The variable (kinds 0 .. 2) or the component (4 .. 11) in the first entry; a kind-3
    // row uses the first ItemCount entries, one option button each.
    std::array<void*, 8> Target{};
    std::int32_t ItemCount = 0;
    TSettingDefault DefaultValue;
    // A kind-0 row whose target is a one-byte flag (bool) rather than a 32-bit integer.
    bool ByteTarget = false;
    // The range a kind-0 row keeps its value within when it is applied: a value read from
    // a file outside it is brought to the nearest end before anything counts or draws
    // with it.
    std::int32_t LowestValue = INT32_MIN;
    std::int32_t HighestValue = INT32_MAX;

    TSettingEntry& Within(std::int32_t lowest, std::int32_t highest) {
        LowestValue = lowest;
        HighestValue = highest;
        return *this;
    }
};

inline constexpr int SettingsCapacity = 300;

// The rows in use, numbered from 1 (row i is entry i - 1). The row number is the row's
// position in every file.
struct TSettingsTable {
    std::array<TSettingEntry, SettingsCapacity> Rows;
    std::int32_t Count = 0;

    TSettingEntry& Row(int number) { return Rows[size_t(number - 1)]; }
    const TSettingEntry& Row(int number) const { return Rows[size_t(number - 1)]; }
    // Appends a row with one target; returns it for the rarer fields.
    TSettingEntry& Add(std::string caption, TSettingKind kind, void* target, TSettingDefault value) {
        TSettingEntry& row = Rows.at(size_t(Count));
        row = TSettingEntry{};
        row.Caption = std::move(caption);
        row.Kind = kind;
        row.Target[0] = target;
        row.DefaultValue = std::move(value);
        ++Count;
        return row;
    }
};

// The table of the running program.
extern TSettingsTable SettingsTable;
// SettingsTable.Count under its usual name.
std::int32_t SettingsCount();

// Mode 1: fills the rows of the running program (its description's row builder) afresh;
// mode 2: no rows in use, the entries left as they are; any other mode changes nothing.
// Needs every window of the program: the rows point at their components.
void BuildSettingsTable(int mode);
