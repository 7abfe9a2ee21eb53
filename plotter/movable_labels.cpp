#include "plotter/movable_labels.h"

#include <algorithm>
#include <cmath>
#include <utility>

#include "engine/rounding.h"
#include "plotter/drawing_state.h"
#include "plotter/main_form.h"
#include "plotter/pixel_mapping.h"
#include "platform/graphics/bitmap.h"

std::array<std::string, LabelCount> LabelTexts;
std::array<double, LabelCount> LabelSizes;
std::array<double, LabelCount> LabelX;
std::array<double, LabelCount> LabelY;
std::array<double, LabelCount> LabelHitRight;
std::array<double, LabelCount> LabelHitBottom;
std::array<std::int32_t, LabelCount> LabelHighlighted;
std::int32_t DraggedLabel = -1;

void ResetMovableLabels() {
    for (int k = 0; k < LabelCount; ++k) {
        LabelTexts[size_t(k)].clear();
        LabelSizes[size_t(k)] = 100;
        LabelX[size_t(k)] = 0;
        LabelY[size_t(k)] = (k + 1) * 5 / 100.0;  // 0.05 for E.1 up to 0.6 for E.12
        LabelHitRight[size_t(k)] = -1;
        LabelHitBottom[size_t(k)] = -1;
        LabelHighlighted[size_t(k)] = 0;
    }
    DraggedLabel = -1;
}

namespace {

bool IsScreenBitmap(const TBitmap& bitmap) { return Form1 != nullptr && &bitmap == &Form1->im->Bitmap(); }

std::function<std::string()>& FontNameReader() {
    static std::function<std::string()> reader;
    return reader;
}

}  // namespace

void SetLabelFontNameReader(std::function<std::string()> reader) { FontNameReader() = std::move(reader); }

std::string LabelFontName() {
    const auto& reader = FontNameReader();
    return reader ? reader() : std::string("Arial");
}

int LabelFontHeight(int index) {
    // Heights beyond what the canvas draws are drawn at its limit anyway; keeping the value
    // there lets an absurd size draw like the largest one instead of ending the redraw.
    const long double height = static_cast<long double>(AxisFontHeight) * LabelSizes.at(size_t(index)) / 100;
    if (std::isnan(height)) return 0;
    return RoundToInt(std::clamp<long double>(height, -TCanvas::MaxFontHeight, TCanvas::MaxFontHeight));
}

void DrawLabels(TBitmap& bitmap, int index) {
    const int width = bitmap.Width();
    const int height = bitmap.Height();
    const bool screen = IsScreenBitmap(bitmap);
    TCanvas& canvas = bitmap.Canvas();
    canvas.Font.Color = clBlack;
    canvas.Font.Name = LabelFontName();
    canvas.Font.Bold = false;
    for (int k = 0; k < LabelCount; ++k) {
        if (index >= 0 && k != index) continue;
        const std::string& text = LabelTexts[size_t(k)];
        if (text.empty()) {
            if (screen) LabelHitRight[size_t(k)] = LabelHitBottom[size_t(k)] = -1;
            continue;
        }
        if (LabelHighlighted[size_t(k)] == 1) {
            canvas.Brush.Style = bsSolid;
            canvas.Brush.Color = LabelHighlightColour;
        } else {
            canvas.Brush.Style = bsClear;
        }
        const int fontHeight = LabelFontHeight(k);
        canvas.Font.Height = fontHeight;
        const int x = PixelColumn(LabelX[size_t(k)], width);
        const int y = PixelRow(LabelY[size_t(k)], height);
        if (screen) {
            LabelHitRight[size_t(k)] = double(x) + canvas.TextWidth(text);
            LabelHitBottom[size_t(k)] = double(y) + fontHeight;
        }
        canvas.TextOut(x, y, text);
    }
}
