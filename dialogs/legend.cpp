#include "dialogs/legend.h"

#include <algorithm>
#include <cstdint>
#include <string>
#include <vector>

#include "engine/rounding.h"
#include "plotter/drawing_state.h"
#include "plotter/function_rows.h"
#include "plotter/movable_labels.h"
#include "plotter/pixel_mapping.h"
#include "platform/graphics/bitmap.h"
#include "platform/ui/components.h"

// The legend is written in the face chosen for the movable labels ("Arial" at start).
std::string LegendFontName() { return LabelFontName(); }

void DrawLegend(TBitmap& bitmap) {
    const int width = bitmap.Width();
    const int height = bitmap.Height();
    const std::int64_t fontHeight = AxisFontHeight;
    TCanvas& canvas = bitmap.Canvas();
    canvas.Font.Name = LegendFontName();
    canvas.Font.Height = RoundToInt(0.9L * fontHeight);
    canvas.Font.Bold = true;
    canvas.Brush.Color = clWhite;
    canvas.Brush.Style = bsSolid;

    struct Line {
        int function;
        std::string text;
    };
    std::vector<Line> lines;
    int widest = 0;
    for (int i = 0; i < FunctionCount; ++i) {
        const std::string text = GetFunctionEdit(i)->Text();
        if (text.empty() || !IsFunctionShown(i)) continue;
        Line line{i, FunctionLetter(i) + "(x)=" + text};
        widest = std::max(widest, canvas.TextWidth(line.text));
        lines.push_back(std::move(line));
    }

    const std::int64_t count = std::int64_t(lines.size());
    for (std::int64_t n = 0; n < count; ++n) {
        const Line& line = lines[size_t(n)];
        canvas.Font.Color = BlackAndWhite ? clBlack : FunctionColours[size_t(line.function)];
        const std::int64_t top = height - (count - n) * (fontHeight + 2);
        canvas.TextOut(width - widest, ClampedPixel(static_cast<long double>(top)), line.text);
    }
}
