// Containers: panel, group box, page control and its pages.
#include "platform/ui/containers.h"

#include <QFrame>
#include <QGroupBox>
#include <QLabel>
#include <QSignalBlocker>
#include <QTabBar>
#include <QWidget>

#include <algorithm>
#include <stdexcept>

#include "platform/ui/application.h"
#include "platform/ui/qt_text.h"

// --- TPanel ---

TPanel::TPanel(TWinControl* parent) : TWinControl(parent, parent->OwnerForm()) {
    auto* frame = new QFrame(parent->ClientWidget());
    frame->setFrameStyle(QFrame::Panel | QFrame::Raised);
    auto* caption = new QLabel(frame);
    caption->setAlignment(Qt::AlignCenter);
    caption->setAttribute(Qt::WA_TransparentForMouseEvents);
    caption_ = caption;
    AttachWidget(frame, 185, 41);
    SetColor(parent->Color());
    caption_->setGeometry(0, 0, Width(), Height());
}

void TPanel::ApplyText() { static_cast<QLabel*>(caption_)->setText(ToQString(Text())); }

void TPanel::ApplyColor() { TWinControl::ApplyColor(); }

void TPanel::Resized() {
    caption_->setGeometry(0, 0, Width(), Height());
    TWinControl::Resized();
}

// --- TGroupBox ---

TGroupBox::TGroupBox(TWinControl* parent) : TWinControl(parent, parent->OwnerForm()) {
    AttachWidget(new QGroupBox(parent->ClientWidget()), 185, 105);
}

int TGroupBox::ClientWidth() const { return std::max(0, Width() - 4); }
int TGroupBox::ClientHeight() const { return std::max(0, Height() - 18); }
TRect TGroupBox::ClientArea() const { return TRect{2, 16, 2 + ClientWidth(), 16 + ClientHeight()}; }

void TGroupBox::ApplyText() { static_cast<QGroupBox*>(Widget())->setTitle(ToQString(Text())); }

// --- TPageControl ---

TPageControl::TPageControl(TWinControl* parent) : TWinControl(parent, parent->OwnerForm()) {
    auto* box = new QWidget(parent->ClientWidget());
    tabBar_ = new QTabBar(box);
    tabBar_->setExpanding(false);
    AttachWidget(box, 289, 193);
    QObject::connect(tabBar_, &QTabBar::currentChanged, box,
                     [this](int index) { Application->Dispatch([this, index] { UserChose(index); }); });
    Resized();
}

TTabSheet* TPageControl::Pages(int index) const { return pages_.at(size_t(index)); }

TTabSheet* TPageControl::ActivePage() const { return active_ >= 0 ? pages_[size_t(active_)] : nullptr; }

void TPageControl::SetActivePage(TTabSheet* page) {
    const auto it = std::find(pages_.begin(), pages_.end(), page);
    if (it != pages_.end()) SetActivePageIndex(int(it - pages_.begin()));
}

void TPageControl::SetActivePageIndex(int index) {
    if (index < -1 || index >= PageCount()) return;
    active_ = index;
    ShowActive();
}

void TPageControl::ShowActive() {
    {
        const QSignalBlocker block(tabBar_);
        tabBar_->setCurrentIndex(active_);
    }
    for (size_t i = 0; i < pages_.size(); ++i) pages_[i]->SetVisible(int(i) == active_);
}

void TPageControl::UserChose(int index) {
    if (index < 0 || index >= PageCount() || index == active_) return;
    active_ = index;
    ShowActive();
    Application->Fire(OnChange, static_cast<TObject*>(this));
}

void TPageControl::AddPage(TTabSheet* page) {
    pages_.push_back(page);
    {
        const QSignalBlocker block(tabBar_);
        tabBar_->addTab(ToQString(page->Caption()));
    }
    if (active_ < 0) active_ = 0;
    Resized();
    ShowActive();
}

void TPageControl::RemovePage(TTabSheet* page) {
    const auto it = std::find(pages_.begin(), pages_.end(), page);
    if (it == pages_.end()) return;
    const int index = int(it - pages_.begin());
    pages_.erase(it);
    {
        const QSignalBlocker block(tabBar_);
        tabBar_->removeTab(index);
    }
    if (active_ >= PageCount()) active_ = PageCount() - 1;
    ShowActive();
}

void TPageControl::PageCaptionChanged(TTabSheet* page) {
    const auto it = std::find(pages_.begin(), pages_.end(), page);
    if (it != pages_.end()) tabBar_->setTabText(int(it - pages_.begin()), ToQString(page->Caption()));
}

int TPageControl::ClientWidth() const { return Width(); }

int TPageControl::ClientHeight() const { return std::max(0, Height() - tabBar_->sizeHint().height()); }

void TPageControl::Resized() {
    const int bar = Height() - ClientHeight();
    tabBar_->setGeometry(0, 0, Width(), bar);
    for (TTabSheet* page : pages_) page->PlaceAt(0, bar, ClientWidth(), ClientHeight());
}

// --- TTabSheet ---

namespace {

TPageControl& PageControlOf(TWinControl* parent) {
    auto* pc = dynamic_cast<TPageControl*>(parent);
    if (!pc) throw std::invalid_argument("a tab sheet belongs to a page control");
    return *pc;
}

}  // namespace

TTabSheet::TTabSheet(TWinControl* parent) : TWinControl(parent, parent->OwnerForm()) {
    pageControl_ = &PageControlOf(parent);
    AttachWidget(new QWidget(pageControl_->Widget()), pageControl_->ClientWidth(), pageControl_->ClientHeight());
    pageControl_->AddPage(this);
}

TTabSheet::~TTabSheet() {
    if (pageControl_) pageControl_->RemovePage(this);
}

int TTabSheet::PageIndex() const {
    for (int i = 0; i < pageControl_->PageCount(); ++i)
        if (pageControl_->Pages(i) == this) return i;
    return -1;
}

void TTabSheet::ApplyText() { pageControl_->PageCaptionChanged(this); }
