#pragma once
// The application-wide filter that gives keys to the program's forms and controls in the
// platform's order (layer only).
#include <QObject>

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
};
