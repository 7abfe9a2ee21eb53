#pragma once
// Counts a running activity (a dispatch, a delivery to the application) for the life of
// a scope, so that the code can tell whether it runs inside one, also after an exception.
class ScopedCount {
public:
    explicit ScopedCount(int& Count) : FCount(Count) { ++FCount; }
    ~ScopedCount() { --FCount; }
    ScopedCount(const ScopedCount&) = delete;
    ScopedCount& operator=(const ScopedCount&) = delete;

private:
    int& FCount;
};
