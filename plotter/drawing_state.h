#pragma once
// The drawing state that the main window publishes for every drawing routine of the
// program (curves, axes, dialogs' overlays), and the small flags of its life cycle.
// The values are recomputed from the controls at every redraw, so they always describe
// the last picture.
#include <array>
#include <cstdint>
#include <filesystem>

#include "platform/graphics/color.h"

// The world window of the last redraw: x from "x.deb" to "x.fin", y from "y.deb" to "y.fin".
extern double WindowXMin;
extern double WindowXMax;
extern double WindowYMin;
extern double WindowYMax;

extern std::int32_t LineThickness;   // pen width of curves and overlays, pixels
extern std::int32_t AxisFontHeight;  // height of the graduation font, pixels
extern bool BlackAndWhite;           // draw everything in black ("Noir et blanc")
extern std::array<TColor, 9> FunctionColours;  // f .. n

// The current folder when the program started; every relative file lives there.
extern std::filesystem::path StartDirectory;

// Set from start-up until the first load of the state file has finished, and while any
// settings load applies its values: change handlers do nothing while it is set.
extern bool LoadingFlag;
// Set while a mouse drag redraws live: the redraw then clears the picture and draws the
// axes even when "Figer les images" is checked.
extern bool ForcedRedrawFlag;
// "Trac\xE9 pr\xE9cis (lent)": finer sampling of the curves.
extern bool PreciseTracing;
// 1 when the abscissae are graduated in units of the program's period (menu `abspi`).
extern std::int32_t AbscissaInPi;
// Copy of the legend's check mark kept for the settings (0 or 1).
extern std::int32_t ShowLegend;
// Set once the main window is closing: resizes no longer redraw.
extern bool ClosingFlag;
// Set once all nine windows exist. Nothing is drawn before: the redraw reads the dialogs.
extern bool FormsReady;

inline constexpr std::int32_t MaxStepCounter = 200;
// n of the step-by-step drawing of the sequences, 0 .. MaxStepCounter: the staircases of
// the rows in step mode show their first n steps. Moved by the main window's arrow keys,
// reset by "Initiatilise n", kept with the drawing ("Etapes de recurence").
extern std::int32_t StepCounter;

// Puts every flag and value above back to its state at start (a new run of the program).
void ResetDrawingState();
