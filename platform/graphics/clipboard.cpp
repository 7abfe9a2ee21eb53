// The clipboard image service: the system clipboard through Qt, a memory double, and the
// current-service pointer.
#include "platform/graphics/clipboard.h"

#include <QClipboard>
#include <QCoreApplication>
#include <QGuiApplication>
#include <QImage>
#include <QMimeData>

#include <stdexcept>

#include "platform/graphics/bitmap_image.h"

namespace {

QClipboard& SystemClipboard() {
    if (!qobject_cast<QGuiApplication*>(QCoreApplication::instance()))
        throw std::logic_error("the clipboard needs a QGuiApplication");
    return *QGuiApplication::clipboard();
}

IClipboard* g_service = nullptr;

}  // namespace

void QtClipboard::SetImage(const TBitmap& bitmap) { SystemClipboard().setImage(BitmapImage(bitmap).copy()); }

bool QtClipboard::HasImage() {
    const QMimeData* data = SystemClipboard().mimeData();
    return data && data->hasImage();
}

bool QtClipboard::GetImage(TBitmap& into) {
    const QImage image = SystemClipboard().image();
    if (image.isNull()) return false;
    SetBitmapImage(into, image);
    return true;
}

MemoryClipboard::MemoryClipboard() = default;
MemoryClipboard::~MemoryClipboard() = default;

void MemoryClipboard::SetImage(const TBitmap& bitmap) {
    auto copy = std::make_unique<TBitmap>();
    copy->Assign(bitmap);
    stored_ = std::move(copy);
    ++setCount_;
}

bool MemoryClipboard::HasImage() { return stored_ != nullptr; }

bool MemoryClipboard::GetImage(TBitmap& into) {
    if (!stored_) return false;
    into.Assign(*stored_);
    return true;
}

void MemoryClipboard::Clear() { stored_.reset(); }

IClipboard* SetClipboardService(IClipboard* service) {
    IClipboard* previous = g_service;
    g_service = service;
    return previous;
}

IClipboard& ClipboardService() {
    static MemoryClipboard fallback;
    return g_service ? *g_service : fallback;
}
