#pragma once
// Showing a picture of opaque 32-bit pixels: its pixels are copied straight into the image
// that a widget's painter paints on (the window's backing store), row by row, with stores
// that bypass the cache: the painter would blend them one row at a time to the same
// result, reading the whole destination first.
#include <QImage>
#include <QPainter>
#include <QRegion>

// Copies the part `region` (in the painter's logical coordinates, within the picture) of
// `picture` (Format_RGB32) where the painter would draw it with drawImage at (0, 0): done
// only when that is a plain copy (a raster device image of 32-bit pixels at scale 1, a
// translation by whole pixels, source-over at full opacity), clipped to what the painter
// may paint. False, with nothing painted, where it is not; the caller then draws it.
bool CopyOpaquePicture(QPainter& painter, const QRegion& region, const QImage& picture);
