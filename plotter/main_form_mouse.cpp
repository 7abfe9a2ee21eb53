// The mouse on the image: a left drag draws a rubber rectangle that becomes the new
// window, a right drag pans the window live, a right click widens it five times, a left
// click redraws; a label under the pointer is highlighted and any button drags it. The
// world coordinates under the pointer are shown in Label22.
#include <cmath>
#include <cstdlib>
#include <stdexcept>
#include <string>
#include <utility>

#include "engine/number_conversion.h"
#include "engine/number_errors.h"
#include "engine/number_format.h"
#include "plotter/coordinate_readout.h"
#include "plotter/drawing_state.h"
#include "plotter/main_form.h"
#include "plotter/mouse_state.h"
#include "plotter/movable_labels.h"
#include "plotter/pixel_mapping.h"
#include "plotter/redraw_pipeline.h"
#include "plotter/undo_snapshot.h"

TMouseState MouseState;

void ChangeMouseMode(TMouseMode next) {
    const TMouseMode now = MouseState.Mode;
    const bool allowed = next == TMouseMode::Idle ||
                         (now == TMouseMode::Idle && (next == TMouseMode::LeftPressed || next == TMouseMode::RightPressed)) ||
                         ((now == TMouseMode::LeftPressed || now == TMouseMode::RubberBand) && next == TMouseMode::RubberBand);
    if (!allowed) throw std::logic_error("mouse mode: no transition from " + std::to_string(int(now)) + " to " +
                                         std::to_string(int(next)));
    MouseState.Mode = next;
}

bool MouseDragInProgress() { return MouseState.Mode == TMouseMode::RightPressed || DraggedLabel >= 0; }

namespace {

// The window as the four edits say now; the mouse reads them again at each event.
struct EditedWindow {
    double XDeb, XFin, YDeb, YFin;
};

EditedWindow ReadEditedWindow(const TForm1& form) {
    return EditedWindow{ParseFloatOrZero(form.Edit10->Text()), ParseFloatOrZero(form.Edit11->Text()),
                        ParseFloatOrZero(form.Edit12->Text()), ParseFloatOrZero(form.Edit13->Text())};
}

// Writes a new window into the edits. A bound that overflowed (a window already near the
// end of the double range, widened again) raises before any edit changes.
void WriteEditedWindow(TForm1& form, const EditedWindow& w) {
    for (double bound : {w.XDeb, w.XFin, w.YDeb, w.YFin})
        if (!std::isfinite(bound)) throw FloatOverflowError();
    form.Edit10->SetText(FormatGeneral(w.XDeb, GeneralDigits));
    form.Edit11->SetText(FormatGeneral(w.XFin, GeneralDigits));
    form.Edit12->SetText(FormatGeneral(w.YDeb, GeneralDigits));
    form.Edit13->SetText(FormatGeneral(w.YFin, GeneralDigits));
}

// The unrounded position of a world point on the image control, from the window of the
// last redraw.
double ImageColumn(double x, int width) { return (x - WindowXMin) / (WindowXMax - WindowXMin) * width; }
double ImageRow(double y, int height) { return height - (y - WindowYMin) / (WindowYMax - WindowYMin) * height; }

// The rubber rectangle between the stored corners, drawn by inverting the pixels of its
// outline: drawing it a second time at the same corners removes it. The pen is set for it
// at every drawing, whatever a redraw left in the canvas, and given back afterwards.
void DrawRubberBand(TForm1& form) {
    TCanvas& canvas = form.im->Canvas();
    const TPen pen = canvas.Pen;
    const TBrush brush = canvas.Brush;
    canvas.Pen.Mode = pmNot;
    canvas.Pen.Width = 1;
    canvas.Pen.Style = psSolid;
    canvas.Brush.Style = bsClear;
    canvas.Rectangle(MouseState.X0, MouseState.Y0, MouseState.X1, MouseState.Y1);
    canvas.Pen = pen;
    canvas.Brush = brush;
}

// One frame of a live drag: the pending messages run (further mouse moves, a release),
// then the picture is redrawn cleared and with its axes, "Figer les images" or not. The
// flag stays set only while the drag goes on: a release that ran meanwhile ends it.
void RedrawLive(TForm1& form) {
    MouseState.RightClickPending = false;  // the pan has started: a release is no click
    Application->ProcessMessages();
    ForcedRedrawFlag = true;
    RedrawGraph(form.im->Bitmap());
    ForcedRedrawFlag = MouseDragInProgress();
}

// Moves the dragged label so that its grab point stays under the pointer.
void DragLabel(TForm1& form, int X, int Y) {
    const int d = DraggedLabel;
    const int width = form.im->Width();
    const int height = form.im->Height();
    if (width <= 0 || height <= 0) return;
    const int left = X - MouseState.X1;
    const int top = Y - MouseState.Y1;
    TCanvas& canvas = form.im->Canvas();
    const TFont font = canvas.Font;
    canvas.Font.Name = LabelFontName();
    canvas.Font.Height = LabelFontHeight(d);
    canvas.Font.Bold = false;
    const std::string& text = LabelTexts[size_t(d)];
    LabelX[size_t(d)] = WindowXMin + double(left) / width * (WindowXMax - WindowXMin);
    LabelY[size_t(d)] = WindowYMin + double(height - top) / height * (WindowYMax - WindowYMin);
    LabelHitRight[size_t(d)] = double(canvas.TextWidth(text)) + left;
    LabelHitBottom[size_t(d)] = double(canvas.TextHeight(text)) + top;
    canvas.Font = font;
    RedrawLive(form);
}

// Highlights the labels under the pointer and takes the highlight off the others.
void HoverLabels(TForm1& form, int X, int Y) {
    const int width = form.im->Width();
    const int height = form.im->Height();
    for (int i = 0; i < LabelCount; ++i) {
        const bool inside = X > ImageColumn(LabelX[size_t(i)], width) && X < LabelHitRight[size_t(i)] &&
                            Y > ImageRow(LabelY[size_t(i)], height) && Y < LabelHitBottom[size_t(i)];
        const bool highlighted = LabelHighlighted[size_t(i)] != 0;
        if (inside == highlighted) continue;
        LabelHighlighted[size_t(i)] = inside ? 1 : 0;
        RedrawGraph(form.im->Bitmap());
    }
}

// Pans the window by the pointer's move since the last pan.
void Pan(TForm1& form, const EditedWindow& w, int X, int Y, int width, int height) {
    const double dx = X - MouseState.X0;
    const double dy = Y - MouseState.Y0;
    WriteEditedWindow(form, EditedWindow{w.XDeb - dx / width * (w.XFin - w.XDeb), w.XFin - dx / width * (w.XFin - w.XDeb),
                                         w.YDeb + dy / height * (w.YFin - w.YDeb),
                                         w.YFin + dy / height * (w.YFin - w.YDeb)});
    MouseState.X0 = X;
    MouseState.Y0 = Y;
    RedrawLive(form);
}

void MouseMoved(TForm1& form, int X, int Y) {
    if (MouseState.Mode == TMouseMode::Idle || MouseState.Mode == TMouseMode::RightPressed) {
        if (DraggedLabel >= 0) {
            DragLabel(form, X, Y);
            return;
        }
        HoverLabels(form, X, Y);
    }
    const EditedWindow w = ReadEditedWindow(form);
    const int width = form.im->Width();
    const int height = form.im->Height();
    if (width <= 0 || height <= 0) return;  // no pixel to map

    if (MouseState.Mode == TMouseMode::RightPressed) {
        MouseState.X1 = X;
        MouseState.Y1 = Y;
        if (!MouseState.RightClickPending || std::abs(MouseState.Y1 - MouseState.Y0) >= MouseDragThreshold ||
            std::abs(MouseState.X1 - MouseState.X0) >= MouseDragThreshold)
            Pan(form, w, X, Y, width, height);
    }
    if (MouseState.Mode == TMouseMode::LeftPressed || MouseState.Mode == TMouseMode::RubberBand) {
        // Within the threshold of the start on either axis the rectangle stays as it is.
        if (std::abs(Y - MouseState.Y0) >= MouseDragThreshold && std::abs(X - MouseState.X0) >= MouseDragThreshold) {
            if (MouseState.Mode == TMouseMode::RubberBand) DrawRubberBand(form);  // removes the old one
            ChangeMouseMode(TMouseMode::RubberBand);
            MouseState.X1 = X;
            MouseState.Y1 = Y;
            DrawRubberBand(form);
        }
    }
    form.Label22->SetCaption(FormatCoordinatePair(w.XDeb + double(X) / width * (w.XFin - w.XDeb),
                                                  w.YFin - double(Y) / height * (w.YFin - w.YDeb)));
}

// What a release does in each mode; the caller puts the mouse back to idle.
void FinishGesture(TForm1& form) {
    const int width = form.im->Width();
    const int height = form.im->Height();
    switch (MouseState.Mode) {
        case TMouseMode::LeftPressed:
            DrawRubberBand(form);
            RedrawGraph(form.im->Bitmap());
            break;
        case TMouseMode::RightPressed: {
            // A right click without a pan widens the window about its centre five times.
            if (MouseState.RightClickPending && std::abs(MouseState.Y1 - MouseState.Y0) < MouseDragThreshold &&
                std::abs(MouseState.X1 - MouseState.X0) < MouseDragThreshold) {
                const EditedWindow w = ReadEditedWindow(form);
                WriteEditedWindow(form, EditedWindow{w.XDeb - 2 * (w.XFin - w.XDeb), w.XFin + 2 * (w.XFin - w.XDeb),
                                                     w.YDeb - 2 * (w.YFin - w.YDeb), w.YFin + 2 * (w.YFin - w.YDeb)});
                RedrawGraph(form.im->Bitmap());
            }
            break;
        }
        case TMouseMode::RubberBand: {
            // The rectangle goes before the redraw: a frozen picture would keep it.
            DrawRubberBand(form);
            const EditedWindow w = ReadEditedWindow(form);
            ChangeMouseMode(TMouseMode::Idle);
            int x0 = MouseState.X0, x1 = MouseState.X1, y0 = MouseState.Y0, y1 = MouseState.Y1;
            if (x0 > x1) std::swap(x0, x1);
            if (y0 > y1) std::swap(y0, y1);
            if (width <= 0 || height <= 0) break;
            WriteEditedWindow(form, EditedWindow{w.XDeb + double(x0) / width * (w.XFin - w.XDeb),
                                                 w.XDeb + double(x1) / width * (w.XFin - w.XDeb),
                                                 w.YFin - double(y1) / height * (w.YFin - w.YDeb),
                                                 w.YFin - double(y0) / height * (w.YFin - w.YDeb)});
            RedrawGraph(form.im->Bitmap());
            break;
        }
        case TMouseMode::Idle:  // a click, or the middle button
            RedrawGraph(form.im->Bitmap());
            break;
    }
}

}  // namespace

void TForm1::imMouseDown(TObject*, TMouseButton Button, TShiftState, int X, int Y) {
    // A highlighted label is grabbed by any button; the grab offset keeps the point of the
    // label under the pointer during the drag.
    for (int i = 0; i < LabelCount; ++i) {
        if (LabelHighlighted[size_t(i)] <= 0) continue;
        MouseState.X1 = X - ClampedPixel(ImageColumn(LabelX[size_t(i)], im->Width()));
        MouseState.Y1 = Y - ClampedPixel(ImageRow(LabelY[size_t(i)], im->Height()));
        DraggedLabel = i;
        return;
    }
    if (MouseState.Mode != TMouseMode::Idle || DraggedLabel >= 0) return;
    MouseState.X0 = MouseState.X1 = X;
    MouseState.Y0 = MouseState.Y1 = Y;
    if (Button == mbLeft) {
        ChangeMouseMode(TMouseMode::LeftPressed);
        DrawRubberBand(*this);
    } else if (Button == mbRight) {
        ChangeMouseMode(TMouseMode::RightPressed);
        MouseState.RightClickPending = true;
    }
}

void TForm1::imMouseMove(TObject*, TShiftState, int X, int Y) {
    try {
        MouseMoved(*this, X, Y);
    } catch (...) {
        // A window text the conversion refuses or an image without size: the move has no
        // further effect.
    }
}

void TForm1::imMouseUp(TObject*, TMouseButton, TShiftState, int, int) {
    if (DraggedLabel >= 0) {
        // The label stays where it was dropped; the picture already shows it there.
        LabelHighlighted[size_t(DraggedLabel)] = 0;
        DraggedLabel = -1;
        ForcedRedrawFlag = false;
        return;
    }
    try {
        FinishGesture(*this);
    } catch (...) {
        // The error goes on to the program's message; the mouse is free again all the same.
        ChangeMouseMode(TMouseMode::Idle);
        ForcedRedrawFlag = false;
        throw;
    }
    ChangeMouseMode(TMouseMode::Idle);
    SaveUndoSnapshot();
    ForcedRedrawFlag = false;
}
