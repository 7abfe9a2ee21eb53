// User actions on components through real Qt events.
#include "tests/support/user_actions.h"

#include <gtest/gtest.h>

#include <QAction>
#include <QCheckBox>
#include <QComboBox>
#include <QCoreApplication>
#include <QElapsedTimer>
#include <QImage>
#include <QKeyEvent>
#include <QLineEdit>
#include <QMouseEvent>
#include <QRadioButton>
#include <QTabBar>
#include <QTableView>
#include <QWidget>

#include <algorithm>
#include <cstdlib>
#include <map>

#include "platform/text/cp1252.h"
#include "platform/ui/key_mapping.h"

namespace uitest {

namespace {

QString Q(const std::string& cp1252) { return QString::fromStdString(text::Cp1252ToUtf8(cp1252)); }

bool Reachable(const TControl* control, const char* action) {
    if (!control || !control->Widget()) {
        ADD_FAILURE() << action << ": no control";
        return false;
    }
    if (!control->Showing() || !control->OwnerForm() || !control->OwnerForm()->Visible()) {
        ADD_FAILURE() << action << ": " << control->Name() << " is not showing";
        return false;
    }
    for (const TControl* c = control; c; c = c->Parent())
        if (!c->Enabled()) return false;  // a disabled control ignores the user (no failure)
    return true;
}

void SendMouse(QWidget* widget, QEvent::Type type, QPoint pos, Qt::MouseButton button, Qt::MouseButtons buttons,
               Qt::KeyboardModifiers modifiers) {
    const QPointF local(pos);
    const QPointF global(widget->mapToGlobal(pos));
    QMouseEvent event(type, local, global, button, buttons, modifiers);
    QCoreApplication::sendEvent(widget, &event);
}

void ClickWidget(QWidget* widget, QPoint pos) {
    SendMouse(widget, QEvent::MouseButtonPress, pos, Qt::LeftButton, Qt::LeftButton, Qt::NoModifier);
    SendMouse(widget, QEvent::MouseButtonRelease, pos, Qt::LeftButton, Qt::NoButton, Qt::NoModifier);
}

// The widget that takes the keys of a control: the focused part of it.
QWidget* KeyReceiver(QWidget* widget) {
    if (auto* combo = qobject_cast<QComboBox*>(widget); combo && combo->lineEdit()) return combo->lineEdit();
    if (QWidget* focused = widget->focusWidget(); focused && (focused == widget || widget->isAncestorOf(focused)))
        return focused;
    return widget;
}

QWidget* FormKeyReceiver(TForm* form) {
    if (TWinControl* active = form->ActiveControl(); active && active->Widget()) return KeyReceiver(active->Widget());
    if (QWidget* focused = form->Widget()->focusWidget()) return focused;
    return form->Widget();
}

// The text a key press carries, as a keyboard gives it.
QString KeyText(std::uint16_t key, TShiftState shift) {
    const bool ctrl = shift.Contains(ssCtrl);
    if (key >= 'A' && key <= 'Z') {
        if (ctrl) return QString(QChar(char16_t(key - 'A' + 1)));
        return QString(QChar(char16_t(shift.Contains(ssShift) ? key : key - 'A' + 'a')));
    }
    if (key >= '0' && key <= '9' && !ctrl) return QString(QChar(char16_t(key)));
    switch (key) {
        case VK_RETURN: return QStringLiteral("\r");
        case VK_ESCAPE: return QString(QChar(char16_t(27)));
        case VK_BACK: return QStringLiteral("\b");
        case VK_SPACE: return QStringLiteral(" ");
        default: return {};
    }
}

void SendKey(QWidget* receiver, QEvent::Type type, int qtKey, Qt::KeyboardModifiers modifiers, const QString& text,
             bool autoRepeat) {
    QKeyEvent event(type, qtKey, modifiers, text, autoRepeat);
    QCoreApplication::sendEvent(receiver, &event);
}

void SendVirtualKey(QWidget* receiver, QEvent::Type type, std::uint16_t key, TShiftState shift, bool autoRepeat) {
    bool keypad = false;
    const int qtKey = QtKeyFromVirtualKey(key, &keypad);
    Qt::KeyboardModifiers modifiers = QtModifiersFromShift(shift);
    if (keypad) modifiers |= Qt::KeypadModifier;
    SendKey(receiver, type, qtKey, modifiers, KeyText(key, shift), autoRepeat);
}

std::map<const QWidget*, Qt::MouseButtons>& HeldButtons() {
    static std::map<const QWidget*, Qt::MouseButtons> held;
    return held;
}

Qt::MouseButton QtButton(TMouseButton button) {
    switch (button) {
        case mbLeft: return Qt::LeftButton;
        case mbRight: return Qt::RightButton;
        case mbMiddle: return Qt::MiddleButton;
    }
    return Qt::LeftButton;
}

}  // namespace

void Click(TControl* control) {
    if (!Reachable(control, "Click")) return;
    QWidget* widget = control->Widget();
    QPoint pos = widget->rect().center();
    if (qobject_cast<QCheckBox*>(widget) || qobject_cast<QRadioButton*>(widget))
        pos = QPoint(std::min(7, widget->width() / 2), widget->height() / 2);  // on the box
    ClickWidget(widget, pos);
}

void ClickUpDown(TUpDown* upDown, TUDBtnType button) {
    if (!Reachable(upDown, "ClickUpDown")) return;
    QWidget* arrow = upDown->ArrowWidget(button);
    ClickWidget(arrow, arrow->rect().center());
}

void ClickMenu(TMenuItem* item) {
    if (!item || !item->Action()) {
        ADD_FAILURE() << "ClickMenu: not a menu item";
        return;
    }
    if (!item->OwnerForm() || !item->OwnerForm()->Visible()) {
        ADD_FAILURE() << "ClickMenu: the form of " << item->Name() << " is not showing";
        return;
    }
    if (!item->Reachable()) return;  // a user cannot choose a disabled or hidden item
    item->Action()->trigger();      // what the menu does when the user chooses the item
}

void ChooseItem(TComboBox* combo, int index) {
    if (!Reachable(combo, "ChooseItem")) return;
    auto* box = static_cast<QComboBox*>(combo->Widget());
    if (index < 0 || index >= box->count()) {
        ADD_FAILURE() << "ChooseItem: no item " << index;
        return;
    }
    // What the drop-down list does when the user picks an item.
    box->setCurrentIndex(index);
    emit box->activated(index);
}

void ChooseTab(TPageControl* pages, int index) {
    if (!Reachable(pages, "ChooseTab")) return;
    QTabBar* bar = pages->TabBar();
    const QRect tab = bar->tabRect(index);
    if (!tab.isValid()) {
        ADD_FAILURE() << "ChooseTab: no tab " << index;
        return;
    }
    ClickWidget(bar, tab.center());
}

void EditCell(TStringGrid* grid, int col, int row, const std::string& text) {
    if (!Reachable(grid, "EditCell")) return;
    auto* view = static_cast<QTableView*>(grid->Widget());
    const QModelIndex index = view->model()->index(row, col);
    if (!(view->model()->flags(index) & Qt::ItemIsEditable)) {
        ADD_FAILURE() << "EditCell: cell " << col << ", " << row << " is not editable";
        return;
    }
    // What the cell editor does when the user commits the text.
    view->model()->setData(index, Q(text), Qt::EditRole);
}

void MouseDown(TImage* image, TMouseButton button, int x, int y, TShiftState shift) {
    if (!Reachable(image, "MouseDown")) return;
    QWidget* w = image->Widget();
    Qt::MouseButtons& held = HeldButtons()[w];
    held |= QtButtonsFromShift(shift) | QtButton(button);
    SendMouse(w, QEvent::MouseButtonPress, QPoint(x, y), QtButton(button), held, QtModifiersFromShift(shift));
}

void MouseMove(TImage* image, int x, int y, TShiftState shift) {
    if (!Reachable(image, "MouseMove")) return;
    QWidget* w = image->Widget();
    const Qt::MouseButtons held = HeldButtons()[w] | QtButtonsFromShift(shift);
    SendMouse(w, QEvent::MouseMove, QPoint(x, y), Qt::NoButton, held, QtModifiersFromShift(shift));
}

void MouseUp(TImage* image, TMouseButton button, int x, int y, TShiftState shift) {
    if (!Reachable(image, "MouseUp")) return;
    QWidget* w = image->Widget();
    Qt::MouseButtons& held = HeldButtons()[w];
    held &= ~Qt::MouseButtons(QtButton(button));
    SendMouse(w, QEvent::MouseButtonRelease, QPoint(x, y), QtButton(button), held, QtModifiersFromShift(shift));
    if (!held) HeldButtons().erase(w);
}

void Drag(TImage* image, TMouseButton button, int x0, int y0, int x1, int y1, int step) {
    MouseDown(image, button, x0, y0);
    const int steps = std::max(1, std::max(std::abs(x1 - x0), std::abs(y1 - y0)) / std::max(1, step));
    for (int i = 1; i <= steps; ++i)
        MouseMove(image, x0 + (x1 - x0) * i / steps, y0 + (y1 - y0) * i / steps);
    MouseUp(image, button, x1, y1);
}

void Focus(TWinControl* control) {
    if (!Reachable(control, "Focus")) return;
    control->SetFocus();
}

void TypeText(TWinControl* control, const std::string& text) {
    if (!Reachable(control, "TypeText")) return;
    control->SetFocus();
    QWidget* receiver = KeyReceiver(control->Widget());
    for (const char c : text) {
        const QString typed = Q(std::string(1, c));
        const QChar ch = typed.isEmpty() ? QChar() : typed.at(0);
        Qt::KeyboardModifiers modifiers;
        if (ch.isLetter() && ch.isUpper()) modifiers |= Qt::ShiftModifier;
        const int qtKey = ch.isNull() ? int(Qt::Key_unknown) : int(ch.toUpper().unicode());
        SendKey(receiver, QEvent::KeyPress, qtKey, modifiers, typed, false);
        SendKey(receiver, QEvent::KeyRelease, qtKey, modifiers, typed, false);
    }
}

void ReplaceText(TWinControl* control, const std::string& text) {
    if (!Reachable(control, "ReplaceText")) return;
    control->SetFocus();
    QWidget* receiver = KeyReceiver(control->Widget());
    SendVirtualKey(receiver, QEvent::KeyPress, VK_HOME, {}, false);
    SendVirtualKey(receiver, QEvent::KeyRelease, VK_HOME, {}, false);
    SendVirtualKey(receiver, QEvent::KeyPress, VK_END, TShiftState{ssShift}, false);
    SendVirtualKey(receiver, QEvent::KeyRelease, VK_END, TShiftState{ssShift}, false);
    if (text.empty()) {
        SendVirtualKey(receiver, QEvent::KeyPress, VK_DELETE, {}, false);
        SendVirtualKey(receiver, QEvent::KeyRelease, VK_DELETE, {}, false);
    }
    TypeText(control, text);
}

void PressKey(TForm* form, std::uint16_t key, TShiftState shift) {
    if (!Reachable(form, "PressKey")) return;
    QWidget* receiver = FormKeyReceiver(form);
    SendVirtualKey(receiver, QEvent::KeyPress, key, shift, false);
    SendVirtualKey(receiver, QEvent::KeyRelease, key, shift, false);
}

void PressKey(TWinControl* control, std::uint16_t key, TShiftState shift) {
    if (!Reachable(control, "PressKey")) return;
    control->SetFocus();
    QWidget* receiver = KeyReceiver(control->Widget());
    SendVirtualKey(receiver, QEvent::KeyPress, key, shift, false);
    SendVirtualKey(receiver, QEvent::KeyRelease, key, shift, false);
}

void KeyDown(TWinControl* control, std::uint16_t key, TShiftState shift, bool autoRepeat) {
    if (!Reachable(control, "KeyDown")) return;
    TForm* form = control->OwnerForm();
    QWidget* receiver = control == form ? FormKeyReceiver(form) : KeyReceiver(control->Widget());
    SendVirtualKey(receiver, QEvent::KeyPress, key, shift, autoRepeat);
}

void KeyUp(TWinControl* control, std::uint16_t key, TShiftState shift, bool autoRepeat) {
    if (!Reachable(control, "KeyUp")) return;
    TForm* form = control->OwnerForm();
    QWidget* receiver = control == form ? FormKeyReceiver(form) : KeyReceiver(control->Widget());
    SendVirtualKey(receiver, QEvent::KeyRelease, key, shift, autoRepeat);
}

void Activate(TForm* form) {
    if (!Reachable(form, "Activate")) return;
    QEvent event(QEvent::WindowActivate);
    QCoreApplication::sendEvent(form->Widget(), &event);
}

void LeaveAndReturn(TForm* form) {
    if (!Reachable(form, "LeaveAndReturn")) return;
    QEvent leave(QEvent::WindowDeactivate);
    QCoreApplication::sendEvent(form->Widget(), &leave);
    QEvent back(QEvent::WindowActivate);
    QCoreApplication::sendEvent(form->Widget(), &back);
}

void Resize(TForm* form, int width, int height) {
    if (!Reachable(form, "Resize")) return;
    form->Widget()->resize(width, height);
}

void Close(TForm* form) {
    if (!Reachable(form, "Close")) return;
    form->Widget()->close();
}

TColor Pixel(TImage* image, int x, int y) { return image->Canvas().Pixels(x, y); }

TColor ShownPixel(TImage* image, int x, int y) {
    const QImage shown = image->Widget()->grab().toImage();
    if (x < 0 || y < 0 || x >= shown.width() || y >= shown.height()) return clInvalid;
    return PixelToColor(shown.pixel(x, y));
}

bool WaitUntil(const std::function<bool()>& condition, std::chrono::milliseconds timeout) {
    QElapsedTimer timer;
    timer.start();
    while (!condition()) {
        if (timer.elapsed() >= timeout.count()) return condition();
        QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents, 20);
    }
    return true;
}

}  // namespace uitest
