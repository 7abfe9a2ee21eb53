#pragma once
// The base classes of every component: TObject, TComponent, TControl, TWinControl.
// See components.h for the conventions of the whole layer.
#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <utility>
#include <vector>

#include "platform/graphics/canvas.h"  // TFont, TColor
#include "platform/ui/keys.h"
#include "platform/ui/ui_types.h"

class QWidget;
class TForm;
class TWinControl;

class TObject {
public:
    virtual ~TObject() = default;
};

// Event types. The Sender is always the component that fires the event.
using TNotifyEvent = std::function<void(TObject* Sender)>;
using TKeyEvent = std::function<void(TObject* Sender, std::uint16_t& Key, TShiftState Shift)>;
using TKeyPressEvent = std::function<void(TObject* Sender, char& Key)>;
using TMouseEvent = std::function<void(TObject* Sender, TMouseButton Button, TShiftState Shift, int X, int Y)>;
using TMouseMoveEvent = std::function<void(TObject* Sender, TShiftState Shift, int X, int Y)>;
using TCloseQueryEvent = std::function<void(TObject* Sender, bool& CanClose)>;
using TUDClickEvent = std::function<void(TObject* Sender, TUDBtnType Button)>;

// A named part of a form. Every component is owned by its form and lives as long as it.
class TComponent : public TObject {
public:
    TComponent(const TComponent&) = delete;
    TComponent& operator=(const TComponent&) = delete;
    ~TComponent() override;

    const std::string& Name() const { return name_; }
    void SetName(std::string name) { name_ = std::move(name); }
    // The form that owns the component (the form itself for a form).
    TForm* OwnerForm() const { return ownerForm_; }

protected:
    explicit TComponent(TForm* ownerForm) : ownerForm_(ownerForm) {}
    void SetOwnerForm(TForm* form) { ownerForm_ = form; }

private:
    std::string name_;
    TForm* ownerForm_ = nullptr;
};

// A component that shows on a form: position, size, visibility, colour, font, hint.
class TControl : public TComponent {
public:
    ~TControl() override;

    TWinControl* Parent() const { return parent_; }

    // Position and size in pixels, relative to the parent's client area.
    int Left() const { return left_; }
    int Top() const { return top_; }
    int Width() const { return width_; }
    int Height() const { return height_; }
    void SetLeft(int left) { SetBounds(left, top_, width_, height_); }
    void SetTop(int top) { SetBounds(left_, top, width_, height_); }
    void SetWidth(int width) { SetBounds(left_, top_, width, height_); }
    void SetHeight(int height) { SetBounds(left_, top_, width_, height); }
    virtual void SetBounds(int left, int top, int width, int height);
    TAlign Align() const { return align_; }
    void SetAlign(TAlign align);

    // The control's own visibility flag; Showing() also asks every parent.
    bool Visible() const { return visible_; }
    virtual void SetVisible(bool visible);
    void Show() { SetVisible(true); }
    void Hide() { SetVisible(false); }
    bool Showing() const;

    bool Enabled() const { return enabled_; }
    void SetEnabled(bool enabled);

    const std::string& Hint() const { return hint_; }
    void SetHint(std::string hint);

    // Background colour (of the text area for edits).
    TColor Color() const { return color_; }
    void SetColor(TColor color);

    // The font of the control's text. A plain value like the canvas font: change its fields
    // directly (Label1->Font.Color = clWhite); the widget takes it up before the screen is
    // next updated. A new control starts with a copy of its parent's font.
    TFont Font;

    // The text the control shows: the caption of labels, buttons, boxes and forms, the
    // content of edits and combo boxes. Caption and Text are the same property.
    virtual std::string Text() const { return text_; }
    virtual void SetText(std::string text);
    std::string Caption() const { return Text(); }
    void SetCaption(std::string caption) { SetText(std::move(caption)); }

    // Repaints the control at once (a drawing made inside a handler shows before it ends).
    void Repaint();

    // The Qt widget, for the component layer and the test harness only.
    QWidget* Widget() const { return widget_; }
    // The control of a widget (or of its nearest ancestor that has one), or nullptr.
    static TControl* FromWidget(const QWidget* widget);

    // Applies the lazily-set properties (Font) to the widget; called by the application.
    virtual void UpdateWidget();
    // For containers: stores and shows a geometry without asking the parent to realign.
    void PlaceAt(int left, int top, int width, int height);

protected:
    TControl(TWinControl* parent, TForm* ownerForm);
    // Called by each control's constructor with its new widget (child of the parent's
    // client widget) and its default size.
    void AttachWidget(QWidget* widget, int width, int height);
    // The widget that shows the text and the colour; the control's widget by default.
    virtual void ApplyText();
    virtual void ApplyColor();
    virtual void ApplyFont();
    void StoreText(std::string text) { text_ = std::move(text); }
    // Called after the size changed (by a setter or by the window system).
    virtual void Resized() {}
    // Takes a geometry that the window system gave the widget.
    void TakeGeometry(int left, int top, int width, int height);
    void StoreVisible(bool visible) { visible_ = visible; }

private:
    friend class TWinControl;
    // Stores and shows a geometry; asks the parent to realign an aligned control when
    // `realignParent` is set.
    void ApplyGeometry(int left, int top, int width, int height, bool realignParent);
    TWinControl* parent_ = nullptr;
    QWidget* widget_ = nullptr;
    int left_ = 0, top_ = 0, width_ = 0, height_ = 0;
    TAlign align_ = alNone;
    bool visible_ = true;
    bool enabled_ = true;
    std::string hint_;
    TColor color_ = clBtnFace;
    std::string text_;
    TFont appliedFont_;
    bool fontApplied_ = false;
};

// A control that can hold the keyboard focus and, for containers (forms, panels, group
// boxes, tab sheets), other controls.
class TWinControl : public TControl {
public:
    ~TWinControl() override;

    // Creates a component of type T as a child of this control, owned by the form:
    //   Edit1 = Panel1->Add<TEdit>("Edit1");
    template <class T>
    T* Add(std::string name) {
        auto owned = std::make_unique<T>(this);
        T* raw = owned.get();
        Adopt(std::move(owned), std::move(name));
        return raw;
    }

    // The child controls, in the order they were created.
    const std::vector<TControl*>& Controls() const { return children_; }

    // The area inside the borders, where the children are placed.
    virtual int ClientWidth() const { return Width(); }
    virtual int ClientHeight() const { return Height(); }

    // Keyboard focus: the form's active control. Focused() is true when the control is its
    // form's active control and the form is the active form.
    void SetFocus();
    bool Focused() const;
    bool CanFocus() const;

    // Keys reach the focused control after its form's key preview (see TForm).
    TKeyEvent OnKeyDown;
    TKeyEvent OnKeyUp;
    TKeyPressEvent OnKeyPress;

    // Places the aligned children (done by the layer at every size change).
    void Realign();

    // The widget the children are placed in.
    virtual QWidget* ClientWidget() const { return Widget(); }
    // The part of the client widget that aligned children share.
    virtual TRect ClientArea() const { return TRect{0, 0, ClientWidth(), ClientHeight()}; }

protected:
    TWinControl(TWinControl* parent, TForm* ownerForm);
    void Resized() override { Realign(); }

private:
    friend class TControl;
    void Adopt(std::unique_ptr<TComponent> component, std::string name);
    std::vector<TControl*> children_;
};
