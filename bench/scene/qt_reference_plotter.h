#pragma once
// The peer of the drawing benchmarks: a plain plotter written directly on the GUI library.
// It samples the nine functions of the scene once per pixel column in double precision,
// maps them to pixels and draws each as polylines (broken where the function is undefined
// or far off the picture) with a 3-pixel pen into a white image of the scene's size.
// The GUI library's image fill leaves the upper halves of the wide vector registers in use,
// which makes the C library's math functions that follow it many times slower on some
// processors; `clearsVectorState` clears them before sampling each function, as our
// program does before its own double arithmetic, for a second, fairer peer.
class QtReferencePlotter {
public:
    explicit QtReferencePlotter(bool clearsVectorState = false);
    ~QtReferencePlotter();
    QtReferencePlotter(const QtReferencePlotter&) = delete;
    QtReferencePlotter& operator=(const QtReferencePlotter&) = delete;

    // One whole picture: fill, sampling and drawing. The window is -5 .. 5 both ways,
    // shifted by (dx, dy) as a pan would.
    void Draw(double dx = 0, double dy = 0);
    // A checksum of the picture, so that the drawing cannot be optimised away.
    unsigned Checksum() const;

private:
    struct Impl;
    Impl* impl_;
};
