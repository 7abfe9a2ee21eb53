// Spreading independent pieces of one computation over the processor's cores: a few worker
// threads, started at the first use, wait for work; the calling thread takes pieces too and
// returns when every piece is done. For computations that touch no shared state (each
// piece writes only its own results).
#pragma once

#include <cstddef>
#include <functional>

// Runs piece(0) .. piece(count - 1), in any order and on any of the threads, and returns
// when all have returned. An exception thrown by a piece is thrown again here, after the
// other pieces are done (the first one, if several throw). A call made from inside a piece,
// or while another thread's call runs, runs its pieces one after another on its own thread.
void RunInParallel(std::size_t count, const std::function<void(std::size_t)>& piece);

// How many threads RunInParallel uses at most, the calling one included.
std::size_t ParallelThreadCount();
