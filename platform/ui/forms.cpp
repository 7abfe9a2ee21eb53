// TForm: a top-level window with a client area below its menu bar.
#include "platform/ui/forms.h"

#include <QCloseEvent>
#include <QMenuBar>
#include <QMoveEvent>
#include <QResizeEvent>
#include <QGuiApplication>
#include <QScreen>
#include <QVariant>
#include <QWidget>

#include <algorithm>

#include "platform/ui/application.h"
#include "platform/ui/menus.h"
#include "platform/ui/qt_text.h"
#include "platform/ui/window_placement.h"

namespace {

// The offscreen platform has no window manager and no work area to keep to: windows go
// where the program puts them, and maximise by themselves.
bool OnScreenPlatform() { return QGuiApplication::platformName() != QLatin1String("offscreen"); }

// Without a window manager (a bare X server) a maximise request is ignored: the window
// first takes the work area as its normal place, so it fills the screen there too. A
// window manager then maximises it with its frame inside the work area.
void ShowMaximized(QWidget* widget) {
    if (OnScreenPlatform() && !widget->isMaximized()) widget->setGeometry(WorkAreaOf(widget));
    widget->showMaximized();
}

}  // namespace

// Follows what the window system does to the form's window: resizing, moving, closing,
// activation, maximising.
class TFormEventFilter : public QObject {
public:
    TFormEventFilter(TForm& form, TApplication& app) : form_(form), app_(app) {}

    bool eventFilter(QObject* watched, QEvent* event) override {
        if (watched != form_.Widget()) return false;
        switch (event->type()) {
            case QEvent::Resize: {
                const QSize size = static_cast<QResizeEvent*>(event)->size();
                app_.Dispatch([&] { form_.SystemResized(size.width(), size.height()); });
                form_.FrameChanged();
                return false;
            }
            case QEvent::Move: {
                const QPoint pos = form_.Widget()->pos();
                form_.SystemMoved(pos.x(), pos.y());
                form_.FrameChanged();
                return false;
            }
            case QEvent::Close:
                event->ignore();
                app_.Dispatch([&] { form_.UserClose(); });
                return true;
            case QEvent::WindowActivate:
                if ((app_.FollowsSystemActivation() || !event->spontaneous()) && form_.Visible())
                    app_.Dispatch([&] { app_.ActivateForm(&form_); });
                return false;
            case QEvent::WindowStateChange: {
                const Qt::WindowStates s = form_.Widget()->windowState();
                form_.windowState_ = s.testFlag(Qt::WindowMaximized)   ? wsMaximized
                                     : s.testFlag(Qt::WindowMinimized) ? wsMinimized
                                                                       : wsNormal;
                return false;
            }
            default:
                return false;
        }
    }

private:
    TForm& form_;
    TApplication& app_;
};

TForm::TForm(TApplication& app, std::string name) : TWinControl(nullptr, nullptr), app_(app) {
    app_.Initialize();
    SetOwnerForm(this);
    SetName(std::move(name));
    StoreVisible(false);
    auto* window = new QWidget(nullptr, Qt::Window);
    client_ = new QWidget(window);
    client_->setProperty("curvesControl", QVariant::fromValue(static_cast<void*>(static_cast<TControl*>(this))));
    AttachWidget(window, 640, 480);
    LayoutClient();
    SetColor(clBtnFace);
    filter_ = std::make_unique<TFormEventFilter>(*this, app_);
    window->installEventFilter(filter_.get());
}

TForm::~TForm() {
    if (Widget()) Widget()->removeEventFilter(filter_.get());
    DestroyComponents();
    client_->setProperty("curvesControl", QVariant());
}

void TForm::DestroyComponents() {
    activeControl_ = nullptr;
    while (!components_.empty()) components_.pop_back();
    menu_ = nullptr;
}

void TForm::FinishCreate() {
    created_ = true;
    app_.UpdateScreen();
    app_.Fire(OnCreate, static_cast<TObject*>(this));
}

void TForm::SetVisible(bool visible) {
    if (visible == Visible()) {
        if (visible) app_.ActivateForm(this);
        return;
    }
    if (visible) {
        StoreVisible(true);
        app_.UpdateScreen();
        switch (windowState_) {
            case wsMaximized: ShowMaximized(Widget()); break;
            case wsMinimized: Widget()->showMinimized(); break;
            case wsNormal:
                KeepFrameOnScreen();
                framePending_ = OnScreenPlatform();
                Widget()->show();
                break;
        }
        app_.Fire(OnShow, static_cast<TObject*>(this));
        if (Visible()) app_.FormShown(this);
    } else {
        StoreVisible(false);
        Widget()->hide();
        app_.Fire(OnHide, static_cast<TObject*>(this));
        app_.FormHidden(this);
    }
}

void TForm::SetBounds(int left, int top, int width, int height) {
    // Placing a maximised window makes it a normal one first (else the system keeps it
    // filling the screen).
    if (windowState_ != wsNormal && Visible()) {
        windowState_ = wsNormal;
        Widget()->showNormal();
    }
    TWinControl::SetBounds(left, top, width, height);
    if (Visible() && windowState_ == wsNormal) KeepFrameOnScreen();
    // The position is that of the frame, as the window system reports it back.
    Widget()->move(Left(), Top());
}

void TForm::KeepFrameOnScreen() {
    if (!OnScreenPlatform()) return;
    const QMargins frame = FrameMarginsOf(Widget());
    const QRect wanted = QRect(Left(), Top(), Width(), Height()).marginsAdded(frame);
    const QRect fitted = FitFrameInside(wanted, WorkAreaOf(Widget()));
    if (fitted != wanted) {
        const QRect client = fitted.marginsRemoved(frame);
        TWinControl::SetBounds(fitted.left(), fitted.top(), client.width(), client.height());
    }
    Widget()->move(Left(), Top());
}

// The window manager has framed a window that was just shown: once its frame is known,
// the whole frame is brought inside the work area.
void TForm::FrameChanged() {
    if (!framePending_ || !Widget()->isVisible()) return;
    if (!LearnFrameMargins(Widget())) return;
    framePending_ = false;
    const QRect frame = Widget()->frameGeometry();
    if (FitFrameInside(frame, WorkAreaOf(Widget())) != frame) app_.Dispatch([&] { KeepFrameOnScreen(); });
}

void TForm::Resized() {
    LayoutClient();
    Realign();
    app_.Fire(OnResize, static_cast<TObject*>(this));
}

void TForm::SystemResized(int width, int height) {
    if (width == Width() && height == Height()) return;
    TakeGeometry(Left(), Top(), width, height);
}

void TForm::SystemMoved(int left, int top) { TakeGeometry(left, top, Width(), Height()); }

void TForm::Close() {
    bool canClose = true;
    if (!app_.RunHandler([&] {
            if (OnCloseQuery) {
                auto handler = OnCloseQuery;
                handler(this, canClose);
            }
        }))
        return;
    if (!canClose) return;
    app_.FormClosed(this);  // the main form ends the program first
    Hide();
}

void TForm::UserClose() { Close(); }

bool TForm::Active() const { return app_.ActiveForm() == this; }

void TForm::SetWindowState(TWindowState state) {
    windowState_ = state;
    if (!Visible()) return;
    switch (state) {
        case wsMaximized: ShowMaximized(Widget()); break;
        case wsMinimized: Widget()->showMinimized(); break;
        case wsNormal: Widget()->showNormal(); break;
    }
}

void TForm::SetBorderStyle(TBorderStyle style) {
    borderStyle_ = style;
    Qt::WindowFlags flags = Qt::Window;
    switch (style) {
        case bsNone: flags |= Qt::FramelessWindowHint; break;
        case bsToolWindow:
        case bsSizeToolWin: flags = Qt::Tool; break;
        case bsDialog: flags = Qt::Dialog; break;
        case bsSingle:
        case bsSizeable: break;
    }
    const bool shown = Visible();
    Widget()->setWindowFlags(flags);
    if (shown) Widget()->show();
}

int TForm::ClientWidth() const { return Width(); }

int TForm::ClientHeight() const {
    const int bar = menu_ && menu_->MenuBar() ? menu_->MenuBar()->sizeHint().height() : 0;
    return std::max(0, Height() - bar);
}

void TForm::SetClientSize(int width, int height) {
    SetBounds(Left(), Top(), width, height + (Height() - ClientHeight()));
}

void TForm::SetActiveControl(TWinControl* control) {
    activeControl_ = control;
    if (control && control->Widget()) {
        control->Widget()->setFocus(Qt::OtherFocusReason);
    } else if (QWidget* focused = Widget() ? Widget()->focusWidget() : nullptr) {
        focused->clearFocus();  // the form itself takes the keys
    }
}

void TForm::MenuChanged() {
    LayoutClient();
    Realign();
}

void TForm::LayoutClient() {
    const int bar = Height() - ClientHeight();
    if (menu_ && menu_->MenuBar()) menu_->MenuBar()->setGeometry(0, 0, Width(), bar);
    client_->setGeometry(0, bar, ClientWidth(), ClientHeight());
}

void TForm::ApplyText() { Widget()->setWindowTitle(ToQString(Text())); }

void TForm::UpdateWidget() { TWinControl::UpdateWidget(); }
