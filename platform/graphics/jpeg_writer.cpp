// JPEG compression through libjpeg. The library reports errors through a callback that
// must not return; ours jumps back to the compression routine, which then frees the
// library's state, and the caller raises EJpegError. No C++ object with a destructor
// lives between the jump target and the library calls.
#include "platform/graphics/jpeg.h"

#include <QImage>
#include <QtGlobal>

#include <algorithm>
#include <csetjmp>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <system_error>

#include <jpeglib.h>

#include "platform/graphics/bitmap_image.h"
#include "platform/text/cp1252.h"

namespace {

struct ErrorManager {
    jpeg_error_mgr base;  // first member: libjpeg hands us a pointer to it
    std::jmp_buf jump;
    char message[JMSG_LENGTH_MAX];
};

extern "C" void OnJpegError(j_common_ptr cinfo) {
    auto* manager = reinterpret_cast<ErrorManager*>(cinfo->err);
    (*cinfo->err->format_message)(cinfo, manager->message);
    std::longjmp(manager->jump, 1);
}

// Warnings and trace messages are not printed.
extern "C" void OnJpegOutput(j_common_ptr) {}

// Everything the compression touches lives here, in memory owned by the caller, so that
// it is intact after a jump.
struct Job {
    jpeg_compress_struct cinfo;
    ErrorManager errors;
    unsigned char* buffer = nullptr;
    unsigned long size = 0;
    bool created = false;
    unsigned char* rowCopy = nullptr;  // used when the library cannot read our pixels directly
};

#if defined(JCS_EXTENSIONS)
constexpr bool kDirectPixels = true;
constexpr J_COLOR_SPACE kPixelSpace = (Q_BYTE_ORDER == Q_LITTLE_ENDIAN) ? JCS_EXT_BGRX : JCS_EXT_XRGB;
constexpr int kPixelComponents = 4;
#else
constexpr bool kDirectPixels = false;
constexpr J_COLOR_SPACE kPixelSpace = JCS_RGB;
constexpr int kPixelComponents = 3;
#endif

bool Compress(Job* job, const QImage* image, int quality) {
    if (setjmp(job->errors.jump)) return false;
    job->cinfo.err = jpeg_std_error(&job->errors.base);
    job->errors.base.error_exit = OnJpegError;
    job->errors.base.output_message = OnJpegOutput;
    jpeg_create_compress(&job->cinfo);
    job->created = true;
    jpeg_mem_dest(&job->cinfo, &job->buffer, &job->size);
    job->cinfo.image_width = JDIMENSION(image->isNull() ? 0 : image->width());
    job->cinfo.image_height = JDIMENSION(image->isNull() ? 0 : image->height());
    job->cinfo.input_components = kPixelComponents;
    job->cinfo.in_color_space = kPixelSpace;
    jpeg_set_defaults(&job->cinfo);
    jpeg_set_quality(&job->cinfo, quality, TRUE);  // baseline tables
    jpeg_start_compress(&job->cinfo, TRUE);
    if (!kDirectPixels) {
        job->rowCopy = static_cast<unsigned char*>(std::malloc(std::size_t(job->cinfo.image_width) * 3 + 1));
        if (!job->rowCopy) return false;
    }
    while (job->cinfo.next_scanline < job->cinfo.image_height) {
        const auto* line = image->constScanLine(int(job->cinfo.next_scanline));
        JSAMPROW row;
        if (kDirectPixels) {
            row = const_cast<JSAMPROW>(line);
        } else {
            const auto* pixels = reinterpret_cast<const QRgb*>(line);
            for (JDIMENSION x = 0; x < job->cinfo.image_width; ++x) {
                job->rowCopy[3 * x] = static_cast<unsigned char>(qRed(pixels[x]));
                job->rowCopy[3 * x + 1] = static_cast<unsigned char>(qGreen(pixels[x]));
                job->rowCopy[3 * x + 2] = static_cast<unsigned char>(qBlue(pixels[x]));
            }
            row = job->rowCopy;
        }
        jpeg_write_scanlines(&job->cinfo, &row, 1);
    }
    jpeg_finish_compress(&job->cinfo);
    return true;
}

}  // namespace

std::vector<std::uint8_t> EncodeJpeg(const TBitmap& bitmap, int quality) {
    const QImage& image = BitmapImage(bitmap);
    Job job;
    std::memset(&job.cinfo, 0, sizeof job.cinfo);
    std::memset(&job.errors, 0, sizeof job.errors);
    const bool ok = Compress(&job, &image, std::clamp(quality, 1, 100));
    if (job.created) jpeg_destroy_compress(&job.cinfo);
    std::free(job.rowCopy);
    std::vector<std::uint8_t> bytes;
    if (ok && job.buffer) bytes.assign(job.buffer, job.buffer + job.size);
    std::free(job.buffer);
    if (!ok)
        throw EJpegError(std::string("Erreur JPEG : ") +
                         (job.errors.message[0] ? job.errors.message : "m\xE9moire insuffisante"));
    return bytes;
}

void SaveJpegFile(const TBitmap& bitmap, const std::filesystem::path& file, int quality) {
    const std::vector<std::uint8_t> bytes = EncodeJpeg(bitmap, quality);
    std::FILE* out = std::fopen(file.c_str(), "wb");
    if (!out) throw EJpegError("Impossible de cr\xE9" "er le fichier " + text::PathText(file));
    const bool written = std::fwrite(bytes.data(), 1, bytes.size(), out) == bytes.size();
    const bool closed = std::fclose(out) == 0;
    if (!written || !closed) {
        std::error_code ignored;
        std::filesystem::remove(file, ignored);
        throw EJpegError("Erreur d'\xE9" "criture du fichier " + text::PathText(file));
    }
}
