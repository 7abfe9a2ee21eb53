#pragma once
// Small helpers that place a component with its caption or text in one call, used by the
// constructors of the main window.
#include <string>

#include "platform/ui/components.h"

namespace form_building {

constexpr int PanelWidth = 340;
constexpr int RowHeight = 24;
constexpr int EditHeight = 21;

inline TLabel* AddLabel(TWinControl* parent, const std::string& name, const std::string& caption, int left, int top,
                 int width = 0) {
    auto* label = parent->Add<TLabel>(name);
    label->SetCaption(caption);
    label->SetBounds(left, top + 3, width > 0 ? width : 8 + 7 * int(caption.size()), 16);
    label->SetTransparent(true);
    return label;
}

inline TEdit* AddEdit(TWinControl* parent, const std::string& name, const std::string& text, int left, int top, int width) {
    auto* edit = parent->Add<TEdit>(name);
    edit->SetBounds(left, top, width, EditHeight);
    edit->SetText(text);
    return edit;
}

inline TUpDown* AddUpDown(TWinControl* parent, const std::string& name, const std::string& hint, int left, int top,
                   TUDOrientation orientation = udVertical) {
    auto* upDown = parent->Add<TUpDown>(name);
    upDown->SetOrientation(orientation);
    if (orientation == udVertical)
        upDown->SetBounds(left, top, 17, EditHeight);
    else
        upDown->SetBounds(left, top, 34, EditHeight);
    upDown->SetHint(hint);
    return upDown;
}

inline TButton* AddButton(TWinControl* parent, const std::string& name, const std::string& caption, int left, int top,
                   int width = 75) {
    auto* button = parent->Add<TButton>(name);
    button->SetCaption(caption);
    button->SetBounds(left, top, width, 25);
    return button;
}

inline TCheckBox* AddCheckBox(TWinControl* parent, const std::string& name, const std::string& caption, bool checked,
                       int left, int top, int width = 150) {
    auto* box = parent->Add<TCheckBox>(name);
    box->SetCaption(caption);
    box->SetBounds(left, top, width, 19);
    box->SetChecked(checked);
    return box;
}

}  // namespace form_building
