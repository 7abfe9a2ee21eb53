#pragma once
// TForm: a top-level window of the program.
#include <memory>
#include <string>
#include <vector>

#include "platform/ui/controls.h"

class QWidget;
class TApplication;
class TMainMenu;

// A form is created hidden through TApplication::CreateForm, which runs the subclass's
// constructor (it builds the components and binds the handlers) and then OnCreate. It
// owns its components and lives until the application destroys it (OnDestroy first).
//
// Events:
//  - OnShow at each change from hidden to shown; OnHide at each change back.
//  - OnActivate when the form becomes the active window of the program: when it is shown
//    or the user switches to it, and when a message box, file dialog or another form of
//    the program gives the activation back; not when the user comes back from another
//    application. OnDeactivate when another form of the program, a message box or a file
//    dialog takes it.
//  - OnResize at every change of Width or Height, by the program or by the user.
//  - OnCloseQuery when the user closes the window or the program calls Close(); CanClose
//    starts true. Closing hides the form; closing the main form ends Application->Run.
//  - OnKeyDown, OnKeyPress, OnKeyUp (inherited): with KeyPreview on, the form sees every
//    key of its controls before the focused control does; setting Key to 0 swallows it.
class TForm : public TWinControl {
public:
    explicit TForm(TApplication& app, std::string name = {});
    ~TForm() override;

    void SetVisible(bool visible) override;  // Show()/Hide(): OnShow/OnHide, activation
    void SetBounds(int left, int top, int width, int height) override;

    // Asks OnCloseQuery, then hides the form (and ends the program for the main form).
    void Close();

    bool Active() const;  // the active form of the program

    bool KeyPreview() const { return keyPreview_; }
    void SetKeyPreview(bool on) { keyPreview_ = on; }

    TWindowState WindowState() const { return windowState_; }
    void SetWindowState(TWindowState state);
    TBorderStyle BorderStyle() const { return borderStyle_; }
    void SetBorderStyle(TBorderStyle style);

    int ClientWidth() const override;
    int ClientHeight() const override;
    void SetClientSize(int width, int height);

    // The control that has (or gets, when the form is activated) the keyboard focus.
    TWinControl* ActiveControl() const { return activeControl_; }
    void SetActiveControl(TWinControl* control);

    // The main menu shown at the top of the form, if it has one.
    TMainMenu* Menu() const { return menu_; }

    TNotifyEvent OnCreate;
    TNotifyEvent OnShow;
    TNotifyEvent OnHide;
    TNotifyEvent OnActivate;
    TNotifyEvent OnDeactivate;
    TNotifyEvent OnResize;
    TCloseQueryEvent OnCloseQuery;
    TNotifyEvent OnDestroy;

    QWidget* ClientWidget() const override { return client_; }
    void UpdateWidget() override;

    // For the layer: the menu bar changed its height; the components the form owns.
    void MenuChanged();
    void SetMenu(TMainMenu* menu) { menu_ = menu; }
    const std::vector<std::unique_ptr<TComponent>>& Components() const { return components_; }

protected:
    void ApplyText() override;
    void Resized() override;

private:
    friend class TWinControl;
    friend class TApplication;
    friend class TFormEventFilter;
    void AdoptComponent(std::unique_ptr<TComponent> component) { components_.push_back(std::move(component)); }
    void LayoutClient();
    void SystemResized(int width, int height);
    void SystemMoved(int left, int top);
    void UserClose();
    void FinishCreate();
    // Moves a shown normal window (and shrinks it if need be) so that its frame lies in the
    // screen's work area.
    void KeepFrameOnScreen();
    void FrameChanged();
    void DestroyComponents();

    TApplication& app_;
    QWidget* client_ = nullptr;
    TMainMenu* menu_ = nullptr;
    TWinControl* activeControl_ = nullptr;
    bool keyPreview_ = false;
    bool created_ = false;
    bool framePending_ = false;  // shown, not yet framed by the window manager
    TWindowState windowState_ = wsNormal;
    TBorderStyle borderStyle_ = bsSizeable;
    std::vector<std::unique_ptr<TComponent>> components_;
    std::unique_ptr<class TFormEventFilter> filter_;
};
