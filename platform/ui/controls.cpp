// The base classes: geometry, alignment, visibility, colour, font, focus.
#include "platform/ui/controls.h"

#include <QAbstractButton>
#include <QFont>
#include <QPalette>
#include <QVariant>
#include <QWidget>

#include <algorithm>

#include "platform/ui/forms.h"
#include "platform/ui/qt_text.h"

namespace {

constexpr const char* kControlProperty = "curvesControl";

bool SameFont(const TFont& a, const TFont& b) {
    return a.Name == b.Name && a.Height == b.Height && a.Color == b.Color && a.Bold == b.Bold;
}

QColor ToQColor(TColor c) { return QColorOf(c); }

}  // namespace

TComponent::~TComponent() = default;

// --- TControl ---

TControl::TControl(TWinControl* parent, TForm* ownerForm) : TComponent(ownerForm), parent_(parent) {
    if (parent_) {
        parent_->children_.push_back(this);
        Font = parent_->Font;
    }
}

TControl::~TControl() {
    if (parent_) {
        auto& siblings = parent_->children_;
        siblings.erase(std::remove(siblings.begin(), siblings.end(), this), siblings.end());
    }
    if (widget_) {
        // Events sent while the widget goes away must not find this control any more.
        widget_->setProperty(kControlProperty, QVariant());
        delete widget_;
    }
}

void TControl::AttachWidget(QWidget* widget, int width, int height) {
    widget_ = widget;
    widget_->setProperty(kControlProperty, QVariant::fromValue(static_cast<void*>(this)));
    width_ = std::max(width, 0);
    height_ = std::max(height, 0);
    widget_->setGeometry(left_, top_, width_, height_);
    ApplyFont();
    if (parent_) widget_->setVisible(visible_);
}

TControl* TControl::FromWidget(const QWidget* widget) {
    for (const QWidget* w = widget; w; w = w->parentWidget()) {
        const QVariant v = w->property(kControlProperty);
        if (v.isValid()) return static_cast<TControl*>(v.value<void*>());
    }
    return nullptr;
}

void TControl::SetBounds(int left, int top, int width, int height) { ApplyGeometry(left, top, width, height, true); }

void TControl::PlaceAt(int left, int top, int width, int height) { ApplyGeometry(left, top, width, height, false); }

void TControl::ApplyGeometry(int left, int top, int width, int height, bool realignParent) {
    width = std::max(width, 0);
    height = std::max(height, 0);
    if (left == left_ && top == top_ && width == width_ && height == height_) return;
    const bool resized = width != width_ || height != height_;
    left_ = left;
    top_ = top;
    width_ = width;
    height_ = height;
    if (widget_) widget_->setGeometry(left_, top_, width_, height_);
    if (realignParent && align_ != alNone && parent_) parent_->Realign();
    if (resized) Resized();
}

void TControl::TakeGeometry(int left, int top, int width, int height) {
    const bool resized = width != width_ || height != height_;
    left_ = left;
    top_ = top;
    width_ = width;
    height_ = height;
    if (resized) Resized();
}

void TControl::SetAlign(TAlign align) {
    if (align == align_) return;
    align_ = align;
    if (parent_) parent_->Realign();
}

void TControl::SetVisible(bool visible) {
    if (visible == visible_) return;
    visible_ = visible;
    if (widget_) widget_->setVisible(visible);
    if (align_ != alNone && parent_) parent_->Realign();
}

bool TControl::Showing() const {
    if (!visible_) return false;
    return parent_ ? parent_->Showing() : true;
}

void TControl::SetEnabled(bool enabled) {
    if (enabled == enabled_) return;
    enabled_ = enabled;
    if (widget_) widget_->setEnabled(enabled);
}

void TControl::SetHint(std::string hint) {
    hint_ = std::move(hint);
    if (widget_) widget_->setToolTip(ToQString(hint_));
}

void TControl::SetColor(TColor color) {
    color_ = color;
    ApplyColor();
}

void TControl::SetText(std::string text) {
    text_ = std::move(text);
    ApplyText();
}

void TControl::Repaint() {
    if (widget_) widget_->repaint();
}

void TControl::UpdateWidget() {
    if (!fontApplied_ || !SameFont(Font, appliedFont_)) ApplyFont();
}

void TControl::ApplyText() {
    // Buttons of every kind show the text as their caption.
    if (auto* button = qobject_cast<QAbstractButton*>(widget_)) button->setText(ToQString(text_));
}

void TControl::ApplyColor() {
    if (!widget_) return;
    QPalette palette = widget_->palette();
    palette.setColor(QPalette::Window, ToQColor(color_));
    widget_->setPalette(palette);
    widget_->setAutoFillBackground(true);
}

void TControl::ApplyFont() {
    if (!widget_) return;
    QFont font = widget_->font();
    font.setFamily(ToQString(Font.Name));
    const int height = std::clamp(Font.Height, -TCanvas::MaxFontHeight, TCanvas::MaxFontHeight);
    // A negative height is the em size; a positive one the cell height, about 1.2 em.
    font.setPixelSize(std::max(1, height < 0 ? -height : height * 5 / 6));
    font.setBold(Font.Bold);
    widget_->setFont(font);
    QPalette palette = widget_->palette();
    const QColor text = ToQColor(Font.Color);
    palette.setColor(QPalette::WindowText, text);
    palette.setColor(QPalette::Text, text);
    palette.setColor(QPalette::ButtonText, text);
    widget_->setPalette(palette);
    appliedFont_ = Font;
    fontApplied_ = true;
}

// --- TWinControl ---

TWinControl::TWinControl(TWinControl* parent, TForm* ownerForm) : TControl(parent, ownerForm) {}

TWinControl::~TWinControl() {
    if (TForm* form = OwnerForm(); form && form != this && form->ActiveControl() == this)
        form->SetActiveControl(nullptr);
}

void TWinControl::Adopt(std::unique_ptr<TComponent> component, std::string name) {
    component->SetName(std::move(name));
    OwnerForm()->AdoptComponent(std::move(component));
}

void TWinControl::SetFocus() {
    if (TForm* form = OwnerForm()) {
        if (form == this)
            form->SetActiveControl(nullptr);
        else
            form->SetActiveControl(this);
    }
}

bool TWinControl::Focused() const {
    const TForm* form = OwnerForm();
    return form && form != this && form->ActiveControl() == this && form->Active();
}

bool TWinControl::CanFocus() const {
    if (!Showing()) return false;
    for (const TControl* c = this; c; c = c->Parent())
        if (!c->Enabled()) return false;
    return true;
}

void TWinControl::Realign() {
    TRect area = ClientArea();
    for (TAlign kind : {alTop, alBottom, alLeft, alRight, alClient}) {
        for (TControl* child : children_) {
            if (child->Align() != kind || !child->Visible()) continue;
            const int w = child->Width();
            const int h = child->Height();
            switch (kind) {
                case alTop:
                    child->PlaceAt(area.Left, area.Top, area.Width(), h);
                    area.Top += h;
                    break;
                case alBottom:
                    child->PlaceAt(area.Left, area.Bottom - h, area.Width(), h);
                    area.Bottom -= h;
                    break;
                case alLeft:
                    child->PlaceAt(area.Left, area.Top, w, area.Height());
                    area.Left += w;
                    break;
                case alRight:
                    child->PlaceAt(area.Right - w, area.Top, w, area.Height());
                    area.Right -= w;
                    break;
                case alClient:
                    child->PlaceAt(area.Left, area.Top, area.Width(), area.Height());
                    break;
                case alNone:
                    break;
            }
            area.Bottom = std::max(area.Bottom, area.Top);
            area.Right = std::max(area.Right, area.Left);
        }
    }
}
