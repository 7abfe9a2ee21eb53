#pragma once
// Text controls: TLabel, TEdit, TMemo, TComboBox.
#include <string>

#include "platform/ui/controls.h"
#include "platform/ui/strings.h"

class TUpDown;

// A caption on the form. Its Color fills its background unless Transparent.
class TLabel : public TControl {
public:
    explicit TLabel(TWinControl* parent);

    bool Transparent() const { return transparent_; }
    void SetTransparent(bool on);
    // With AutoSize (the default) the label takes the size of its text.
    bool AutoSize() const { return autoSize_; }
    void SetAutoSize(bool on);

    TNotifyEvent OnClick;  // user click

protected:
    void ApplyText() override;
    void ApplyColor() override;
    void ApplyFont() override;

private:
    void FitText();
    bool transparent_ = false;
    bool autoSize_ = true;
};

// A one-line edit field.
//  - SetText fires OnChange when the text differs; typing fires OnChange at every change.
//  - OnClick fires only when the user clicks into the field.
//  - OnKeyPress (after the form's preview) may change the character or swallow it (0).
//  - Ctrl+Z, Ctrl+Y and Ctrl+D are left to the program (form keys, menu shortcuts): the
//    field has no undo of its own on those keys.
class TEdit : public TWinControl {
public:
    explicit TEdit(TWinControl* parent);
    ~TEdit() override;

    std::string Text() const override;
    void SetText(std::string text) override;

    // A character shown in place of each typed one (0: the text itself).
    char PasswordChar() const { return passwordChar_; }
    void SetPasswordChar(char c);
    bool ReadOnly() const { return readOnly_; }
    void SetReadOnly(bool on);
    void SelectAll();

    TNotifyEvent OnChange;
    TNotifyEvent OnClick;

    // For the layer: the up-down control that shows its position in this edit.
    TUpDown* AssociatedUpDown() const { return upDown_; }
    void SetAssociatedUpDown(TUpDown* upDown) { upDown_ = upDown; }

protected:
    void ApplyText() override;
    void ApplyColor() override;

private:
    void UserEdited();
    char passwordChar_ = 0;
    bool readOnly_ = false;
    TUpDown* upDown_ = nullptr;
};

// A masked edit of the platform is, here, an edit (its password character included).
using TMaskEdit = TEdit;

// A multi-line text box. Changing Lines updates the box (no event); typing updates Lines
// and fires OnChange.
class TMemo : public TWinControl {
public:
    explicit TMemo(TWinControl* parent);

    TStrings& Lines() { return lines_; }
    const TStrings& Lines() const { return lines_; }
    std::string Text() const override { return lines_.Text(); }
    void SetText(std::string text) override { lines_.SetText(text); }

    bool ReadOnly() const { return readOnly_; }
    void SetReadOnly(bool on);
    bool WordWrap() const { return wordWrap_; }
    void SetWordWrap(bool on);
    TBorderStyle BorderStyle() const { return borderStyle_; }
    void SetBorderStyle(TBorderStyle style);  // bsNone or bsSingle

    TNotifyEvent OnChange;

protected:
    void ApplyColor() override;

private:
    void ShowLines();
    void UserEdited();
    TStrings lines_;
    bool readOnly_ = false;
    bool wordWrap_ = true;
    TBorderStyle borderStyle_ = bsSingle;
};

// A combo box whose edit part holds any text, also one that is not among its Items.
//  - SetText and SetItemIndex fire nothing.
//  - Typing or choosing an item in the list fires OnChange.
//  - ItemIndex is the index of the item chosen or set, -1 after typing; SetText makes it
//    the index of the first item equal to the text (or -1).
class TComboBox : public TWinControl {
public:
    explicit TComboBox(TWinControl* parent);

    TStrings& Items() { return items_; }
    const TStrings& Items() const { return items_; }

    std::string Text() const override;
    void SetText(std::string text) override;
    int ItemIndex() const { return itemIndex_; }
    void SetItemIndex(int index);  // -1 (or an index out of range) empties the text

    TNotifyEvent OnChange;

protected:
    void ApplyText() override;
    void ApplyColor() override;

private:
    void ShowItems();
    void ShowTextStart();  // a text the program writes shows from its start
    void UserEdited();
    void UserChose(int index);
    TStrings items_;
    int itemIndex_ = -1;
};
