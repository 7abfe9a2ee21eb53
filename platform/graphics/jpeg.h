#pragma once
// JPEG output of a bitmap through libjpeg: 24-bit colour, baseline, quality 90 unless
// told otherwise. Any failure of the library or of the file raises EJpegError; the
// library never ends the process.
#include <cstdint>
#include <filesystem>
#include <stdexcept>
#include <vector>

class TBitmap;

class EJpegError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;  // what() is Windows-1252
};

constexpr int DefaultJpegQuality = 90;

std::vector<std::uint8_t> EncodeJpeg(const TBitmap& bitmap, int quality = DefaultJpegQuality);
// Writes the file (created or replaced); a partly written file is removed on failure.
void SaveJpegFile(const TBitmap& bitmap, const std::filesystem::path& file,
                  int quality = DefaultJpegQuality);
