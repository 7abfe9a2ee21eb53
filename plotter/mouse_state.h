#pragma once
// The state of the mouse on the image: what the pressed button is doing and the corners
// of the rubber rectangle (pixels of the image control).

// Modes: 0 idle, 1 left button pressed, 2 rubber rectangle shown, -1 right button pressed.
struct TMouseState {
    int Mode = 0;
    int X0 = 0, Y0 = 0;
    int X1 = 0, Y1 = 0;
    bool RightClickPending = false;
};

extern TMouseState MouseState;
