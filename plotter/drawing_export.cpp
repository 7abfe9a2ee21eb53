#include "plotter/drawing_export.h"

#include "engine/number_conversion.h"
#include "engine/number_errors.h"
#include "engine/number_format.h"
#include "engine/rounding.h"
#include "platform/graphics/bitmap.h"
#include "platform/graphics/clipboard.h"
#include "platform/graphics/jpeg.h"
#include "platform/ui/screen.h"
#include "plotter/drawing_state.h"
#include "plotter/main_form.h"
#include "plotter/redraw_pipeline.h"

void CopyDrawingToClipboard(TForm1& form) {
    const int width = ParseDecimalInteger(form.Edit17->Text());
    // A width of 0 or less would draw nothing and leave an empty image on the clipboard;
    // an image control without width gives no proportions to keep.
    if (width < 1)
        throw EExportWidthError("Largeur d'image incorrecte : " + FormatGeneral(width, GeneralDigits));
    const int screenWidth = form.im->Width();
    const int screenHeight = form.im->Height();
    if (screenWidth < 1) throw FloatZeroDivideError();
    const int height = RoundToInt(static_cast<long double>(width) / screenWidth * screenHeight);

    // The export shows what the screen shows, also with "Figer les images": a white
    // picture with everything a forced redraw draws (axes, grid and every curve).
    TBitmap picture(width, height);
    picture.Canvas().Brush.Color = clWhite;
    picture.Canvas().Brush.Style = bsSolid;
    picture.Canvas().FillRect(TRect{0, 0, width, height});
    const bool forced = ForcedRedrawFlag;
    ForcedRedrawFlag = true;
    RedrawGraph(picture);
    ForcedRedrawFlag = forced;
    ClipboardService().SetImage(picture);
    // The export redraw computed the font height for its own size.
    AxisFontHeight = ComputeAxisFontHeight(screenWidth, screenHeight);
}

void WriteClipboardDrawingAsJpeg(TForm1& form, const std::filesystem::path& file) {
    CopyDrawingToClipboard(form);
    IClipboard& clipboard = ClipboardService();
    if (!clipboard.HasImage()) return;
    Screen->SetCursor(crHourGlass);
    try {
        TBitmap picture;
        clipboard.GetImage(picture);
        SaveJpegFile(picture, file);
    } catch (...) {
        Screen->SetCursor(crDefault);  // a failed write must not leave the hourglass up
        throw;
    }
    Screen->SetCursor(crDefault);
}
