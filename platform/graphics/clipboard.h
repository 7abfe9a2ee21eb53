#pragma once
// The clipboard's image service. The program puts its drawing on the clipboard as a bitmap
// and reads it back (the FTP preview). The current service is a plain pointer set by the
// component layer's service registry; tests install a MemoryClipboard.
#include <memory>

#include "platform/graphics/bitmap.h"

class IClipboard {
public:
    virtual ~IClipboard() = default;
    virtual void SetImage(const TBitmap& bitmap) = 0;
    virtual bool HasImage() = 0;
    // Copies the clipboard's image into the bitmap; false (bitmap unchanged) when there is none.
    virtual bool GetImage(TBitmap& into) = 0;
};

// The system clipboard through the GUI library; needs a running QGuiApplication.
class QtClipboard final : public IClipboard {
public:
    void SetImage(const TBitmap& bitmap) override;
    bool HasImage() override;
    bool GetImage(TBitmap& into) override;
};

// A clipboard held in memory: the test double, and the service until another is set.
class MemoryClipboard final : public IClipboard {
public:
    MemoryClipboard();
    ~MemoryClipboard() override;
    void SetImage(const TBitmap& bitmap) override;
    bool HasImage() override;
    bool GetImage(TBitmap& into) override;
    void Clear();
    int SetCount() const { return setCount_; }

private:
    std::unique_ptr<TBitmap> stored_;
    int setCount_ = 0;
};

// The current service (not owned). SetClipboardService(nullptr) returns to the built-in
// MemoryClipboard. Returns the previous service.
IClipboard* SetClipboardService(IClipboard* service);
IClipboard& ClipboardService();
