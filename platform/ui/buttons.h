#pragma once
// Buttons: TButton, TBitBtn, TSpeedButton, TCheckBox, TRadioButton.
#include <string>

#include "platform/ui/controls.h"

// A push button; OnClick fires on a user click.
class TButton : public TWinControl {
public:
    explicit TButton(TWinControl* parent);
    TNotifyEvent OnClick;
};

// A push button that may carry a picture on the platform; here a push button.
class TBitBtn : public TButton {
public:
    explicit TBitBtn(TWinControl* parent) : TButton(parent) {}
};

// A speed button. Setting Down fires nothing. A user click toggles Down by the group rules,
// then fires OnClick:
//  - GroupIndex 0: the button springs back up (Down stays false).
//  - GroupIndex > 0: the click presses the button; a pressed button is released by a click
//    only when AllowAllUp; pressing one releases the other buttons of the same parent with
//    the same GroupIndex (they fire nothing).
// SetDown follows the same rules (SetDown(false) on a pressed button of a group without
// AllowAllUp does nothing).
class TSpeedButton : public TControl {
public:
    explicit TSpeedButton(TWinControl* parent);

    bool Down() const { return down_; }
    void SetDown(bool down);
    int GroupIndex() const { return groupIndex_; }
    void SetGroupIndex(int index) { groupIndex_ = index; }
    bool AllowAllUp() const { return allowAllUp_; }
    void SetAllowAllUp(bool on) { allowAllUp_ = on; }
    bool Flat() const { return flat_; }
    void SetFlat(bool on);

    TNotifyEvent OnClick;

private:
    void UserClicked();
    void ShowDown();
    bool down_ = false;
    int groupIndex_ = 0;
    bool allowAllUp_ = false;
    bool flat_ = false;
};

// A check box. Setting Checked fires OnClick when the state changes; a user click toggles
// the state, then fires OnClick.
class TCheckBox : public TWinControl {
public:
    explicit TCheckBox(TWinControl* parent);

    bool Checked() const { return checked_; }
    void SetChecked(bool checked);

    TNotifyEvent OnClick;

private:
    void UserClicked();
    bool checked_ = false;
};

// An option button; the option buttons of one parent form a group. Checking one (by
// SetChecked or a user click) unchecks the others of its group and fires its OnClick;
// an option button that is unchecked (by a sibling or by SetChecked(false)) fires nothing,
// and a click on the checked one changes nothing.
class TRadioButton : public TWinControl {
public:
    explicit TRadioButton(TWinControl* parent);

    bool Checked() const { return checked_; }
    void SetChecked(bool checked);

    TNotifyEvent OnClick;

private:
    void UserClicked();
    void ShowChecked();
    bool checked_ = false;
};
