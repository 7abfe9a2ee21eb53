#include "tests/support/picture_compare.h"

#include <gtest/gtest.h>

#include "platform/graphics/bitmap.h"

bool SamePixels(TBitmap& a, TBitmap& b) {
    for (int y = 0; y < a.Height(); ++y)
        for (int x = 0; x < a.Width(); ++x)
            if (a.Canvas().Pixels(x, y) != b.Canvas().Pixels(x, y)) {
                ADD_FAILURE() << "first difference at (" << x << ", " << y << ")";
                return false;
            }
    return true;
}
