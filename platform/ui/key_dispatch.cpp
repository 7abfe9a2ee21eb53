// Keys: menu shortcuts, the form's key preview, the focused control's key events, then the
// widget's own handling.
//
// Order of a key press: Enter on an item of the menu bar highlighted from the keyboard, or
// a menu shortcut of the form (the key then goes no further);
// OnKeyDown of the form (key preview) and of the control; OnKeyPress of the form (key
// preview) and of the control, which may change or swallow the character; the widget.
// A release: OnKeyUp of the form (key preview) and of the control; auto-repeated releases
// fire nothing. Setting Key to 0 swallows the key. Ctrl+Z, Ctrl+Y and Ctrl+D never reach
// a line edit's own undo, redo or delete: they are the program's.
#include "platform/ui/key_dispatch.h"

#include <QCoreApplication>
#include <QKeyEvent>
#include <QLineEdit>
#include <QWidget>

#include "platform/ui/application.h"
#include "platform/ui/key_mapping.h"
#include "platform/ui/menus.h"
#include "platform/ui/qt_text.h"

namespace {

// The character of a key press as the platform gives it to OnKeyPress; 0 for none.
char CharacterOf(const QKeyEvent& key) {
    switch (key.key()) {
        case Qt::Key_Return:
        case Qt::Key_Enter: return 13;
        case Qt::Key_Escape: return 27;
        case Qt::Key_Backspace: return 8;
        case Qt::Key_Tab:
        case Qt::Key_Backtab:
        case Qt::Key_Delete: return 0;
        default: break;
    }
    const QString text = key.text();
    if (text.size() == 1) {
        const char32_t code = text.at(0).unicode();
        if (code == 0x7F) return 0;
        const int byte = text::UnicodeToCp1252(code);
        if (byte > 0) return char(byte);
    }
    if (key.modifiers().testFlag(Qt::ControlModifier) && key.key() >= Qt::Key_A && key.key() <= Qt::Key_Z)
        return char(key.key() - Qt::Key_A + 1);
    return 0;
}

// A form the application still holds (not one being destroyed).
bool IsLiveForm(const TForm* form) {
    if (!form) return false;
    for (const auto& f : Application->Forms())
        if (f.get() == form) return true;
    return false;
}

bool IsProgramShortcutInLineEdit(QObject* receiver, const QKeyEvent& key) {
    if (!qobject_cast<QLineEdit*>(receiver)) return false;
    if (!key.modifiers().testFlag(Qt::ControlModifier)) return false;
    return key.key() == Qt::Key_Z || key.key() == Qt::Key_Y || key.key() == Qt::Key_D;
}

}  // namespace

bool TKeyEventFilter::eventFilter(QObject* watched, QEvent* event) {
    const QEvent::Type type = event->type();
    if (type == QEvent::FocusIn) {
        if (auto* widget = qobject_cast<QWidget*>(watched)) {
            if (auto* control = dynamic_cast<TWinControl*>(TControl::FromWidget(widget));
                control && IsLiveForm(control->OwnerForm())) {
                if (TForm* form = control->OwnerForm(); form && form != control && form->ActiveControl() != control)
                    form->SetActiveControl(control);
            }
        }
        return false;
    }
    if (type != QEvent::KeyPress && type != QEvent::KeyRelease) return false;
    if (delivering_ > 0) return false;  // our own delivery of a key already handled
    auto* widget = qobject_cast<QWidget*>(watched);
    if (!widget) return false;
    TControl* control = TControl::FromWidget(widget);
    if (!control || !IsLiveForm(control->OwnerForm())) return false;
    TForm& form = *control->OwnerForm();
    auto* target = dynamic_cast<TWinControl*>(control);
    if (!target) target = &form;
    auto& key = *static_cast<QKeyEvent*>(event);

    bool deliver = false;
    char replacement = 0;
    if (type == QEvent::KeyPress) {
        app_.Dispatch([&] { deliver = KeyPressed(watched, key, form, *target, &replacement); });
    } else {
        app_.Dispatch([&] { deliver = KeyReleased(key, form, *target); });
    }
    // Accepted: Qt must not offer the key to the parent widgets again (the widget's own
    // delivery below already passed it up to them if the widget ignored it).
    event->accept();
    if (!deliver) return true;

    ++delivering_;
    if (replacement != 0) {
        QKeyEvent changed(key.type(), key.key(), key.modifiers(), ToQString(std::string(1, replacement)),
                          key.isAutoRepeat(), ushort(key.count()));
        QCoreApplication::sendEvent(watched, &changed);
    } else {
        QCoreApplication::sendEvent(watched, event);
    }
    --delivering_;
    event->accept();
    return true;
}

bool TKeyEventFilter::KeyPressed(QObject* receiver, QKeyEvent& key, TForm& form, TWinControl& target,
                                 char* replacement) {
    const TShiftState shift = ShiftFromQt(key.modifiers());
    const std::uint16_t code = VirtualKeyFromQt(key.key(), key.modifiers());
    const bool preview = form.KeyPreview() && &target != &form;
    const bool enter = key.key() == Qt::Key_Return || key.key() == Qt::Key_Enter || key.key() == Qt::Key_Space;
    if (enter && form.Menu() && form.Menu()->RunHighlightedItem()) return false;
    if (code != 0) {
        if (!key.isAutoRepeat()) heldWith_[code] = shift;
        if (form.Menu()) {
            if (TMenuItem* item = form.Menu()->FindShortCut(ShortCut(code, shift))) {
                item->UserClicked();
                return false;
            }
        }
        std::uint16_t k = code;
        if (preview) app_.Fire(form.OnKeyDown, static_cast<TObject*>(&form), k, shift);
        if (k == 0) return false;
        app_.Fire(target.OnKeyDown, static_cast<TObject*>(&target), k, shift);
        if (k == 0) return false;
    }
    const char typed = CharacterOf(key);
    if (typed != 0) {
        char c = typed;
        if (preview) app_.Fire(form.OnKeyPress, static_cast<TObject*>(&form), c);
        if (c == 0) return false;
        app_.Fire(target.OnKeyPress, static_cast<TObject*>(&target), c);
        if (c == 0) return false;
        if (c != typed) *replacement = c;
    }
    return !IsProgramShortcutInLineEdit(receiver, key);
}

bool TKeyEventFilter::KeyReleased(QKeyEvent& key, TForm& form, TWinControl& target) {
    if (key.isAutoRepeat()) return true;
    const std::uint16_t code = VirtualKeyFromQt(key.key(), key.modifiers());
    if (code == 0) return true;
    TShiftState shift = ShiftFromQt(key.modifiers());
    if (const auto held = heldWith_.find(code); held != heldWith_.end()) {
        for (TShiftStateItem modifier : {ssShift, ssCtrl, ssAlt})
            if (held->second.Contains(modifier)) shift << modifier;
        heldWith_.erase(held);
    }
    std::uint16_t k = code;
    if (form.KeyPreview() && &target != &form) app_.Fire(form.OnKeyUp, static_cast<TObject*>(&form), k, shift);
    if (k == 0) return false;
    app_.Fire(target.OnKeyUp, static_cast<TObject*>(&target), k, shift);
    return k != 0;
}
