#pragma once
// Virtual-key codes and menu shortcuts, with the platform's values.
// Letters are their upper-case character ('A' = 65 ... 'Z' = 90), digits their character
// ('0' = 48 ... '9' = 57).
#include <cstdint>
#include <string>

#include "platform/ui/ui_types.h"

constexpr std::uint16_t VK_BACK = 8;
constexpr std::uint16_t VK_TAB = 9;
constexpr std::uint16_t VK_RETURN = 13;
constexpr std::uint16_t VK_SHIFT = 16;
constexpr std::uint16_t VK_CONTROL = 17;
constexpr std::uint16_t VK_MENU = 18;  // Alt
constexpr std::uint16_t VK_PAUSE = 19;
constexpr std::uint16_t VK_CAPITAL = 20;
constexpr std::uint16_t VK_ESCAPE = 27;
constexpr std::uint16_t VK_SPACE = 32;
constexpr std::uint16_t VK_PRIOR = 33;  // Page Up
constexpr std::uint16_t VK_NEXT = 34;   // Page Down
constexpr std::uint16_t VK_END = 35;
constexpr std::uint16_t VK_HOME = 36;
constexpr std::uint16_t VK_LEFT = 37;
constexpr std::uint16_t VK_UP = 38;
constexpr std::uint16_t VK_RIGHT = 39;
constexpr std::uint16_t VK_DOWN = 40;
constexpr std::uint16_t VK_SNAPSHOT = 44;
constexpr std::uint16_t VK_INSERT = 45;
constexpr std::uint16_t VK_DELETE = 46;
constexpr std::uint16_t VK_APPS = 93;
constexpr std::uint16_t VK_NUMPAD0 = 96;  // ... VK_NUMPAD9 = 105
constexpr std::uint16_t VK_MULTIPLY = 106;
constexpr std::uint16_t VK_ADD = 107;
constexpr std::uint16_t VK_SUBTRACT = 109;
constexpr std::uint16_t VK_DECIMAL = 110;
constexpr std::uint16_t VK_DIVIDE = 111;
constexpr std::uint16_t VK_F1 = 112;  // ... VK_F24 = 135
constexpr std::uint16_t VK_NUMLOCK = 144;
constexpr std::uint16_t VK_SCROLL = 145;
constexpr std::uint16_t VK_OEM_1 = 186;       // ;
constexpr std::uint16_t VK_OEM_PLUS = 187;    // =
constexpr std::uint16_t VK_OEM_COMMA = 188;   // ,
constexpr std::uint16_t VK_OEM_MINUS = 189;   // -
constexpr std::uint16_t VK_OEM_PERIOD = 190;  // .
constexpr std::uint16_t VK_OEM_2 = 191;       // /
constexpr std::uint16_t VK_OEM_3 = 192;       // `
constexpr std::uint16_t VK_OEM_4 = 219;       // [
constexpr std::uint16_t VK_OEM_5 = 220;       // backslash
constexpr std::uint16_t VK_OEM_6 = 221;       // ]
constexpr std::uint16_t VK_OEM_7 = 222;       // '

// A menu shortcut: the key code in the low byte plus the modifier bits.
using TShortCut = std::uint16_t;
constexpr TShortCut scShift = 0x2000;
constexpr TShortCut scCtrl = 0x4000;
constexpr TShortCut scAlt = 0x8000;

// The shortcut of a key with modifiers (only ssShift, ssCtrl and ssAlt count).
TShortCut ShortCut(std::uint16_t key, TShiftState shift);
// "Ctrl+Z", "Shift+F1", "" for 0: the text a menu shows beside the caption.
std::string ShortCutToText(TShortCut shortCut);
