// TMainMenu and TMenuItem over a Qt menu bar. Shortcuts are handled by the key dispatch
// (the menu shows them as text), so that they reach the program the same way from a
// real keyboard and from the test harness.
#include "platform/ui/menus.h"

#include <QAction>
#include <QCursor>
#include <QMenu>
#include <QMenuBar>
#include <QSignalBlocker>
#include <QWidget>

#include <stdexcept>

#include "platform/ui/application.h"
#include "platform/ui/qt_text.h"

// --- TMenuItem ---

TMenuItem::TMenuItem(TMenuItem* parent, TMainMenu* menu, TForm* ownerForm)
    : TComponent(ownerForm), parent_(parent), menu_(menu) {
    if (!parent_) return;  // the root holds the top-level items
    action_ = new QAction(menu_->MenuBar());
    if (!parent_->parent_)
        menu_->MenuBar()->addAction(action_);
    else
        parent_->SubMenu()->addAction(action_);
    QObject::connect(action_, &QAction::triggered, action_,
                     [this] { Application->Dispatch([this] { UserClicked(); }); });
}

TMenuItem::~TMenuItem() {
    items_.clear();
    delete subMenu_;
    delete action_;
}

TMenuItem* TMenuItem::Add(std::string name, std::string caption) {
    auto item = std::make_unique<TMenuItem>(this, menu_, OwnerForm());
    TMenuItem* raw = item.get();
    items_.push_back(std::move(item));
    raw->SetName(std::move(name));
    raw->SetCaption(std::move(caption));
    if (OwnerForm()) OwnerForm()->MenuChanged();
    return raw;
}

TMenuItem* TMenuItem::AddSeparator() { return Add({}, "-"); }

QMenu* TMenuItem::SubMenu() {
    if (!subMenu_) {
        subMenu_ = new QMenu(menu_->MenuBar());
        action_->setMenu(subMenu_);
    }
    return subMenu_;
}

void TMenuItem::SetCaption(std::string caption) {
    caption_ = std::move(caption);
    ShowCaption();
}

void TMenuItem::SetShortCut(TShortCut shortCut) {
    shortCut_ = shortCut;
    ShowCaption();
}

void TMenuItem::ShowCaption() {
    if (!action_) return;
    // A separator is a line alone: styles draw the text of a separator beside its line.
    action_->setSeparator(IsSeparator());
    if (IsSeparator()) {
        action_->setText(QString());
        return;
    }
    QString text = ToQString(caption_);
    if (shortCut_ != 0) text += QLatin1Char('\t') + ToQString(ShortCutToText(shortCut_));
    action_->setText(text);
}

void TMenuItem::SetChecked(bool checked) {
    checked_ = checked;
    if (!action_) return;
    const QSignalBlocker block(action_);
    action_->setCheckable(checked_);
    action_->setChecked(checked_);
}

void TMenuItem::SetEnabled(bool enabled) {
    enabled_ = enabled;
    if (action_) action_->setEnabled(enabled);
}

void TMenuItem::SetVisible(bool visible) {
    visible_ = visible;
    if (action_) action_->setVisible(visible);
}

bool TMenuItem::Reachable() const {
    for (const TMenuItem* item = this; item && item->parent_; item = item->parent_)
        if (!item->enabled_ || !item->visible_) return false;
    return parent_ != nullptr;
}

void TMenuItem::UserClicked() {
    SetChecked(checked_);  // the menu item does not check itself
    if (!Reachable() || IsSeparator()) return;
    Application->Fire(OnClick, static_cast<TObject*>(this));
}

TMenuItem* TMenuItem::FindShortCut(TShortCut shortCut) {
    if (shortCut == 0) return nullptr;
    for (const auto& item : items_) {
        if (item->shortCut_ == shortCut && item->Reachable()) return item.get();
        if (TMenuItem* found = item->FindShortCut(shortCut)) return found;
    }
    return nullptr;
}

// --- TMainMenu ---

namespace {

TForm& FormOf(TWinControl* parent) {
    if (!parent || !parent->OwnerForm()) throw std::invalid_argument("a main menu belongs to a form");
    return *parent->OwnerForm();
}

}  // namespace

TMainMenu::TMainMenu(TWinControl* parent) : TComponent(&FormOf(parent)) {
    TForm& form = *OwnerForm();
    bar_ = new QMenuBar(form.Widget());
    root_ = std::make_unique<TMenuItem>(nullptr, this, &form);
    form.SetMenu(this);
    form.MenuChanged();
}

bool TMainMenu::RunHighlightedItem() {
    QAction* highlighted = bar_ ? bar_->activeAction() : nullptr;
    if (!highlighted || highlighted->menu() || highlighted->isSeparator()) return false;
    // An item only hovered by the mouse is highlighted too: Enter then belongs to the
    // control that has the focus.
    if (bar_->actionGeometry(highlighted).contains(bar_->mapFromGlobal(QCursor::pos()))) return false;
    bar_->setActiveAction(nullptr);
    highlighted->trigger();  // the item's click, as from the mouse
    return true;
}

TMainMenu::~TMainMenu() {
    root_.reset();
    TForm* form = OwnerForm();
    const bool current = form && form->Menu() == this;
    if (current) form->SetMenu(nullptr);
    delete bar_;
    if (current) form->MenuChanged();
}
