// Virtual keys, shift states and shortcuts, and their mapping to Qt's codes.
#include "platform/ui/keys.h"

#include <array>
#include <utility>

#include "platform/ui/key_mapping.h"

namespace {

// The keys whose Qt code and virtual-key code are not the same character.
constexpr std::array<std::pair<int, std::uint16_t>, 42> kNamedKeys{{
    {Qt::Key_Backspace, VK_BACK},   {Qt::Key_Tab, VK_TAB},         {Qt::Key_Backtab, VK_TAB},
    {Qt::Key_Return, VK_RETURN},    {Qt::Key_Enter, VK_RETURN},    {Qt::Key_Shift, VK_SHIFT},
    {Qt::Key_Control, VK_CONTROL},  {Qt::Key_Alt, VK_MENU},        {Qt::Key_Pause, VK_PAUSE},
    {Qt::Key_CapsLock, VK_CAPITAL}, {Qt::Key_Escape, VK_ESCAPE},   {Qt::Key_Space, VK_SPACE},
    {Qt::Key_PageUp, VK_PRIOR},     {Qt::Key_PageDown, VK_NEXT},   {Qt::Key_End, VK_END},
    {Qt::Key_Home, VK_HOME},        {Qt::Key_Left, VK_LEFT},       {Qt::Key_Up, VK_UP},
    {Qt::Key_Right, VK_RIGHT},      {Qt::Key_Down, VK_DOWN},       {Qt::Key_Print, VK_SNAPSHOT},
    {Qt::Key_Insert, VK_INSERT},    {Qt::Key_Delete, VK_DELETE},   {Qt::Key_Menu, VK_APPS},
    {Qt::Key_NumLock, VK_NUMLOCK},  {Qt::Key_ScrollLock, VK_SCROLL}, {Qt::Key_Semicolon, VK_OEM_1},
    {Qt::Key_Colon, VK_OEM_1},      {Qt::Key_Equal, VK_OEM_PLUS},  {Qt::Key_Plus, VK_OEM_PLUS},
    {Qt::Key_Comma, VK_OEM_COMMA},  {Qt::Key_Less, VK_OEM_COMMA},  {Qt::Key_Minus, VK_OEM_MINUS},
    {Qt::Key_Underscore, VK_OEM_MINUS}, {Qt::Key_Period, VK_OEM_PERIOD}, {Qt::Key_Greater, VK_OEM_PERIOD},
    {Qt::Key_Slash, VK_OEM_2},      {Qt::Key_Question, VK_OEM_2},  {Qt::Key_QuoteLeft, VK_OEM_3},
    {Qt::Key_BracketLeft, VK_OEM_4}, {Qt::Key_Backslash, VK_OEM_5}, {Qt::Key_BracketRight, VK_OEM_6},
}};

}  // namespace

std::uint16_t VirtualKeyFromQt(int qtKey, Qt::KeyboardModifiers modifiers) {
    const bool keypad = modifiers.testFlag(Qt::KeypadModifier);
    if (qtKey >= Qt::Key_0 && qtKey <= Qt::Key_9)
        return std::uint16_t(keypad ? VK_NUMPAD0 + (qtKey - Qt::Key_0) : qtKey);
    if (qtKey >= Qt::Key_A && qtKey <= Qt::Key_Z) return std::uint16_t(qtKey);
    if (qtKey >= Qt::Key_F1 && qtKey <= Qt::Key_F24) return std::uint16_t(VK_F1 + (qtKey - Qt::Key_F1));
    if (keypad) {
        switch (qtKey) {
            case Qt::Key_Asterisk: return VK_MULTIPLY;
            case Qt::Key_Plus: return VK_ADD;
            case Qt::Key_Minus: return VK_SUBTRACT;
            case Qt::Key_Period:
            case Qt::Key_Comma: return VK_DECIMAL;
            case Qt::Key_Slash: return VK_DIVIDE;
            default: break;
        }
    }
    if (qtKey == Qt::Key_Apostrophe || qtKey == Qt::Key_QuoteDbl) return VK_OEM_7;
    for (const auto& [qt, vk] : kNamedKeys)
        if (qt == qtKey) return vk;
    return 0;
}

int QtKeyFromVirtualKey(std::uint16_t key, bool* keypad) {
    if (keypad) *keypad = false;
    if ((key >= '0' && key <= '9') || (key >= 'A' && key <= 'Z')) return key;
    if (key >= VK_NUMPAD0 && key <= VK_NUMPAD0 + 9) {
        if (keypad) *keypad = true;
        return Qt::Key_0 + (key - VK_NUMPAD0);
    }
    if (key >= VK_F1 && key <= VK_F1 + 23) return Qt::Key_F1 + (key - VK_F1);
    switch (key) {
        case VK_MULTIPLY: if (keypad) *keypad = true; return Qt::Key_Asterisk;
        case VK_ADD: if (keypad) *keypad = true; return Qt::Key_Plus;
        case VK_SUBTRACT: if (keypad) *keypad = true; return Qt::Key_Minus;
        case VK_DECIMAL: if (keypad) *keypad = true; return Qt::Key_Period;
        case VK_DIVIDE: if (keypad) *keypad = true; return Qt::Key_Slash;
        case VK_OEM_7: return Qt::Key_Apostrophe;
        default: break;
    }
    for (const auto& [qt, vk] : kNamedKeys)
        if (vk == key) return qt;  // the first Qt key listed for it
    return Qt::Key_unknown;
}

TShiftState ShiftFromQt(Qt::KeyboardModifiers modifiers, Qt::MouseButtons buttons) {
    TShiftState s;
    if (modifiers.testFlag(Qt::ShiftModifier)) s << ssShift;
    if (modifiers.testFlag(Qt::ControlModifier)) s << ssCtrl;
    if (modifiers.testFlag(Qt::AltModifier)) s << ssAlt;
    if (buttons.testFlag(Qt::LeftButton)) s << ssLeft;
    if (buttons.testFlag(Qt::RightButton)) s << ssRight;
    if (buttons.testFlag(Qt::MiddleButton)) s << ssMiddle;
    return s;
}

Qt::KeyboardModifiers QtModifiersFromShift(TShiftState shift) {
    Qt::KeyboardModifiers m;
    if (shift.Contains(ssShift)) m |= Qt::ShiftModifier;
    if (shift.Contains(ssCtrl)) m |= Qt::ControlModifier;
    if (shift.Contains(ssAlt)) m |= Qt::AltModifier;
    return m;
}

Qt::MouseButtons QtButtonsFromShift(TShiftState shift) {
    Qt::MouseButtons b;
    if (shift.Contains(ssLeft)) b |= Qt::LeftButton;
    if (shift.Contains(ssRight)) b |= Qt::RightButton;
    if (shift.Contains(ssMiddle)) b |= Qt::MiddleButton;
    return b;
}

TShortCut ShortCut(std::uint16_t key, TShiftState shift) {
    TShortCut s = TShortCut(key & 0xFF);
    if (shift.Contains(ssShift)) s |= scShift;
    if (shift.Contains(ssCtrl)) s |= scCtrl;
    if (shift.Contains(ssAlt)) s |= scAlt;
    return s;
}

std::string ShortCutToText(TShortCut shortCut) {
    const std::uint16_t key = shortCut & 0xFF;
    if (key == 0) return {};
    std::string text;
    if (shortCut & scShift) text += "Shift+";
    if (shortCut & scCtrl) text += "Ctrl+";
    if (shortCut & scAlt) text += "Alt+";
    if ((key >= '0' && key <= '9') || (key >= 'A' && key <= 'Z')) return text + char(key);
    if (key >= VK_F1 && key <= VK_F1 + 23) return text + "F" + std::to_string(key - VK_F1 + 1);
    switch (key) {
        case VK_BACK: return text + "Backspace";
        case VK_TAB: return text + "Tab";
        case VK_RETURN: return text + "Enter";
        case VK_ESCAPE: return text + "Esc";
        case VK_SPACE: return text + "Space";
        case VK_PRIOR: return text + "PgUp";
        case VK_NEXT: return text + "PgDn";
        case VK_END: return text + "End";
        case VK_HOME: return text + "Home";
        case VK_LEFT: return text + "Left";
        case VK_UP: return text + "Up";
        case VK_RIGHT: return text + "Right";
        case VK_DOWN: return text + "Down";
        case VK_INSERT: return text + "Ins";
        case VK_DELETE: return text + "Del";
        default: return text + "#" + std::to_string(key);
    }
}
