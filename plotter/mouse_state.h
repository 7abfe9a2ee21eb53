#pragma once
// The state of the mouse on the image: what the pressed button is doing and the corners
// of the rubber rectangle (pixels of the image control).

// Modes: 0 idle, 1 left button pressed, 2 rubber rectangle shown, -1 right button pressed.
// While a label is dragged, X1 and Y1 hold the grab offset instead of a point.
struct TMouseState {
    int Mode = 0;
    int X0 = 0, Y0 = 0;
    int X1 = 0, Y1 = 0;
    bool RightClickPending = false;  // a right press that has not panned yet
};

extern TMouseState MouseState;

// A move of at least this many pixels on an axis makes a pan start, and on both axes a
// rubber rectangle appear.
inline constexpr int MouseDragThreshold = 5;

// Whether a drag that redraws live (a pan or a label drag) is in progress.
bool MouseDragInProgress();
