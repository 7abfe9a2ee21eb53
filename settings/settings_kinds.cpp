#include "settings/settings_kinds.h"

#include <algorithm>
#include <cstdint>
#include <stdexcept>
#include <string>

#include "engine/number_conversion.h"
#include "engine/number_format.h"
#include "platform/ui/components.h"
#include "settings/settings_grid.h"

namespace {

template <class T>
T& TargetOf(const TSettingEntry& row, int index = 0) {
    void* target = row.Target[size_t(index)];
    if (target == nullptr) throw std::logic_error("Setting \"" + row.Caption + "\" has no target");
    return *static_cast<T*>(target);
}

std::string IntegerText(long long value) { return std::to_string(value); }

// The flags of check boxes and speed buttons: set unless the line is exactly "0".
bool FlagFromLine(const std::string& line) { return line != "0"; }

// A text default read as a number for a flag: non-zero means set; a text that is not a
// number counts as set as well (it is not "0").
bool DefaultAsFlag(const TSettingDefault& value) {
    switch (value.Tag) {
        case TSettingDefault::Integer: return value.IntegerValue != 0;
        case TSettingDefault::Fixed4: return value.FixedValue != 0;
        case TSettingDefault::Text: return ParseDecimalInteger(value.TextValue) != 0;
    }
    return false;
}

std::int32_t DefaultAsInteger(const TSettingDefault& value) {
    switch (value.Tag) {
        case TSettingDefault::Integer: return value.IntegerValue;
        case TSettingDefault::Fixed4: return std::int32_t(value.FixedValue / 10000);
        case TSettingDefault::Text: return ParseDecimalInteger(value.TextValue);
    }
    return 0;
}

double DefaultAsReal(const TSettingDefault& value) {
    switch (value.Tag) {
        case TSettingDefault::Integer: return double(value.IntegerValue);
        case TSettingDefault::Fixed4: return double(value.FixedValue) / 10000.0;
        case TSettingDefault::Text: return ParseFloatOrZero(value.TextValue);
    }
    return 0;
}

std::string DefaultAsText(const TSettingDefault& value) {
    switch (value.Tag) {
        case TSettingDefault::Integer: return IntegerText(value.IntegerValue);
        case TSettingDefault::Fixed4: return FormatGeneral(static_cast<long double>(value.FixedValue) / 10000.0L, GeneralDigits);
        case TSettingDefault::Text: return value.TextValue;
    }
    return {};
}

void StoreInteger(const TSettingEntry& row, std::int32_t value) {
    // The one-byte flag takes the low byte of the integer and nothing beyond it.
    if (row.ByteTarget)
        TargetOf<bool>(row) = (std::uint32_t(value) & 0xFFu) != 0;
    else
        TargetOf<std::int32_t>(row) = std::clamp(value, row.LowestValue, row.HighestValue);
}

void CheckRadioButtons(const TSettingEntry& row, std::int32_t chosen) {
    for (int i = 0; i < row.ItemCount && i < int(row.Target.size()); ++i)
        TargetOf<TRadioButton>(row, i).SetChecked(i == chosen);
}

}  // namespace

void ApplyIntVarSetting(const std::string& line, const TSettingEntry& row) {
    StoreInteger(row, ParseDecimalInteger(line));
}
void ApplyRealVarSetting(const std::string& line, const TSettingEntry& row) {
    TargetOf<double>(row) = ParseFloatOrZero(line);
}
void ApplyStrVarSetting(const std::string& line, const TSettingEntry& row) { TargetOf<std::string>(row) = line; }
void ApplyRadioGroupSetting(const std::string& line, const TSettingEntry& row) {
    CheckRadioButtons(row, ParseDecimalInteger(line));
}
void ApplyCheckBoxSetting(const std::string& line, const TSettingEntry& row) {
    TargetOf<TCheckBox>(row).SetChecked(FlagFromLine(line));
}
void ApplyEditTextSetting(const std::string& line, const TSettingEntry& row) { TargetOf<TEdit>(row).SetText(line); }
void ApplyUpDownSetting(const std::string& line, const TSettingEntry& row) {
    // The low 16 bits as a signed number; the control keeps it within its range.
    const std::int32_t value = ParseDecimalInteger(line);
    TargetOf<TUpDown>(row).SetPosition(std::int16_t(std::uint16_t(std::uint32_t(value) & 0xFFFFu)));
}
void ApplyTrackBarSetting(const std::string& line, const TSettingEntry& row) {
    TargetOf<TTrackBar>(row).SetPosition(ParseDecimalInteger(line));
}
void ApplyComboTextSetting(const std::string& line, const TSettingEntry& row) {
    TargetOf<TComboBox>(row).SetText(line);
}
void ApplyGridSetting(const std::string& line, const TSettingEntry& row) { StringToGrid(TargetOf<TStringGrid>(row), line); }
void ApplyWidthSetting(const std::string& line, const TSettingEntry& row) {
    TargetOf<TControl>(row).SetWidth(ParseDecimalInteger(line));
}
void ApplySpeedButtonSetting(const std::string& line, const TSettingEntry& row) {
    TargetOf<TSpeedButton>(row).SetDown(FlagFromLine(line));
}

std::string IntVarSettingText(const TSettingEntry& row) {
    if (row.ByteTarget) return TargetOf<bool>(row) ? "1" : "0";
    return IntegerText(TargetOf<std::int32_t>(row));
}
std::string RealVarSettingText(const TSettingEntry& row) { return FormatGeneral(TargetOf<double>(row), GeneralDigits); }
std::string StrVarSettingText(const TSettingEntry& row) { return TargetOf<std::string>(row); }
std::string RadioGroupSettingText(const TSettingEntry& row) {
    for (int i = 0; i < row.ItemCount && i < int(row.Target.size()); ++i)
        if (TargetOf<TRadioButton>(row, i).Checked()) return IntegerText(i);
    return "0";
}
std::string CheckBoxSettingText(const TSettingEntry& row) { return TargetOf<TCheckBox>(row).Checked() ? "1" : "0"; }
std::string EditTextSettingText(const TSettingEntry& row) { return TargetOf<TEdit>(row).Text(); }
std::string UpDownSettingText(const TSettingEntry& row) {
    return IntegerText(std::int16_t(std::uint16_t(std::uint32_t(TargetOf<TUpDown>(row).Position()) & 0xFFFFu)));
}
std::string TrackBarSettingText(const TSettingEntry& row) { return IntegerText(TargetOf<TTrackBar>(row).Position()); }
std::string ComboTextSettingText(const TSettingEntry& row) { return TargetOf<TComboBox>(row).Text(); }
std::string WidthSettingText(const TSettingEntry& row) { return IntegerText(TargetOf<TControl>(row).Width()); }
std::string SpeedButtonSettingText(const TSettingEntry& row) { return TargetOf<TSpeedButton>(row).Down() ? "1" : "0"; }

void ApplySettingLine(const std::string& line, const TSettingEntry& row) {
    switch (row.Kind) {
        case skIntVar: return ApplyIntVarSetting(line, row);
        case skRealVar: return ApplyRealVarSetting(line, row);
        case skStrVar: return ApplyStrVarSetting(line, row);
        case skRadioGroup: return ApplyRadioGroupSetting(line, row);
        case skCheckBox: return ApplyCheckBoxSetting(line, row);
        case skEditText: return ApplyEditTextSetting(line, row);
        case skUpDown: return ApplyUpDownSetting(line, row);
        case skTrackBar: return ApplyTrackBarSetting(line, row);
        case skComboText: return ApplyComboTextSetting(line, row);
        case skStringGrid: return ApplyGridSetting(line, row);
        case skWidth: return ApplyWidthSetting(line, row);
        case skSpeedButton: return ApplySpeedButtonSetting(line, row);
    }
    throw std::logic_error("Unknown setting kind");
}

std::string SettingLineText(const TSettingEntry& row) {
    switch (row.Kind) {
        case skIntVar: return IntVarSettingText(row);
        case skRealVar: return RealVarSettingText(row);
        case skStrVar: return StrVarSettingText(row);
        case skRadioGroup: return RadioGroupSettingText(row);
        case skCheckBox: return CheckBoxSettingText(row);
        case skEditText: return EditTextSettingText(row);
        case skUpDown: return UpDownSettingText(row);
        case skTrackBar: return TrackBarSettingText(row);
        case skComboText: return ComboTextSettingText(row);
        case skStringGrid: return GridToString(TargetOf<TStringGrid>(row));
        case skWidth: return WidthSettingText(row);
        case skSpeedButton: return SpeedButtonSettingText(row);
    }
    throw std::logic_error("Unknown setting kind");
}

void ApplySettingDefault(const TSettingEntry& row) {
    const TSettingDefault& value = row.DefaultValue;
    switch (row.Kind) {
        case skIntVar: return StoreInteger(row, DefaultAsInteger(value));
        case skRealVar: TargetOf<double>(row) = DefaultAsReal(value); return;
        case skStrVar: TargetOf<std::string>(row) = DefaultAsText(value); return;
        case skRadioGroup: return CheckRadioButtons(row, DefaultAsInteger(value));
        case skCheckBox: TargetOf<TCheckBox>(row).SetChecked(DefaultAsFlag(value)); return;
        case skEditText: TargetOf<TEdit>(row).SetText(DefaultAsText(value)); return;
        case skUpDown: TargetOf<TUpDown>(row).SetPosition(DefaultAsInteger(value)); return;
        case skTrackBar: TargetOf<TTrackBar>(row).SetPosition(DefaultAsInteger(value)); return;
        case skComboText: TargetOf<TComboBox>(row).SetText(DefaultAsText(value)); return;
        case skStringGrid: StringToGrid(TargetOf<TStringGrid>(row), DefaultAsText(value)); return;
        case skWidth: TargetOf<TControl>(row).SetWidth(DefaultAsInteger(value)); return;
        case skSpeedButton: TargetOf<TSpeedButton>(row).SetDown(DefaultAsFlag(value)); return;
    }
}
