// Buttons: push buttons, speed buttons, check boxes, option buttons.
#include "platform/ui/buttons.h"

#include <QCheckBox>
#include <QPushButton>
#include <QRadioButton>
#include <QSignalBlocker>
#include <QToolButton>

#include "platform/ui/application.h"
#include "platform/ui/qt_text.h"

// --- TButton ---

TButton::TButton(TWinControl* parent) : TWinControl(parent, parent->OwnerForm()) {
    auto* button = new QPushButton(parent->ClientWidget());
    button->setAutoDefault(false);
    AttachWidget(button, 75, 25);
    QObject::connect(button, &QAbstractButton::clicked, button,
                     [this] { Application->Dispatch([this] { Application->Fire(OnClick, static_cast<TObject*>(this)); }); });
}

// --- TSpeedButton ---

TSpeedButton::TSpeedButton(TWinControl* parent) : TControl(parent, parent->OwnerForm()) {
    auto* button = new QToolButton(parent->ClientWidget());
    button->setCheckable(true);
    button->setFocusPolicy(Qt::NoFocus);
    AttachWidget(button, 23, 22);
    QObject::connect(button, &QAbstractButton::clicked, button,
                     [this] { Application->Dispatch([this] { UserClicked(); }); });
}

void TSpeedButton::SetDown(bool down) {
    if (groupIndex_ == 0) down = false;
    if (down == down_) {
        ShowDown();
        return;
    }
    if (down_ && !allowAllUp_) {
        ShowDown();
        return;
    }
    down_ = down;
    if (down_ && Parent()) {
        for (TControl* sibling : Parent()->Controls()) {
            auto* other = dynamic_cast<TSpeedButton*>(sibling);
            if (other && other != this && other->groupIndex_ == groupIndex_ && other->down_) {
                other->down_ = false;
                other->ShowDown();
            }
        }
    }
    ShowDown();
}

void TSpeedButton::UserClicked() {
    // The widget toggled itself; the group rules decide.
    SetDown(!down_);
    ShowDown();
    Application->Fire(OnClick, static_cast<TObject*>(this));
}

void TSpeedButton::ShowDown() {
    auto* button = static_cast<QToolButton*>(Widget());
    const QSignalBlocker block(button);
    button->setChecked(down_);
}

void TSpeedButton::SetFlat(bool on) {
    flat_ = on;
    static_cast<QToolButton*>(Widget())->setAutoRaise(on);
}

// --- TCheckBox ---

TCheckBox::TCheckBox(TWinControl* parent) : TWinControl(parent, parent->OwnerForm()) {
    auto* box = new QCheckBox(parent->ClientWidget());
    AttachWidget(box, 97, 17);
    QObject::connect(box, &QAbstractButton::clicked, box,
                     [this] { Application->Dispatch([this] { UserClicked(); }); });
}

void TCheckBox::SetChecked(bool checked) {
    if (checked == checked_) return;
    checked_ = checked;
    {
        auto* box = static_cast<QCheckBox*>(Widget());
        const QSignalBlocker block(box);
        box->setChecked(checked_);
    }
    Application->Fire(OnClick, static_cast<TObject*>(this));
}

void TCheckBox::UserClicked() {
    const bool shown = static_cast<QCheckBox*>(Widget())->isChecked();
    checked_ = shown;
    Application->Fire(OnClick, static_cast<TObject*>(this));
}

// --- TRadioButton ---

TRadioButton::TRadioButton(TWinControl* parent) : TWinControl(parent, parent->OwnerForm()) {
    auto* button = new QRadioButton(parent->ClientWidget());
    button->setAutoExclusive(false);  // the group rules are ours
    AttachWidget(button, 113, 17);
    QObject::connect(button, &QAbstractButton::clicked, button,
                     [this] { Application->Dispatch([this] { UserClicked(); }); });
}

void TRadioButton::SetChecked(bool checked) {
    if (checked == checked_) return;
    checked_ = checked;
    ShowChecked();
    if (!checked_) return;
    if (Parent()) {
        for (TControl* sibling : Parent()->Controls()) {
            auto* other = dynamic_cast<TRadioButton*>(sibling);
            if (other && other != this && other->checked_) {
                other->checked_ = false;
                other->ShowChecked();
            }
        }
    }
    Application->Fire(OnClick, static_cast<TObject*>(this));
}

void TRadioButton::UserClicked() {
    if (checked_) {
        ShowChecked();  // a click on the checked button leaves it checked
        return;
    }
    SetChecked(true);
}

void TRadioButton::ShowChecked() {
    auto* button = static_cast<QRadioButton*>(Widget());
    const QSignalBlocker block(button);
    button->setChecked(checked_);
}
