#include "plotter/movable_label_state.h"

#include <algorithm>
#include <cmath>
#include <utility>

#include "engine/rounding.h"
#include "plotter/drawing_state.h"
#include "platform/graphics/canvas.h"

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
