#pragma once
// TApplication: the program's forms, its message loop, the error boundary, activation and
// the platform services. One instance, reached through the global Application.
#include <exception>
#include <functional>
#include <memory>
#include <string>
#include <utility>
#include <vector>

#include "platform/ui/forms.h"
#include "platform/ui/services.h"

class QApplication;
class TImage;

class TApplication : public TObject {
public:
    TApplication();
    ~TApplication() override;
    TApplication(const TApplication&) = delete;
    TApplication& operator=(const TApplication&) = delete;

    // Creates the GUI application object (once per process) and installs the Qt services.
    // Later calls do nothing.
    void Initialize();
    void Initialize(int argc, char** argv);
    bool Initialized() const { return qapp_ != nullptr; }

    // Creates a form: sets the reference, runs the constructor (which builds the
    // components), then OnCreate. The first form created is the main form.
    //   Application->CreateForm(Form1);
    template <class T>
    void CreateForm(T*& reference) {
        auto owned = std::make_unique<T>(*this);
        reference = owned.get();
        AddForm(std::move(owned));
    }

    // Shows the main form, runs the message loop until the main form is closed or
    // Terminate() is called, then destroys every form.
    void Run();
    // Runs the pending events of the GUI (repaints, input, our message queue's host) and
    // returns. Handlers can run inside it.
    void ProcessMessages();
    // Ends Run at the next turn of the loop.
    void Terminate();
    bool Terminated() const { return terminated_; }

    TForm* MainForm() const { return forms_.empty() ? nullptr : forms_.front().get(); }
    TForm* ActiveForm() const { return activeForm_; }
    const std::vector<std::unique_ptr<TForm>>& Forms() const { return forms_; }

    // The title of message boxes (the main form's caption when empty).
    const std::string& Title() const { return title_; }
    void SetTitle(std::string title) { title_ = std::move(title); }

    // A message box with the platform's flags (MB_YESNO | MB_ICONQUESTION, ...); returns
    // IDOK, IDYES, IDNO, IDCANCEL, ...
    int MessageBox(const std::string& text, const std::string& caption, int flags = MB_OK);

    // --- The error boundary ---
    // Every event handler runs through RunHandler. When no other handler is running, an
    // exception that leaves the handler is caught and passed to HandleException, and
    // RunHandler returns false. Inside another handler (a property set by a handler fires
    // an event), the exception goes on to the code that set the property, like any call,
    // and reaches the boundary of the outermost handler. Nested message loops
    // (ProcessMessages, modal boxes) start a new outermost level.
    bool RunHandler(const std::function<void()>& body);
    // The entry of every event that comes from Qt (input, signals, window changes): runs the
    // body as an outermost handler whatever is running, so no exception returns into Qt.
    bool Dispatch(const std::function<void()>& body);
    template <class... Params, class... Args>
    void Fire(const std::function<void(Params...)>& handler, Args&&... args) {
        if (!handler) return;
        auto copy = handler;  // the handler may replace itself while it runs
        RunHandler([&] { copy(std::forward<Args>(args)...); });
    }
    // The error handler: OnException when assigned, else a message box (mtError) with the
    // exception's what() text. Never throws. The box does not pass the activation on, so
    // a failing OnActivate cannot bring itself back in an endless loop.
    std::function<void(TObject* Sender, const std::exception& E)> OnException;
    void HandleException(const std::exception& e);
    void ShowException(const std::exception& e);

    // --- Services ---
    const TPlatformServices& Services() const { return services_; }
    // Installs a set of services (null members keep the current ones); returns the set
    // that was in use.
    TPlatformServices InstallServices(const TPlatformServices& services);

    // Runs a modal box or dialog: the active form loses the activation for its duration
    // and gets it back afterwards (its OnActivate fires again).
    template <class F>
    auto RunModal(F&& show) -> decltype(show()) {
        const ModalState state = BeginModal();
        try {
            auto result = show();
            EndModal(state);
            return result;
        } catch (...) {
            AbortModal(state);
            throw;
        }
    }

    // --- For the layer and the test harness ---
    // Whether activation changes reported by the window system are followed. Off on the
    // offscreen platform, where they don't come from a user: there only the layer's own
    // activation (Show, Hide, modal boxes) and synthetic activation events count.
    bool FollowsSystemActivation() const { return followSystemActivation_; }
    void SetFollowSystemActivation(bool on) { followSystemActivation_ = on; }
    // Brings every widget up to date with the lazily-set properties (fonts); done before
    // the loop waits for events and after every outermost handler.
    void UpdateScreen();
    // Fires OnDestroy of every form, newest first, then frees them; resets Terminated.
    void DestroyForms();

    void ActivateForm(TForm* form);   // makes the form the active one (OnDeactivate, OnActivate)
    void FormShown(TForm* form);
    void FormHidden(TForm* form);
    void FormClosed(TForm* form);

private:
    struct ModalState {
        TForm* form;
        int depth;
    };
    ModalState BeginModal();
    void EndModal(const ModalState& state);
    void AbortModal(const ModalState& state) noexcept;
    bool Owns(const TForm* form) const;
    friend class TNestedLoop;

    void AddForm(std::unique_ptr<TForm> form);
    void InstallEventFilter();

    QApplication* qapp_ = nullptr;  // lives until the process ends
    std::vector<std::unique_ptr<TForm>> forms_;
    std::vector<TForm*> activationHistory_;  // most recent last
    TForm* activeForm_ = nullptr;
    TPlatformServices services_;
    std::string title_;
    bool terminated_ = false;
    bool running_ = false;
    bool followSystemActivation_ = true;
    bool reportingError_ = false;
    int handlerDepth_ = 0;
    int argc_ = 1;
    std::vector<char*> argv_;
    std::string programName_ = "curves";
    std::unique_ptr<class TKeyEventFilter> keyFilter_;
};

extern TApplication* const Application;
