#pragma once
// Drives components the way a user does: real Qt mouse and key events sent to the widgets
// (or, for menus, combo lists and grid editors, the same Qt signal a user's action ends
// in), so that every event goes through the component layer's own paths. Acting on a
// control that a user could not reach (hidden, disabled) records a test failure and does
// nothing.
#include <chrono>
#include <cstdint>
#include <functional>
#include <string>

#include "platform/ui/components.h"

namespace uitest {

// --- Mouse on controls ---
// A left click in the middle of the control (at the box of a check box or option button).
void Click(TControl* control);
void ClickUpDown(TUpDown* upDown, TUDBtnType button);
void ClickMenu(TMenuItem* item);
// Chooses an item in the drop-down list of a combo box.
void ChooseItem(TComboBox* combo, int index);
// Clicks the tab of a page.
void ChooseTab(TPageControl* pages, int index);
// Types a new text into a cell of a grid and commits it.
void EditCell(TStringGrid* grid, int col, int row, const std::string& text);

// --- Mouse on an image (x, y in image pixels) ---
void MouseDown(TImage* image, TMouseButton button, int x, int y, TShiftState shift = {});
void MouseMove(TImage* image, int x, int y, TShiftState shift = {});  // held buttons: ssLeft, ...
void MouseUp(TImage* image, TMouseButton button, int x, int y, TShiftState shift = {});
// Down, moves in steps of at most `step` pixels, up.
void Drag(TImage* image, TMouseButton button, int x0, int y0, int x1, int y1, int step = 10);

// --- Keyboard ---
// Gives the keyboard focus to the control, as tabbing into it does.
void Focus(TWinControl* control);
// Types each character (Windows-1252) into the control: key press and release with the
// character's key and text.
void TypeText(TWinControl* control, const std::string& text);
// Replaces the text of an edit or combo box: selects it with Home, Shift+End and types.
void ReplaceText(TWinControl* control, const std::string& text);
// A key with modifiers pressed and released in the form's focused control (or the form).
void PressKey(TForm* form, std::uint16_t key, TShiftState shift = {});
// The same on a given control (it gets the focus first).
void PressKey(TWinControl* control, std::uint16_t key, TShiftState shift = {});
// Press or release alone, to the focused control of the control's form; autoRepeat marks
// the events the keyboard repeats while a key is held.
void KeyDown(TWinControl* control, std::uint16_t key, TShiftState shift = {}, bool autoRepeat = false);
void KeyUp(TWinControl* control, std::uint16_t key, TShiftState shift = {}, bool autoRepeat = false);

// --- Windows ---
// The user switches to the form (clicks its title bar).
void Activate(TForm* form);
// The user switches to another application and back to the form.
void LeaveAndReturn(TForm* form);
// The user resizes the window.
void Resize(TForm* form, int width, int height);
// The user closes the window (its close box).
void Close(TForm* form);

// --- Reading ---
TColor Pixel(TImage* image, int x, int y);
// The colour the image's widget shows at (x, y) when painted.
TColor ShownPixel(TImage* image, int x, int y);
// Runs pending events until the condition holds or the time is up; the condition's result.
bool WaitUntil(const std::function<bool()>& condition,
               std::chrono::milliseconds timeout = std::chrono::milliseconds(5000));

}  // namespace uitest
