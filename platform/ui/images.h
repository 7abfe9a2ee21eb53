#pragma once
// TImage: shows a bitmap and reports the mouse over it.
#include <memory>

#include "platform/graphics/bitmap.h"
#include "platform/ui/controls.h"

// The bitmap is drawn at the control's top left corner, unscaled; the control repaints
// whenever the bitmap changes. Mouse coordinates are pixels of the bitmap (= of the
// control). OnMouseMove fires also when no button is held.
class TImage : public TControl {
public:
    explicit TImage(TWinControl* parent);
    ~TImage() override;

    TBitmap& Bitmap() { return *bitmap_; }
    TCanvas& Canvas() { return bitmap_->Canvas(); }

    TMouseEvent OnMouseDown;
    TMouseMoveEvent OnMouseMove;
    TMouseEvent OnMouseUp;
    TNotifyEvent OnClick;

    // For the widget: the user's mouse actions.
    void UserMouseDown(TMouseButton button, TShiftState shift, int x, int y);
    void UserMouseMove(TShiftState shift, int x, int y);
    void UserMouseUp(TMouseButton button, TShiftState shift, int x, int y);

private:
    std::unique_ptr<TBitmap> bitmap_;
    bool pressed_ = false;
};
