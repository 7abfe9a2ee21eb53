#pragma once
// Access to the image behind a bitmap, for the platform layer only (the component layer
// paints it, the clipboard and the JPEG writer read it). Code above platform/ uses the
// canvas instead.
#include <QImage>

#include <cstdint>

#include "platform/graphics/bitmap.h"

struct TBitmap::Impl {
    QImage image;                // Format_RGB32, or null when the bitmap is empty
    std::uint64_t changes = 0;   // counts BitmapChanged calls
};

// The image of the bitmap (Format_RGB32). Whoever writes through it calls BitmapChanged
// afterwards (the canvas relies on the change count to skip repainting what it just drew).
inline QImage& BitmapImage(TBitmap& bitmap) { return bitmap.GetImpl().image; }
inline const QImage& BitmapImage(const TBitmap& bitmap) { return bitmap.GetImpl().image; }

// Replaces the picture by a copy of the image, converted to Format_RGB32 (throws
// EOutOfResources when it is larger than a bitmap may be).
void SetBitmapImage(TBitmap& bitmap, const QImage& image);
// Counts a change of the pixels or the size and fires the bitmap's OnChange.
void BitmapChanged(TBitmap& bitmap);
