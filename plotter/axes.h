#pragma once
// The axes, the grid, the tick marks and the graduation labels of a picture.
#include <string>

class TBitmap;

// The graduation of one axis: the first tick value, the distance between ticks, and
// every how many ticks a label is written.
struct TickStep {
    double First = 0;
    double Step = 0;
    int Period = 5;
};

// The step of about `maxTicks` ticks over lo .. hi: 1, 2 or 5 times a power of ten, times
// `unit`; the first tick is lo / step truncated toward zero, times step. Every 4th tick
// is labelled for the step 5, every 5th for 1 and 2. False (nothing set) when hi <= lo.
bool ComputeTickStep(long double unit, long double maxTicks, double hi, double lo, TickStep& result);

// The label of the x tick at v: v / unit to ten significant digits in the general
// format, followed by the suffix when the unit is not 1 ("1s" for 2*pi in seconds).
std::string XTickLabel(double v, long double unit, const std::string& suffix);

// What a program's graduation of the abscissae looks like when they are counted in its
// unit (menu `abspi`): the unit, the label suffix and the labels' font; and the density
// of the x ticks.
struct AxesStyle {
    long double PeriodUnit;    // the x unit while AbscissaInPi = 1
    std::string UnitSuffix;    // after each x label counted in that unit
    std::string UnitFontName;  // the x labels' font while counted in that unit
    long double XTickDensity;  // x ticks on an 800-pixel picture at thickness 1
};

// Vartelo's: seconds of 2*pi, written "1s".
const AxesStyle& SecondsAxesStyle();

// Draws the axes through the origin (when "Afficher les Axes" is checked; an origin
// outside the window puts the ticks and labels on the picture's edge), the dashed grid
// (when "Quadrillage" is checked), the ticks, the labels and the unit arrows at x = 1 and
// y = 1. A window that would need a zero step or more than 1000 ticks on an axis shows
// "Fenetre deffectueuse" (once for that window and picture size) and ends the graduation.
void DrawGraduatedAxes(TBitmap& bitmap, const AxesStyle& style);
// Vartelo's axes: DrawGraduatedAxes with the seconds style.
void DrawAxesAndGrid(TBitmap& bitmap);
