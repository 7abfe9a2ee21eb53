// TApplication: forms, the message loop, the error boundary, activation and services.
#include "platform/ui/application.h"

#include <QAbstractEventDispatcher>
#include <QApplication>
#include <QWidget>

#include <algorithm>
#include <cstdio>
#include <stdexcept>

#include "platform/ui/key_dispatch.h"
#include "platform/ui/platform_look.h"

namespace {
TApplication g_application;
}  // namespace

TApplication* const Application = &g_application;

// Makes the handlers run inside a nested message loop outermost ones again.
class TNestedLoop {
public:
    explicit TNestedLoop(TApplication& app) : app_(app), saved_(app.handlerDepth_) { app_.handlerDepth_ = 0; }
    ~TNestedLoop() { app_.handlerDepth_ = saved_; }
    TNestedLoop(const TNestedLoop&) = delete;
    TNestedLoop& operator=(const TNestedLoop&) = delete;

private:
    TApplication& app_;
    int saved_;
};

TApplication::TApplication() = default;

TApplication::~TApplication() {
    try {
        DestroyForms();
    } catch (...) {
    }
}

void TApplication::Initialize() {
    if (qapp_) return;
    Initialize(0, nullptr);
}

void TApplication::Initialize(int argc, char** argv) {
    if (qapp_) return;
    if (auto* existing = qobject_cast<QApplication*>(QCoreApplication::instance())) {
        qapp_ = existing;
    } else {
        argv_.clear();
        if (argc > 0 && argv) {
            for (int i = 0; i < argc; ++i) argv_.push_back(argv[i]);
        } else {
            argv_.push_back(programName_.data());
        }
        argv_.push_back(nullptr);
        argc_ = int(argv_.size()) - 1;
        qapp_ = new QApplication(argc_, argv_.data());  // kept until the process ends
    }
    QApplication::setQuitOnLastWindowClosed(false);
    InstallFrenchTranslations(*qapp_);
    InstallKeyboardMenuBar(*qapp_);
    followSystemActivation_ = QGuiApplication::platformName() != QStringLiteral("offscreen");
    InstallEventFilter();
    const TPlatformServices qt = QtPlatformServices();
    TPlatformServices fill;
    if (!services_.MessageBoxes) fill.MessageBoxes = qt.MessageBoxes;
    if (!services_.FileDialogs) fill.FileDialogs = qt.FileDialogs;
    if (!services_.Cursor) fill.Cursor = qt.Cursor;
    if (!services_.Screen) fill.Screen = qt.Screen;
    if (!services_.Clipboard) fill.Clipboard = qt.Clipboard;
    InstallServices(fill);
    if (auto* dispatcher = QAbstractEventDispatcher::instance(qapp_->thread()))
        QObject::connect(dispatcher, &QAbstractEventDispatcher::aboutToBlock, qapp_, [this] { UpdateScreen(); });
}

void TApplication::InstallEventFilter() {
    keyFilter_ = std::make_unique<TKeyEventFilter>(*this);
    qapp_->installEventFilter(keyFilter_.get());
}

void TApplication::AddForm(std::unique_ptr<TForm> form) {
    TForm* raw = form.get();
    forms_.push_back(std::move(form));
    raw->FinishCreate();
}

void TApplication::Run() {
    Initialize();
    running_ = true;
    if (!terminated_ && MainForm() && !MainForm()->Visible()) MainForm()->Show();
    while (!terminated_ && MainForm()) {
        TNestedLoop loop(*this);
        UpdateScreen();
        QApplication::exec();
    }
    running_ = false;
    DestroyForms();
}

void TApplication::ProcessMessages() {
    if (!qapp_) return;
    TNestedLoop loop(*this);
    QCoreApplication::sendPostedEvents();
    QCoreApplication::processEvents(QEventLoop::AllEvents);
    UpdateScreen();
}

void TApplication::Terminate() {
    terminated_ = true;
    if (qapp_) QCoreApplication::exit(0);
}

int TApplication::MessageBox(const std::string& text, const std::string& caption, int flags) {
    TMessageBoxRequest request;
    request.Text = text;
    request.Caption = caption;
    switch (flags & 0x0F) {
        case MB_OKCANCEL: request.Buttons = mbOKCancel; break;
        case MB_ABORTRETRYIGNORE: request.Buttons = TMsgDlgButtons{mbAbort, mbRetry, mbIgnore}; break;
        case MB_YESNOCANCEL: request.Buttons = mbYesNoCancel; break;
        case MB_YESNO: request.Buttons = mbYesNo; break;
        case MB_RETRYCANCEL: request.Buttons = TMsgDlgButtons{mbRetry, mbCancel}; break;
        default: request.Buttons = TMsgDlgButtons{mbOK}; break;
    }
    switch (flags & 0xF0) {
        case MB_ICONERROR: request.Type = mtError; break;
        case MB_ICONQUESTION: request.Type = mtConfirmation; break;
        case MB_ICONWARNING: request.Type = mtWarning; break;
        case MB_ICONINFORMATION: request.Type = mtInformation; break;
        default: request.Type = mtCustom; break;
    }
    Initialize();
    // The modal results have the values of the platform's button ids.
    return RunModal([&] { return services_.MessageBoxes->Show(request); });
}

// --- The error boundary ---

bool TApplication::RunHandler(const std::function<void()>& body) {
    struct Depth {
        int& depth;
        explicit Depth(int& d) : depth(d) { ++depth; }
        ~Depth() { --depth; }
    };
    if (handlerDepth_ > 0) {
        Depth depth(handlerDepth_);
        body();  // an exception goes on to the code that caused this event
        return true;
    }
    try {
        {
            Depth depth(handlerDepth_);
            body();
        }
        UpdateScreen();
        return true;
    } catch (const std::exception& e) {
        HandleException(e);
    } catch (...) {
        HandleException(std::runtime_error("Exception inconnue"));
    }
    UpdateScreen();
    return false;
}

bool TApplication::Dispatch(const std::function<void()>& body) {
    TNestedLoop outermost(*this);
    return RunHandler(body);
}

void TApplication::HandleException(const std::exception& e) {
    if (OnException) {
        try {
            auto handler = OnException;
            handler(this, e);
        } catch (...) {
        }
        return;
    }
    ShowException(e);
}

void TApplication::ShowException(const std::exception& e) {
    if (reportingError_) return;  // an error of the error report itself
    reportingError_ = true;
    try {
        TMessageBoxRequest request;
        request.Text = e.what();
        request.Caption = !title_.empty() ? title_ : MainForm() ? MainForm()->Caption() : std::string();
        request.Type = mtError;
        request.Buttons = TMsgDlgButtons{mbOK};
        if (services_.MessageBoxes) {
            TNestedLoop loop(*this);
            services_.MessageBoxes->Show(request);
        } else {
            std::fprintf(stderr, "%s\n", e.what());
        }
    } catch (...) {
    }
    reportingError_ = false;
}

// --- Services ---

TPlatformServices TApplication::InstallServices(const TPlatformServices& services) {
    const TPlatformServices previous = services_;
    if (services.MessageBoxes) services_.MessageBoxes = services.MessageBoxes;
    if (services.FileDialogs) services_.FileDialogs = services.FileDialogs;
    if (services.Cursor) services_.Cursor = services.Cursor;
    if (services.Screen) services_.Screen = services.Screen;
    if (services.Clipboard) {
        services_.Clipboard = services.Clipboard;
        SetClipboardService(services.Clipboard);
    }
    return previous;
}

// --- Screen updates ---

void TApplication::UpdateScreen() {
    for (const auto& form : forms_) {
        form->UpdateWidget();
        for (const auto& component : form->Components())
            if (auto* control = dynamic_cast<TControl*>(component.get())) control->UpdateWidget();
    }
}

// --- Forms and activation ---

bool TApplication::Owns(const TForm* form) const {
    return std::any_of(forms_.begin(), forms_.end(), [&](const auto& f) { return f.get() == form; });
}

void TApplication::DestroyForms() {
    while (!forms_.empty()) {
        TForm* form = forms_.back().get();
        Fire(form->OnDestroy, static_cast<TObject*>(form));
        if (activeForm_ == form) activeForm_ = nullptr;
        activationHistory_.erase(std::remove(activationHistory_.begin(), activationHistory_.end(), form),
                                 activationHistory_.end());
        auto owned = std::move(forms_.back());
        forms_.pop_back();
        owned.reset();
    }
    activeForm_ = nullptr;
    activationHistory_.clear();
    terminated_ = false;
}

void TApplication::ActivateForm(TForm* form) {
    if (form == activeForm_) return;
    if (form && (!form->Visible() || !Owns(form))) return;
    TForm* previous = activeForm_;
    activeForm_ = form;
    if (form) {
        activationHistory_.erase(std::remove(activationHistory_.begin(), activationHistory_.end(), form),
                                 activationHistory_.end());
        activationHistory_.push_back(form);
        if (followSystemActivation_) form->Widget()->activateWindow();
        if (TWinControl* control = form->ActiveControl(); control && control->Widget())
            control->Widget()->setFocus(Qt::ActiveWindowFocusReason);
    }
    if (previous) Fire(previous->OnDeactivate, static_cast<TObject*>(previous));
    if (form && activeForm_ == form) Fire(form->OnActivate, static_cast<TObject*>(form));
}

void TApplication::FormShown(TForm* form) { ActivateForm(form); }

void TApplication::FormHidden(TForm* form) {
    if (form != activeForm_) return;
    TForm* next = nullptr;
    if (terminated_) {  // the program is ending: no other form takes over
        activeForm_ = nullptr;
        Fire(form->OnDeactivate, static_cast<TObject*>(form));
        return;
    }
    for (auto it = activationHistory_.rbegin(); it != activationHistory_.rend(); ++it)
        if (*it != form && (*it)->Visible()) {
            next = *it;
            break;
        }
    if (!next && MainForm() && MainForm() != form && MainForm()->Visible()) next = MainForm();
    if (next) {
        ActivateForm(next);
    } else {
        activeForm_ = nullptr;
        Fire(form->OnDeactivate, static_cast<TObject*>(form));
    }
}

void TApplication::FormClosed(TForm* form) {
    if (form == MainForm()) Terminate();
}

TApplication::ModalState TApplication::BeginModal() {
    ModalState state{activeForm_, handlerDepth_};
    if (state.form) {
        activeForm_ = nullptr;
        Fire(state.form->OnDeactivate, static_cast<TObject*>(state.form));
    }
    handlerDepth_ = 0;  // the modal loop runs handlers of its own
    return state;
}

void TApplication::EndModal(const ModalState& state) {
    handlerDepth_ = state.depth;
    if (state.form && !activeForm_ && Owns(state.form) && state.form->Visible()) ActivateForm(state.form);
}

void TApplication::AbortModal(const ModalState& state) noexcept {
    handlerDepth_ = state.depth;
    if (state.form && !activeForm_ && Owns(state.form) && state.form->Visible()) activeForm_ = state.form;
}
