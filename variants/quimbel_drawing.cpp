// Quimbel's axes: Vartelo's graduation with the abscissae counted in multiples of pi and
// a denser x graduation.
#include "variants/quimbel_drawing.h"

#include "plotter/axes.h"

namespace quimbel {

// The "Symbol" font shows the letter "p" as the Greek letter pi: the label of 2*pi reads
// 2 followed by the pi sign.
const AxesStyle& PiAxesStyle() {
    static const AxesStyle style{3.141592653589793L, "p", "Symbol", 20};
    return style;
}

void DrawAxesAndGrid(TBitmap& bitmap) { DrawGraduatedAxes(bitmap, PiAxesStyle()); }

}  // namespace quimbel
