#pragma once
// TMainMenu and TMenuItem.
#include <memory>
#include <string>
#include <vector>

#include "platform/ui/controls.h"

class QAction;
class QMenu;
class QMenuBar;
class TMainMenu;

// One menu item. Items are created by their parent item:
//   Fichier1 = MainMenu1->Items().Add("Fichier1", "Fichier");
//   Nouveau1 = Fichier1->Add("Nouveau1", "Nouveau");
//   Fichier1->AddSeparator();
// A caption "-" is a separator too. SetChecked fires nothing and a click does not check
// the item: OnClick decides. A click (or the item's ShortCut pressed in its form) fires
// OnClick when the item and its parents are enabled.
class TMenuItem : public TComponent {
public:
    TMenuItem(TMenuItem* parent, TMainMenu* menu, TForm* ownerForm);
    ~TMenuItem() override;

    TMenuItem* Add(std::string name, std::string caption);
    TMenuItem* AddSeparator();
    int Count() const { return int(items_.size()); }
    TMenuItem* Items(int index) const { return items_.at(size_t(index)).get(); }
    TMenuItem* Parent() const { return parent_; }

    const std::string& Caption() const { return caption_; }
    void SetCaption(std::string caption);
    bool Checked() const { return checked_; }
    void SetChecked(bool checked);
    bool Enabled() const { return enabled_; }
    void SetEnabled(bool enabled);
    bool Visible() const { return visible_; }
    void SetVisible(bool visible);
    TShortCut ShortCut() const { return shortCut_; }
    void SetShortCut(TShortCut shortCut);
    const std::string& Hint() const { return hint_; }
    void SetHint(std::string hint) { hint_ = std::move(hint); }
    bool IsSeparator() const { return caption_ == "-"; }

    TNotifyEvent OnClick;

    // For the layer and the harness.
    QAction* Action() const { return action_; }
    // The item and all its parents are enabled and visible.
    bool Reachable() const;
    void UserClicked();
    // The reachable item of this subtree with the shortcut, or nullptr.
    TMenuItem* FindShortCut(TShortCut shortCut);

private:
    void ShowCaption();
    QMenu* SubMenu();
    TMenuItem* parent_;
    TMainMenu* menu_;
    std::vector<std::unique_ptr<TMenuItem>> items_;
    QAction* action_ = nullptr;  // null for the root
    QMenu* subMenu_ = nullptr;
    std::string caption_;
    std::string hint_;
    bool checked_ = false;
    bool enabled_ = true;
    bool visible_ = true;
    TShortCut shortCut_ = 0;
};

// The menu bar of a form (created with Add<TMainMenu> on the form).
class TMainMenu : public TComponent {
public:
    explicit TMainMenu(TWinControl* parent);
    ~TMainMenu() override;

    TMenuItem& Items() { return *root_; }
    // The reachable item with the shortcut, or nullptr.
    TMenuItem* FindShortCut(TShortCut shortCut) { return root_->FindShortCut(shortCut); }
    // Enter on the menu bar: an item of the bar itself (one without a menu, such as "?")
    // that the keyboard highlighted runs. False when no such item is highlighted.
    bool RunHighlightedItem();

    QMenuBar* MenuBar() const { return bar_; }

private:
    QMenuBar* bar_ = nullptr;
    std::unique_ptr<TMenuItem> root_;
};
