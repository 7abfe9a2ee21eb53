// Text controls: label, edit, memo, combo box.
#include "platform/ui/edits.h"

#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QMouseEvent>
#include <QPalette>
#include <QPlainTextEdit>
#include <QSignalBlocker>

#include "platform/ui/application.h"
#include "platform/ui/event_hook.h"
#include "platform/ui/qt_text.h"
#include "platform/ui/up_down.h"

namespace {

void SetBaseColor(QWidget* widget, TColor color) {
    QPalette palette = widget->palette();
    palette.setColor(QPalette::Base, QColorOf(color));
    widget->setPalette(palette);
}

// Fires the event when the left button is pressed and released inside the widget.
void HookClicks(QWidget* widget, TControl* sender, TNotifyEvent* event) {
    new TEventHook(widget, [widget, sender, event, pressed = false](QObject*, QEvent* e) mutable {
        if (e->type() == QEvent::MouseButtonPress) {
            pressed = static_cast<QMouseEvent*>(e)->button() == Qt::LeftButton;
        } else if (e->type() == QEvent::MouseButtonRelease) {
            auto* mouse = static_cast<QMouseEvent*>(e);
            if (pressed && mouse->button() == Qt::LeftButton && widget->rect().contains(mouse->position().toPoint()) &&
                widget->isEnabled())
                Application->Dispatch([&] { Application->Fire(*event, static_cast<TObject*>(sender)); });
            pressed = false;
        }
        return false;
    });
}

}  // namespace

// --- TLabel ---

TLabel::TLabel(TWinControl* parent) : TControl(parent, parent->OwnerForm()) {
    auto* label = new QLabel(parent->ClientWidget());
    label->setTextFormat(Qt::PlainText);
    AttachWidget(label, 65, 13);
    SetColor(parent->Color());
    HookClicks(label, this, &OnClick);
}

void TLabel::SetTransparent(bool on) {
    transparent_ = on;
    ApplyColor();
}

void TLabel::SetAutoSize(bool on) {
    autoSize_ = on;
    FitText();
}

void TLabel::ApplyText() {
    static_cast<QLabel*>(Widget())->setText(ToQString(Text()));
    FitText();
}

void TLabel::ApplyColor() {
    QPalette palette = Widget()->palette();
    palette.setColor(QPalette::Window, QColorOf(Color()));
    Widget()->setPalette(palette);
    Widget()->setAutoFillBackground(!transparent_);
}

void TLabel::ApplyFont() {
    TControl::ApplyFont();
    FitText();
}

void TLabel::FitText() {
    if (!autoSize_ || Align() != alNone) return;
    const QSize hint = Widget()->sizeHint();
    SetBounds(Left(), Top(), hint.width(), hint.height());
}

// --- TEdit ---

TEdit::TEdit(TWinControl* parent) : TWinControl(parent, parent->OwnerForm()) {
    auto* edit = new QLineEdit(parent->ClientWidget());
    AttachWidget(edit, 121, 21);
    SetColor(clWindow);
    QObject::connect(edit, &QLineEdit::textEdited, edit, [this] { Application->Dispatch([this] { UserEdited(); }); });
    HookClicks(edit, this, &OnClick);
}

TEdit::~TEdit() {
    if (upDown_) upDown_->SetAssociate(nullptr);
}

std::string TEdit::Text() const { return TControl::Text(); }

void TEdit::SetText(std::string text) {
    if (text == Text()) return;
    StoreText(std::move(text));
    ApplyText();
    Application->Fire(OnChange, static_cast<TObject*>(this));
}

void TEdit::ApplyText() {
    auto* edit = static_cast<QLineEdit*>(Widget());
    const QSignalBlocker block(edit);
    edit->setText(ToQString(Text()));
    edit->setCursorPosition(0);  // a text the program writes shows from its start
}

void TEdit::UserEdited() {
    std::string text = FromQString(static_cast<QLineEdit*>(Widget())->text());
    if (text == Text()) return;
    StoreText(std::move(text));
    Application->Fire(OnChange, static_cast<TObject*>(this));
}

void TEdit::SetPasswordChar(char c) {
    passwordChar_ = c;
    static_cast<QLineEdit*>(Widget())->setEchoMode(c ? QLineEdit::Password : QLineEdit::Normal);
}

void TEdit::SetReadOnly(bool on) {
    readOnly_ = on;
    static_cast<QLineEdit*>(Widget())->setReadOnly(on);
}

void TEdit::SelectAll() { static_cast<QLineEdit*>(Widget())->selectAll(); }

void TEdit::ApplyColor() { SetBaseColor(Widget(), Color()); }

// --- TMemo ---

TMemo::TMemo(TWinControl* parent) : TWinControl(parent, parent->OwnerForm()) {
    auto* memo = new QPlainTextEdit(parent->ClientWidget());
    AttachWidget(memo, 185, 89);
    SetColor(clWindow);
    lines_.SetChangeHook([this] { ShowLines(); });
    QObject::connect(memo, &QPlainTextEdit::textChanged, memo,
                     [this] { Application->Dispatch([this] { UserEdited(); }); });
}

void TMemo::ShowLines() {
    auto* memo = static_cast<QPlainTextEdit*>(Widget());
    std::string joined;
    for (int i = 0; i < lines_.Count(); ++i) {
        if (i) joined += '\n';
        joined += lines_[i];
    }
    const QSignalBlocker block(memo);
    memo->setPlainText(ToQString(joined));
}

void TMemo::UserEdited() {
    const std::string text = FromQString(static_cast<QPlainTextEdit*>(Widget())->toPlainText());
    std::vector<std::string> lines;
    if (!text.empty()) {
        size_t start = 0;
        for (;;) {
            const size_t end = text.find('\n', start);
            lines.push_back(text.substr(start, end == std::string::npos ? std::string::npos : end - start));
            if (end == std::string::npos) break;
            start = end + 1;
        }
    }
    lines_.ReplaceSilently(std::move(lines));
    Application->Fire(OnChange, static_cast<TObject*>(this));
}

void TMemo::SetReadOnly(bool on) {
    readOnly_ = on;
    static_cast<QPlainTextEdit*>(Widget())->setReadOnly(on);
}

void TMemo::SetWordWrap(bool on) {
    wordWrap_ = on;
    static_cast<QPlainTextEdit*>(Widget())->setLineWrapMode(on ? QPlainTextEdit::WidgetWidth : QPlainTextEdit::NoWrap);
}

void TMemo::SetBorderStyle(TBorderStyle style) {
    borderStyle_ = style;
    static_cast<QPlainTextEdit*>(Widget())->setFrameShape(style == bsNone ? QFrame::NoFrame : QFrame::StyledPanel);
}

void TMemo::ApplyColor() { SetBaseColor(Widget(), Color()); }

// --- TComboBox ---

TComboBox::TComboBox(TWinControl* parent) : TWinControl(parent, parent->OwnerForm()) {
    auto* combo = new QComboBox(parent->ClientWidget());
    combo->setEditable(true);
    combo->setInsertPolicy(QComboBox::NoInsert);
    combo->setCompleter(nullptr);
    AttachWidget(combo, 145, 21);
    SetColor(clWindow);
    items_.SetChangeHook([this] { ShowItems(); });
    QObject::connect(combo->lineEdit(), &QLineEdit::textEdited, combo,
                     [this] { Application->Dispatch([this] { UserEdited(); }); });
    QObject::connect(combo, &QComboBox::activated, combo,
                     [this](int index) { Application->Dispatch([this, index] { UserChose(index); }); });
}

std::string TComboBox::Text() const { return TControl::Text(); }

void TComboBox::SetText(std::string text) {
    itemIndex_ = items_.IndexOf(text);
    StoreText(std::move(text));
    ApplyText();
    ShowTextStart();
}

void TComboBox::SetItemIndex(int index) {
    if (index < 0 || index >= items_.Count()) {
        itemIndex_ = -1;
        StoreText({});
    } else {
        itemIndex_ = index;
        StoreText(items_[index]);
    }
    ApplyText();
    ShowTextStart();
}

void TComboBox::ApplyText() {
    auto* combo = static_cast<QComboBox*>(Widget());
    const QSignalBlocker block(combo);
    const QSignalBlocker blockEdit(combo->lineEdit());
    combo->setCurrentIndex(itemIndex_);
    combo->setEditText(ToQString(Text()));
}

void TComboBox::ShowTextStart() {
    if (QLineEdit* line = static_cast<QComboBox*>(Widget())->lineEdit()) line->setCursorPosition(0);
}

void TComboBox::ShowItems() {
    auto* combo = static_cast<QComboBox*>(Widget());
    {
        const QSignalBlocker block(combo);
        combo->clear();
        for (const std::string& item : items_) combo->addItem(ToQString(item));
    }
    if (itemIndex_ >= items_.Count() || (itemIndex_ >= 0 && items_[itemIndex_] != Text())) itemIndex_ = -1;
    ApplyText();
}

void TComboBox::UserEdited() {
    StoreText(FromQString(static_cast<QComboBox*>(Widget())->lineEdit()->text()));
    itemIndex_ = -1;
    Application->Fire(OnChange, static_cast<TObject*>(this));
}

void TComboBox::UserChose(int index) {
    if (index < 0 || index >= items_.Count()) return;
    itemIndex_ = index;
    StoreText(items_[index]);
    ApplyText();
    Application->Fire(OnChange, static_cast<TObject*>(this));
}

void TComboBox::ApplyColor() { SetBaseColor(Widget(), Color()); }
