// TUpDown and TTrackBar.
#include "platform/ui/up_down.h"

#include <QSignalBlocker>
#include <QSlider>
#include <QToolButton>
#include <QWidget>

#include <algorithm>
#include <charconv>
#include <string>

#include "platform/ui/application.h"
#include "platform/ui/edits.h"

namespace {

// A decimal integer, optionally signed and surrounded by blanks; false for anything else.
bool ParseInteger(const std::string& text, long long& value) {
    size_t begin = text.find_first_not_of(" \t");
    size_t end = text.find_last_not_of(" \t");
    if (begin == std::string::npos) return false;
    const char* first = text.data() + begin;
    const char* last = text.data() + end + 1;
    if (*first == '+') ++first;
    if (first == last) return false;
    const auto [ptr, ec] = std::from_chars(first, last, value);
    return ec == std::errc() && ptr == last;
}

}  // namespace

// --- TUpDown ---

TUpDown::TUpDown(TWinControl* parent) : TWinControl(parent, parent->OwnerForm()) {
    auto* box = new QWidget(parent->ClientWidget());
    auto* next = new QToolButton(box);
    auto* prev = new QToolButton(box);
    for (QToolButton* b : {next, prev}) {
        b->setAutoRepeat(true);
        b->setFocusPolicy(Qt::NoFocus);
    }
    next_ = next;
    prev_ = prev;
    AttachWidget(box, 17, 21);
    SetOrientation(udVertical);
    QObject::connect(next, &QToolButton::clicked, box,
                     [this] { Application->Dispatch([this] { UserClicked(btNext); }); });
    QObject::connect(prev, &QToolButton::clicked, box,
                     [this] { Application->Dispatch([this] { UserClicked(btPrev); }); });
}

TUpDown::~TUpDown() {
    if (associate_) associate_->SetAssociatedUpDown(nullptr);
}

int TUpDown::Clamp(int value) const {
    const int lo = std::min(min_, max_);
    const int hi = std::max(min_, max_);
    return std::clamp(value, lo, hi);
}

int TUpDown::Position() const {
    long long typed = 0;
    if (associate_ && ParseInteger(associate_->Text(), typed)) {
        const long long lo = std::min(min_, max_);
        const long long hi = std::max(min_, max_);
        position_ = int(std::clamp(typed, lo, hi));
    }
    return position_;
}

void TUpDown::SetPosition(int value) {
    position_ = Clamp(value);
    WriteAssociate();
}

void TUpDown::SetAssociate(TEdit* edit) {
    if (associate_ == edit) return;
    if (associate_) associate_->SetAssociatedUpDown(nullptr);
    associate_ = edit;
    if (associate_) {
        associate_->SetAssociatedUpDown(this);
        WriteAssociate();
    }
}

void TUpDown::WriteAssociate() {
    if (associate_) associate_->SetText(std::to_string(position_));
}

void TUpDown::UserClicked(TUDBtnType button) {
    const long long lo = std::min(min_, max_);
    const long long hi = std::max(min_, max_);
    long long value = Position();
    value += button == btNext ? increment_ : -(long long)increment_;
    if (value > hi) value = wrap_ ? lo : hi;
    if (value < lo) value = wrap_ ? hi : lo;
    position_ = int(value);
    WriteAssociate();
    Application->Fire(OnClick, static_cast<TObject*>(this), button);
}

void TUpDown::SetOrientation(TUDOrientation orientation) {
    orientation_ = orientation;
    auto* next = static_cast<QToolButton*>(next_);
    auto* prev = static_cast<QToolButton*>(prev_);
    next->setArrowType(orientation == udVertical ? Qt::UpArrow : Qt::RightArrow);
    prev->setArrowType(orientation == udVertical ? Qt::DownArrow : Qt::LeftArrow);
    Resized();
}

void TUpDown::Resized() {
    const int w = Width();
    const int h = Height();
    if (orientation_ == udVertical) {
        next_->setGeometry(0, 0, w, h / 2);
        prev_->setGeometry(0, h / 2, w, h - h / 2);
    } else {
        prev_->setGeometry(0, 0, w / 2, h);
        next_->setGeometry(w / 2, 0, w - w / 2, h);
    }
}

QWidget* TUpDown::ArrowWidget(TUDBtnType button) const { return button == btNext ? next_ : prev_; }

// --- TTrackBar ---

TTrackBar::TTrackBar(TWinControl* parent) : TWinControl(parent, parent->OwnerForm()) {
    auto* slider = new QSlider(Qt::Horizontal, parent->ClientWidget());
    slider->setTickPosition(QSlider::TicksBelow);
    AttachWidget(slider, 150, 45);
    ShowRange();
    QObject::connect(slider, &QSlider::valueChanged, slider,
                     [this](int value) { Application->Dispatch([this, value] { UserMoved(value); }); });
}

void TTrackBar::SetMin(int value) {
    min_ = value;
    if (max_ < min_) max_ = min_;
    position_ = std::clamp(position_, min_, max_);
    ShowRange();
}

void TTrackBar::SetMax(int value) {
    max_ = value;
    if (min_ > max_) min_ = max_;
    position_ = std::clamp(position_, min_, max_);
    ShowRange();
}

void TTrackBar::SetPosition(int value) {
    position_ = std::clamp(value, min_, max_);
    ShowRange();
}

void TTrackBar::SetFrequency(int value) {
    frequency_ = std::max(value, 1);
    ShowRange();
}

void TTrackBar::ShowRange() {
    auto* slider = static_cast<QSlider*>(Widget());
    const QSignalBlocker block(slider);
    slider->setRange(min_, max_);
    slider->setValue(position_);
    slider->setTickInterval(frequency_);
}

void TTrackBar::UserMoved(int value) {
    if (value == position_) return;
    position_ = value;
    Application->Fire(OnChange, static_cast<TObject*>(this));
}
