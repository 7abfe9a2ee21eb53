#include "tests/quimbel/fine_homing_walk.h"

#include <cmath>

#include "engine/number_conversion.h"
#include "engine/program_variant.h"
#include "plotter/drawing_state.h"
#include "plotter/function_rows.h"
#include "plotter/main_form.h"
#include "plotter/pixel_mapping.h"
#include "platform/graphics/bitmap.h"

namespace quimbeltest {

std::int64_t DrawWithFineHoming(int index, TBitmap& bitmap, std::vector<int>& reentries) {
    TCanvas& canvas = bitmap.Canvas();
    const int width = bitmap.Width();
    const long double heightRows = bitmap.Height();
    const double a = ParseFloatOrZero(Form1->Edit15->Text());
    const double b = ParseFloatOrZero(Form1->Edit16->Text());
    const long double xmin = WindowXMin;
    const long double xmax = WindowXMax;
    const long double xextent = xmax - xmin;
    const long double ymax = WindowYMax;
    const long double yextent = ymax - static_cast<long double>(WindowYMin);
    const bool precise = PreciseTracing;

    double dx = (WindowXMax - WindowXMin) / width;
    if (precise) dx /= 4;
    const long double fine = static_cast<long double>(dx) / (precise ? 131072 : 1024);
    double step = dx;

    long double x = xmin;
    long double prev = x;
    long double prevPy = 1.0L;
    bool penUp = true;
    bool rejected = false;
    int stalled = 0;
    std::int64_t evaluations = 0;
    while (x < xmax) {
        const long double start = prev;
        double k = 1.0;
        int direction = 0;
        long double y = 0, py = 0, jump = 0;
        bool out = false;
        for (;;) {
            const double s0 = step;
            x = prev + step;
            y = EvaluateInDomain(index, static_cast<double>(x), a, b);
            ++evaluations;
            py = (ymax - y) / yextent * heightRows;
            jump = std::fabs(prevPy - py);
            out = py <= -1 || py >= heightRows + 1;
            if (out && penUp && jump > 2 && x > xmin) {
                step /= 2;
                prev -= step;
                x = prev + step;
                jump = 3;
                break;
            }
            if (jump < 0.5L && step <= dx) {
                step *= 1 + k;
                k *= direction == +1 && k <= 1 ? 1.1 : 0.7;
                direction = +1;
            }
            if (jump > 1.4L && !out && fine <= step) {
                step /= 3 * k + 1;
                k *= direction == -1 && k <= 1 ? 1.07 : 0.65;
                direction = -1;
            }
            if (!precise) break;
            if ((jump >= 0.5L && jump <= 1.4L) || (jump < 0.5L && step >= dx) || (jump > 1.4L && fine > step) ||
                out || (step < s0 && s0 - step < fine))
                break;
            if (step == s0) break;
        }
        prevPy = py;
        prev = x;
        if (y == UndefinedValue || out) {
            rejected = true;
            penUp = true;
            step = dx;
            prev = prev + fine;
        } else {
            const int px = ClampedPixel((x - xmin) / xextent * width);
            if (rejected) reentries.push_back(px);
            rejected = false;
            if (fine > step && jump > 8) {
                penUp = true;
                step = px != 0 && precise ? static_cast<double>(fine) : dx;
            }
            const int row = ClampedPixel(py);
            if (penUp || jump > 4) canvas.MoveTo(px, row);
            canvas.LineTo(px, row);
            penUp = false;
        }
        if (prev > start) {
            stalled = 0;
        } else if (++stalled >= 200) {
            break;
        }
    }
    return evaluations;
}

}  // namespace quimbeltest
