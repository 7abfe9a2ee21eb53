#pragma once
// An off-screen bitmap of 32-bit pixels with its canvas.
//
// A new bitmap is white. Changing the size keeps the pixels that the old and the new size
// have in common and makes every new pixel white. Negative sizes count as 0; a size beyond
// MaxSide or MaxPixels raises EOutOfResources and leaves the bitmap unchanged.
// A bitmap is neither copied nor moved (its canvas refers to it); Assign copies the
// picture of another one.
#include <functional>
#include <memory>
#include <stdexcept>

#include "platform/graphics/canvas.h"

class EOutOfResources : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

class TBitmap {
public:
    static constexpr int MaxSide = 32767;
    static constexpr long long MaxPixels = 1LL << 27;  // 512 MiB of pixels

    TBitmap();
    TBitmap(int width, int height);
    TBitmap(const TBitmap&) = delete;
    TBitmap& operator=(const TBitmap&) = delete;
    ~TBitmap();

    int Width() const;
    int Height() const;
    void SetWidth(int width);
    void SetHeight(int height);
    void SetSize(int width, int height);
    bool Empty() const { return Width() == 0 || Height() == 0; }

    // Takes over the size and the pixels of another bitmap (not its canvas state).
    void Assign(const TBitmap& source);

    TCanvas& Canvas() { return *canvas_; }

    // Fired after every drawing call and every change of the size (the image control
    // schedules a repaint); it runs once per call, so it should be cheap.
    std::function<void()> OnChange;

    struct Impl;
    Impl& GetImpl() const { return *impl_; }

private:
    std::unique_ptr<Impl> impl_;
    std::unique_ptr<TCanvas> canvas_;
};
