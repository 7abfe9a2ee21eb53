#pragma once
// The twelve pairs of routines that move a row's value between its target and one line of
// a settings file, and the application of a row's default.
#include <string>

#include "settings/settings_table.h"

// Applies the line to the row's target; raises when the line cannot be applied (an
// integer that is not a decimal integer, a real that does not convert).
void ApplySettingLine(const std::string& line, const TSettingEntry& row);
// The line text of the row's current value.
std::string SettingLineText(const TSettingEntry& row);
// Applies the row's default value.
void ApplySettingDefault(const TSettingEntry& row);

void ApplyIntVarSetting(const std::string& line, const TSettingEntry& row);
void ApplyRealVarSetting(const std::string& line, const TSettingEntry& row);
void ApplyStrVarSetting(const std::string& line, const TSettingEntry& row);
void ApplyRadioGroupSetting(const std::string& line, const TSettingEntry& row);
void ApplyCheckBoxSetting(const std::string& line, const TSettingEntry& row);
void ApplyEditTextSetting(const std::string& line, const TSettingEntry& row);
void ApplyUpDownSetting(const std::string& line, const TSettingEntry& row);
void ApplyTrackBarSetting(const std::string& line, const TSettingEntry& row);
void ApplyComboTextSetting(const std::string& line, const TSettingEntry& row);
void ApplyGridSetting(const std::string& line, const TSettingEntry& row);
void ApplyWidthSetting(const std::string& line, const TSettingEntry& row);
void ApplySpeedButtonSetting(const std::string& line, const TSettingEntry& row);

std::string IntVarSettingText(const TSettingEntry& row);
std::string RealVarSettingText(const TSettingEntry& row);
std::string StrVarSettingText(const TSettingEntry& row);
std::string RadioGroupSettingText(const TSettingEntry& row);
std::string CheckBoxSettingText(const TSettingEntry& row);
std::string EditTextSettingText(const TSettingEntry& row);
std::string UpDownSettingText(const TSettingEntry& row);
std::string TrackBarSettingText(const TSettingEntry& row);
std::string ComboTextSettingText(const TSettingEntry& row);
std::string WidthSettingText(const TSettingEntry& row);
std::string SpeedButtonSettingText(const TSettingEntry& row);
