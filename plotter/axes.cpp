#include "plotter/axes.h"

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <optional>

#include "engine/number_conversion.h"
#include "engine/number_format.h"
#include "engine/rounding.h"
#include "plotter/drawing_state.h"
#include "plotter/main_form.h"
#include "plotter/pixel_mapping.h"
#include "platform/graphics/bitmap.h"
#include "platform/ui/components.h"

namespace {

constexpr TColor AxisColour = 0x990022;
constexpr TColor LightGridColour = 0xDDDDDD;
constexpr TColor GridColour = 0xAAAAAA;
// More ticks than this on one axis is a window the graduation cannot show.
constexpr long double MaxTicks = 1000;
// An arrow marks the unit on an axis whose window is narrower than this.
constexpr double MaxArrowExtent = 30;

const char* const BadWindowMessage = "Fen\xEAtre deffectueuse";

// --- The message of a window that cannot be graduated ---
// Closing the box gives the activation back to the main window, which redraws the same
// window: the message is shown once for one window and picture size, and never while it
// is up, so that it cannot come back in an endless loop.
struct ReportedWindow {
    double xmin, xmax, ymin, ymax;
    int width, height;
    friend bool operator==(const ReportedWindow&, const ReportedWindow&) = default;
};
std::optional<ReportedWindow> lastReported;
bool reporting = false;

void ReportBadWindow(int width, int height) {
    const ReportedWindow window{WindowXMin, WindowXMax, WindowYMin, WindowYMax, width, height};
    if (reporting || lastReported == window) return;
    lastReported = window;
    reporting = true;
    try {
        ShowMessage(BadWindowMessage);
    } catch (...) {
        reporting = false;
        throw;
    }
    reporting = false;
}

// --- Pens ---
void UseAxisPen(TCanvas& canvas) {
    canvas.Pen.Color = BlackAndWhite ? clBlack : AxisColour;
    canvas.Pen.Width = LineThickness;
    canvas.Pen.Style = psSolid;
    canvas.Pen.Mode = pmCopy;
}

void UseGridPen(TCanvas& canvas, TColor colour) {
    canvas.Pen.Color = BlackAndWhite ? clBlack : colour;
    canvas.Pen.Width = LineThickness / 2;
    canvas.Pen.Style = psDashDotDot;
}

void Line(TCanvas& canvas, long double x0, long double y0, long double x1, long double y1) {
    canvas.MoveTo(ClampedPixel(x0), ClampedPixel(y0));
    canvas.LineTo(ClampedPixel(x1), ClampedPixel(y1));
}

// What one redraw's graduation works with.
struct Graduation {
    TCanvas& canvas;
    int width;
    int height;
    std::int64_t thickness;
    std::int64_t fontHeight;
    bool axes;     // "Afficher les Axes"
    bool grid;     // "Quadrillage"
    int px0;       // column of the vertical axis (or the edge that stands for it)
    int py0;       // row of the horizontal axis (or the edge)
};

// The tick's index modulo the period, with the sign of the index, so that labelled
// ticks are those whose counter is a multiple of the period.
std::int64_t FirstCounter(const TickStep& t) {
    const long double index = std::nearbyint(-static_cast<long double>(t.First) / t.Step);
    return -static_cast<std::int64_t>(std::fmod(index, static_cast<long double>(t.Period)));
}

// A tick value this close to zero is the origin: no grid line, no label.
bool IsZeroTick(double v, double lo, double hi) {
    return std::fabs(v) <= std::fabs(static_cast<long double>(hi) - lo) / 512;
}

// Whether the axis can be graduated; shows the message when it cannot.
bool CheckTickCount(const TickStep& t, double end, int width, int height) {
    if (t.Step == 0 || !std::isfinite(t.Step) ||
        (static_cast<long double>(end) - t.First) / t.Step > MaxTicks) {
        ReportBadWindow(width, height);
        return false;
    }
    return true;
}

void DrawXGraduation(Graduation& g, const TickStep& t, long double unit, const std::string& suffix) {
    TCanvas& canvas = g.canvas;
    std::int64_t counter = FirstCounter(t);
    std::int64_t lastEnd = -2 * g.fontHeight;
    double v = t.First;
    // The count was checked above; the bound holds whatever the rounding of v adds up to.
    for (int n = 0; v < WindowXMax && n <= MaxTicks; ++n) {
        const int x = PixelColumn(v, g.width);
        const bool zero = IsZeroTick(v, WindowXMin, WindowXMax);
        if (g.grid && !zero) {
            UseGridPen(canvas, LineThickness / 2 < 2 ? LightGridColour : GridColour);
            Line(canvas, x, 0, x, g.height);
            UseAxisPen(canvas);
        }
        std::int64_t reach = 1;
        if (counter % t.Period == 0 && !zero) {
            const std::string text = XTickLabel(v, unit, suffix);
            const std::int64_t textWidth = canvas.TextWidth(text);
            const std::int64_t left = x - textWidth / 2;
            // A label closer than one font height to the previous one, or starting right
            // of the picture, is left out.
            if (left > lastEnd + g.fontHeight && left < g.width) {
                const std::int64_t textHeight = canvas.TextHeight(text);
                const std::int64_t top = g.height - textHeight > g.py0 + 2 ? g.py0 + 2 : g.height - textHeight;
                canvas.TextOut(ClampedPixel(left), ClampedPixel(top), text);
                lastEnd = left + textWidth;
                reach = 2;
            }
        }
        if (g.axes) {
            const std::int64_t above = std::max({g.thickness * reach, 3 * reach, std::int64_t(3)});
            const std::int64_t below = std::max(std::int64_t(2), g.thickness / 2);
            Line(canvas, x, g.py0 - above, x, g.py0 + below);
        }
        ++counter;
        const double next = v + t.Step;
        if (!(next > v)) break;  // the step is below the resolution of the values
        v = next;
    }
}

void DrawYGraduation(Graduation& g, const TickStep& t) {
    TCanvas& canvas = g.canvas;
    std::int64_t counter = FirstCounter(t);
    double v = t.First;
    for (int n = 0; v < WindowYMax && n <= MaxTicks; ++n) {
        const int y = PixelRow(v, g.height);
        const bool zero = IsZeroTick(v, WindowYMin, WindowYMax);
        if (g.grid && !zero) {
            UseGridPen(canvas, GridColour);
            Line(canvas, 0, y, g.width, y);
            UseAxisPen(canvas);
        }
        if (g.axes) {
            Line(canvas, g.px0 - 2, y, g.px0 + 3, y);
            if (counter % t.Period == 0 && !zero) {
                const std::string text = FormatGeneral(RoundToTenDigits(v), GeneralDigits);
                const std::int64_t textHeight = canvas.TextHeight(text);
                const std::int64_t textWidth = canvas.TextWidth(text);
                const std::int64_t top = y - textHeight / 2;
                const std::int64_t left =
                    g.width - textWidth - 15 > g.px0 + 4 ? g.px0 + 4 : g.width - textWidth - 15;
                canvas.TextOut(ClampedPixel(left), ClampedPixel(top), " " + text);
            }
        }
        ++counter;
        const double next = v + t.Step;
        if (!(next > v)) break;
        v = next;
    }
}

// Arrowheads at x = 1 (pointing right) and y = 1 (pointing up).
void DrawUnitArrows(Graduation& g) {
    TCanvas& canvas = g.canvas;
    const std::int64_t size = 2 * std::max(std::int64_t(3), g.thickness);
    if (WindowXMin < WindowXMax && WindowXMin <= 1 && 1 <= WindowXMax &&
        std::fabs(WindowXMax - WindowXMin) < MaxArrowExtent) {
        const int x1 = PixelColumn(1, g.width);
        Line(canvas, x1 - size, g.py0 - size, x1, g.py0);
        Line(canvas, x1 - size, g.py0 + size, x1, g.py0);
    }
    if (WindowYMin < WindowYMax && WindowYMin <= 1 && 1 <= WindowYMax &&
        std::fabs(WindowYMax - WindowYMin) < MaxArrowExtent) {
        const int y1 = PixelRow(1, g.height);
        Line(canvas, g.px0 - size, y1 + size, g.px0, y1);
        Line(canvas, g.px0 + size, y1 + size, g.px0, y1);
    }
}

// About 15 x ticks on an 800-pixel picture, fewer for thick lines, at least 3.
long double XTickCount(int width, const AxesStyle& style) {
    const long double denominator = LineThickness + 16.0L;
    if (!(denominator > 0)) return 3;
    return std::max(3, RoundToInt(width / 800.0L * style.XTickDensity * 17 / denominator));
}

}  // namespace

bool ComputeTickStep(long double unit, long double maxTicks, double hi, double lo, TickStep& result) {
    if (!(hi > lo)) return false;
    const long double g = std::log10((static_cast<long double>(hi) - lo) / (maxTicks * unit));
    const long double whole = std::trunc(g);
    const long double fraction = g - whole;  // keeps the sign of g
    // m lies in [1, 10]: 10 exactly when g is a negative whole number.
    const long double exponent = g >= 0 ? whole : whole - 1;
    const long double m = std::pow(10.0L, g >= 0 ? fraction : fraction + 1);
    const int q = m > 5 ? 5 : m > 2 ? 2 : 1;
    result.Step = static_cast<double>(std::pow(10.0L, exponent) * q * unit);
    // Toward zero: for a negative start the first tick lies at or right of it.
    result.First = result.Step == 0
                       ? 0
                       : static_cast<double>(std::trunc(static_cast<long double>(lo) / result.Step) * result.Step);
    result.Period = q == 5 ? 4 : 5;
    return true;
}

std::string XTickLabel(double v, long double unit, const std::string& suffix) {
    std::string text = FormatGeneral(RoundToTenDigitsExt(v / unit), GeneralDigits);
    if (unit != 1) text += suffix;
    return text;
}

const AxesStyle& SecondsAxesStyle() {
    static const AxesStyle style{2 * 3.141592653589793L, "s", "Arial", 15};
    return style;
}

void DrawGraduatedAxes(TBitmap& bitmap, const AxesStyle& style) {
    WindowXMin = ParseFloatOrZero(Form1->Edit10->Text());
    WindowXMax = ParseFloatOrZero(Form1->Edit11->Text());
    WindowYMin = ParseFloatOrZero(Form1->Edit12->Text());
    WindowYMax = ParseFloatOrZero(Form1->Edit13->Text());
    const int width = bitmap.Width();
    const int height = bitmap.Height();
    if (width <= 0 || height <= 0) return;
    const long double unit = AbscissaInPi == 1 ? style.PeriodUnit : 1;

    TCanvas& canvas = bitmap.Canvas();
    UseAxisPen(canvas);
    canvas.Font.Color = clBlack;
    Graduation g{canvas, width, height, LineThickness, AxisFontHeight,
                 Form1->axe->Checked(), Form1->quad->Checked(), 0, height};

    // An axis outside the window (or a window without extent) is not drawn; its ticks
    // and labels then run along the picture's edge.
    if (WindowXMax != WindowXMin) g.px0 = PixelColumn(0, width);
    if (g.px0 < 0 || WindowXMax == WindowXMin) {
        g.px0 = 0;
    } else if (g.px0 >= width) {
        g.px0 = width;
    } else if (g.axes) {
        Line(canvas, g.px0, 0, g.px0, height);
    }
    if (WindowYMax != WindowYMin) g.py0 = PixelRow(0, height);
    if (g.py0 < 0) {
        g.py0 = 0;
    } else if (g.py0 >= height) {
        g.py0 = height;
    } else if (g.axes) {
        Line(canvas, 0, g.py0, width, g.py0);
    }

    const long double xTicks = XTickCount(width, style);
    canvas.Font.Name = "Arial";
    canvas.Font.Height = AxisFontHeight;
    canvas.Font.Bold = false;
    canvas.Brush.Style = bsClear;

    // A window whose end does not exceed its start gets no graduation on that axis.
    TickStep ticks;
    if (ComputeTickStep(unit, xTicks, WindowXMax, WindowXMin, ticks)) {
        if (!CheckTickCount(ticks, WindowXMax, width, height)) return;
        canvas.Font.Name = unit != 1 ? style.UnitFontName : "Arial";
        DrawXGraduation(g, ticks, unit, style.UnitSuffix);
    }

    canvas.Font.Name = "Arial";
    const long double yTicks = std::max(2.5L, height * xTicks / width);
    if (ComputeTickStep(1, yTicks, WindowYMax, WindowYMin, ticks)) {
        if (!CheckTickCount(ticks, WindowYMax, width, height)) return;
        DrawYGraduation(g, ticks);
    }

    if (g.axes) DrawUnitArrows(g);
    // A window that can be graduated again may show the message anew when it goes bad.
    lastReported.reset();
}

void DrawAxesAndGrid(TBitmap& bitmap) { DrawGraduatedAxes(bitmap, SecondsAxesStyle()); }
