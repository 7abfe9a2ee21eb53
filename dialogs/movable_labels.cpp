#include "dialogs/movable_labels.h"

#include <algorithm>
#include <cmath>

#include "dialogs/labels_form.h"
#include "engine/number_conversion.h"
#include "engine/number_format.h"
#include "engine/rounding.h"
#include "plotter/drawing_state.h"
#include "plotter/function_rows.h"
#include "plotter/main_form.h"
#include "plotter/pixel_mapping.h"
#include "platform/graphics/bitmap.h"

bool FillingLabelDialog = false;

namespace {

// A size text the conversion refuses ("-", "1,2,3", "1E400") counts as 0 like any other
// text that is not a number: the labels are read at every keystroke in a label text, and a
// half-typed size must not raise there.
double SizeFromText(const std::string& text) {
    try {
        return ParseFloatOrZero(text);
    } catch (const NumberError&) {
        return 0;
    }
}

bool IsScreenBitmap(const TBitmap& bitmap) { return Form1 != nullptr && &bitmap == &Form1->im->Bitmap(); }

}  // namespace

void ReadLabelsFromDialog() {
    if (!Form7) return;
    for (int k = 0; k < LabelCount; ++k) {
        LabelTexts[size_t(k)] = Form7->TextEdits[size_t(k)]->Text();
        LabelSizes[size_t(k)] = SizeFromText(Form7->SizeEdits[size_t(k)]->Text());
    }
    // An empty label is parked at the bottom left of the window, one label height apart
    // from its neighbours, so that it is easy to find when it gets a text again. Before
    // the image has a height there is no label height: they all park on the bottom edge.
    const int imageHeight = Form1 ? Form1->im->Height() : 0;
    const double fontHeight = AxisFontHeight;
    for (int k = 0; k < LabelCount; ++k) {
        if (!LabelTexts[size_t(k)].empty()) continue;
        LabelX[size_t(k)] = WindowXMin;
        LabelY[size_t(k)] = imageHeight > 0
                                ? WindowYMin + fontHeight / imageHeight * (WindowYMax - WindowYMin) * 1.1 * (12 - k)
                                : WindowYMin;
    }
}

void FillLabelDialog() {
    if (!Form7) return;
    FillingLabelDialog = true;
    try {
        for (int k = 0; k < LabelCount; ++k) {
            Form7->TextEdits[size_t(k)]->SetText(LabelTexts[size_t(k)]);
            Form7->SizeEdits[size_t(k)]->SetText(FormatGeneral(LabelSizes[size_t(k)], GeneralDigits));
        }
    } catch (...) {
        FillingLabelDialog = false;
        throw;
    }
    FillingLabelDialog = false;
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

void ImportFunctionLabels() {
    if (!Form7) return;
    int n = 0;
    for (int i = 0; i < FunctionCount; ++i) {
        const std::string formula = GetFunctionEdit(i)->Text();
        if (formula.empty() || !IsFunctionShown(i)) continue;
        std::string text;
        if (Form7->cnm->Checked()) text += FunctionLetter(i);
        if (Form7->cpre->Checked()) text += Form7->Edit25->Text();
        if (Form7->cfor->Checked()) text += formula;
        LabelTexts[size_t(3 + n)] = text;
        ++n;
    }
    FillLabelDialog();
}
