#pragma once
// Between Qt's key and modifier codes and the platform's virtual keys and shift states
// (layer and test harness).
#include <Qt>

#include <cstdint>

#include "platform/ui/ui_types.h"

// The virtual-key code of a Qt key, 0 when the platform has none.
std::uint16_t VirtualKeyFromQt(int qtKey, Qt::KeyboardModifiers modifiers);
// The Qt key of a virtual-key code (Qt::Key_unknown when none); keypad keys set
// *keypad when it is given.
int QtKeyFromVirtualKey(std::uint16_t key, bool* keypad = nullptr);
TShiftState ShiftFromQt(Qt::KeyboardModifiers modifiers, Qt::MouseButtons buttons = Qt::NoButton);
Qt::KeyboardModifiers QtModifiersFromShift(TShiftState shift);
Qt::MouseButtons QtButtonsFromShift(TShiftState shift);
