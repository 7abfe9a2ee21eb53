#pragma once
// The application-wide filter that gives keys to the program's forms and controls in the
// platform's order (layer only).
#include <QObject>

#include <cstdint>
#include <map>

#include "platform/ui/ui_types.h"

class QKeyEvent;
class TApplication;
class TForm;
class TWinControl;

class TKeyEventFilter : public QObject {
public:
    explicit TKeyEventFilter(TApplication& app) : app_(app) {}
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    // Runs the events of a key press; false when the key is swallowed. *replacement
    // becomes the character that OnKeyPress made of the typed one.
    bool KeyPressed(QObject* receiver, QKeyEvent& key, TForm& form, TWinControl& target, char* replacement);
    bool KeyReleased(QKeyEvent& key, TForm& form, TWinControl& target);

    TApplication& app_;
    int delivering_ = 0;
    // The modifiers held when each key still down was pressed: a key released just after
    // its modifier still counts as typed with it (the window system may report the release
    // with the modifiers of a moment later).
    std::map<std::uint16_t, TShiftState> heldWith_;
};
