#pragma once
// The drawing taken out of the program: redrawn at the export width into a bitmap of its
// own, put on the clipboard, and written from there as a JPEG file.
#include <filesystem>
#include <stdexcept>

class TForm1;

// An export width that cannot make a picture (not at least one pixel).
class EExportWidthError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;  // what() is Windows-1252
};

// Draws the whole picture into a new bitmap as wide as the export width ("Largeur
// d'image", a decimal integer) with the proportions of the image on screen, on white and
// as a forced redraw draws it (also while "Figer les images" keeps the screen's older
// curves, which the new bitmap cannot hold), puts it on the
// clipboard, and gives the screen back its own graduation font height. A width that is
// not a decimal integer, or not a positive one, raises before anything is drawn.
void CopyDrawingToClipboard(TForm1& form);

// Copies the drawing to the clipboard as above, then writes the clipboard's bitmap as a
// JPEG file under the name given, with the hourglass cursor while it writes.
void WriteClipboardDrawingAsJpeg(TForm1& form, const std::filesystem::path& file);
