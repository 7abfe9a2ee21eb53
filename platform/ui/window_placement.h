#pragma once
// Where a top-level window goes on the screen: inside the work area (the screen less the
// panels of the window manager), frame included.
#include <QMargins>
#include <QRect>

class QWidget;

// The frame rectangle moved (and, when it is larger, shrunk) so that it lies wholly in
// `area`; a rectangle already inside comes back unchanged.
QRect FitFrameInside(const QRect& frame, const QRect& area);

// The work area of the screen that shows the window (the primary screen before it is
// shown); empty without a screen.
QRect WorkAreaOf(const QWidget* window);

// The width of the window manager's frame around a top-level window: the window's own
// once the window manager has framed it, else the last frame seen around a window of the
// program, else none.
QMargins FrameMarginsOf(const QWidget* window);
// Remembers the frame of a window the window manager has framed, for windows not yet
// shown; false while the window has no frame.
bool LearnFrameMargins(const QWidget* window);
