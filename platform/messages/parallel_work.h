// Spreading independent pieces of one computation over the processor's cores: a few worker
// threads, started at the first use, wait for work. For computations whose pieces touch no
// shared state (each piece writes only its own results).
#pragma once

#include <atomic>
#include <condition_variable>
#include <cstddef>
#include <exception>
#include <functional>
#include <memory>
#include <mutex>
#include <vector>

// Pieces 0 .. count - 1 of a computation, started on the worker threads when constructed;
// the constructing thread can go on with other work, then waits for the pieces it needs,
// taking the ones nobody has started yet. Pieces are started in the order of their numbers.
// Where the workers are busy with another computation (or there are none), or for a
// computation started from inside a piece, every piece runs on the waiting thread.
// Destruction waits for every piece.
class ParallelPieces {
public:
    ParallelPieces(std::size_t count, std::function<void(std::size_t)> piece);
    ~ParallelPieces();
    ParallelPieces(const ParallelPieces&) = delete;
    ParallelPieces& operator=(const ParallelPieces&) = delete;

    // Waits until piece i has run; what it threw, or null.
    std::exception_ptr Wait(std::size_t i);

    // Takes pieces (or waits for them) until none is left to take or running.
    void WaitForAll();

    // Called by the workers: runs pieces until none is left to take.
    void TakePieces();

private:
    void RunPiece(std::size_t i);

    std::function<void(std::size_t)> piece_;
    std::size_t count_;
    bool shared_ = false;  // the workers were given this computation
    std::atomic<std::size_t> next_{0};
    std::unique_ptr<std::atomic<bool>[]> done_;
    std::vector<std::exception_ptr> failures_;
    std::mutex mutex_;
    std::condition_variable finished_;  // a piece is done
};

// Runs piece(0) .. piece(count - 1), on the calling thread and the workers, and returns when
// all have returned. The first exception thrown by a piece (in the order of the pieces) is
// thrown again here, after every piece is done.
void RunInParallel(std::size_t count, const std::function<void(std::size_t)>& piece);

// How many threads a computation uses at most, the calling one included.
std::size_t ParallelThreadCount();
