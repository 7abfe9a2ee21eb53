#include "plotter/undo_snapshot.h"

std::function<void()>& UndoSnapshotTaker() {
    static std::function<void()> taker;
    return taker;
}

void SaveUndoSnapshot() {
    const std::function<void()> taker = UndoSnapshotTaker();
    if (!taker) return;
    try {
        taker();
    } catch (...) {
        // A snapshot that cannot be written leaves the ring as it was; the user sees nothing.
    }
}
