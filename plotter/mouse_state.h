#pragma once
// The state of the mouse on the image: what the pressed button is doing and the corners
// of the rubber rectangle (pixels of the image control).

// What the pressed button is doing. The values are those the mode always had.
//   Idle          -> LeftPressed   a left press
//   Idle          -> RightPressed  a right press (a click widens, a drag pans)
//   LeftPressed   -> RubberBand    a move of at least MouseDragThreshold on both axes
//   any           -> Idle          a release, or the main window's creation
// ChangeMouseMode is the one place where the mode changes; a label drag leaves it alone.
enum class TMouseMode : int { Idle = 0, LeftPressed = 1, RubberBand = 2, RightPressed = -1 };

// While a label is dragged, X1 and Y1 hold the grab offset instead of a point.
struct TMouseState {
    TMouseMode Mode = TMouseMode::Idle;
    int X0 = 0, Y0 = 0;
    int X1 = 0, Y1 = 0;
    bool RightClickPending = false;  // a right press that has not panned yet
};

extern TMouseState MouseState;

// Makes the transition to `next`; raises std::logic_error for a transition the list above
// does not have, so a wrong path shows at once instead of leaving the mouse stuck.
void ChangeMouseMode(TMouseMode next);

// A move of at least this many pixels on an axis makes a pan start, and on both axes a
// rubber rectangle appear.
inline constexpr int MouseDragThreshold = 5;

// Whether a drag that redraws live (a pan or a label drag) is in progress.
bool MouseDragInProgress();
