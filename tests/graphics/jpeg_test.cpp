// JPEG output: readable files of the right size, baseline quality-90 streams, and library
// or file errors raised as exceptions.
#include <gtest/gtest.h>

#include <QImage>

#include <cstdlib>
#include <filesystem>

#include "platform/graphics/bitmap.h"
#include "platform/graphics/jpeg.h"

namespace {

namespace fs = std::filesystem;

struct TempDir {
    fs::path path;
    TempDir() {
        char pattern[] = "/tmp/graphics_jpeg_XXXXXX";
        path = mkdtemp(pattern);
    }
    ~TempDir() {
        std::error_code ignored;
        fs::permissions(path, fs::perms::owner_all, ignored);
        fs::remove_all(path, ignored);
    }
};

void Paint(TBitmap& b) {
    TCanvas& c = b.Canvas();
    c.Brush.Color = clRed;
    c.FillRect(Rect(0, 0, b.Width() / 2, b.Height()));
    c.Brush.Color = clBlue;
    c.FillRect(Rect(b.Width() / 2, 0, b.Width(), b.Height()));
}

bool Near(QRgb pixel, int r, int g, int b) {
    return std::abs(qRed(pixel) - r) < 24 && std::abs(qGreen(pixel) - g) < 24 && std::abs(qBlue(pixel) - b) < 24;
}

TEST(JpegWriter, FileReadsBackWithItsSizeAndColours) {
    TempDir dir;
    TBitmap b(1600, 1200);
    Paint(b);
    const fs::path file = dir.path / "export.jpg";
    SaveJpegFile(b, file);
    QImage back;
    ASSERT_TRUE(back.load(QString::fromStdString(file.string()), "JPG"));
    EXPECT_EQ(back.width(), 1600);
    EXPECT_EQ(back.height(), 1200);
    EXPECT_FALSE(back.isGrayscale());
    EXPECT_TRUE(Near(back.pixel(100, 600), 255, 0, 0));
    EXPECT_TRUE(Near(back.pixel(1500, 600), 0, 0, 255));

    // Saving again replaces the file.
    TBitmap small(17, 9);
    SaveJpegFile(small, file);
    ASSERT_TRUE(back.load(QString::fromStdString(file.string()), "JPG"));
    EXPECT_EQ(back.width(), 17);
    EXPECT_EQ(back.height(), 9);
}

TEST(JpegWriter, MemoryStreamIsBaselineColourAtQualityNinety) {
    TBitmap b(64, 48);
    Paint(b);
    const auto bytes = EncodeJpeg(b);
    ASSERT_GT(bytes.size(), 4u);
    EXPECT_EQ(bytes[0], 0xFF);
    EXPECT_EQ(bytes[1], 0xD8);
    bool baseline = false, progressive = false;
    int components = 0;
    for (size_t i = 0; i + 9 < bytes.size(); ++i) {
        if (bytes[i] != 0xFF) continue;
        if (bytes[i + 1] == 0xC0) {
            baseline = true;
            components = bytes[i + 9];
        }
        if (bytes[i + 1] == 0xC2) progressive = true;
    }
    EXPECT_TRUE(baseline);
    EXPECT_FALSE(progressive);
    EXPECT_EQ(components, 3);
    // Quality 90 makes a larger stream than a low quality, and is the default.
    EXPECT_EQ(EncodeJpeg(b, 90), bytes);
    EXPECT_GT(bytes.size(), EncodeJpeg(b, 20).size());
}

TEST(JpegWriter, ErrorsBecomeExceptions) {
    TempDir dir;
    TBitmap b(20, 20);
    EXPECT_THROW(SaveJpegFile(b, dir.path / "missing" / "a.jpg"), EJpegError);
    fs::permissions(dir.path, fs::perms::owner_read | fs::perms::owner_exec);
    if (::access(dir.path.c_str(), W_OK) != 0) {  // root may write anyway
        EXPECT_THROW(SaveJpegFile(b, dir.path / "b.jpg"), EJpegError);
        EXPECT_FALSE(fs::exists(dir.path / "b.jpg"));
    }
    // The library's own error (an empty image) comes back through the error hook...
    TBitmap empty;
    try {
        EncodeJpeg(empty);
        FAIL() << "no exception";
    } catch (const EJpegError& e) {
        EXPECT_NE(std::string(e.what()).find("JPEG"), std::string::npos);
    }
    // ...and leaves the library usable.
    EXPECT_FALSE(EncodeJpeg(b).empty());
}

}  // namespace
