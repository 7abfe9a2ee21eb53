#include "platform/messages/parallel_work.h"

#include <algorithm>
#include <cstdint>
#include <thread>

namespace {

// Beyond four threads the pieces of a redraw (a few curves) gain nothing more.
constexpr std::size_t MostThreads = 4;

// Set while the thread runs a piece: a computation started there runs on it alone.
thread_local bool insidePiece = false;

class PieceScope {
public:
    PieceScope() : outer_(insidePiece) { insidePiece = true; }
    ~PieceScope() { insidePiece = outer_; }
    PieceScope(const PieceScope&) = delete;
    PieceScope& operator=(const PieceScope&) = delete;

private:
    bool outer_;
};

// The worker threads, serving one computation at a time.
class WorkerCrew {
public:
    WorkerCrew() {
        const std::size_t cores = std::max(1u, std::thread::hardware_concurrency());
        const std::size_t workers = std::min(cores, MostThreads) - 1;
        for (std::size_t i = 0; i < workers; ++i) threads_.emplace_back([this] { Serve(); });
    }

    ~WorkerCrew() {
        {
            const std::lock_guard<std::mutex> lock(mutex_);
            stopping_ = true;
        }
        wake_.notify_all();
        for (std::thread& t : threads_) t.join();
    }

    std::size_t Threads() const { return threads_.size() + 1; }

    // Gives the workers `pieces`; false, with nothing given, while they serve another
    // computation or where there are none.
    bool Attach(ParallelPieces* pieces) {
        if (threads_.empty()) return false;
        {
            const std::lock_guard<std::mutex> lock(mutex_);
            if (current_) return false;
            current_ = pieces;
            ++generation_;
        }
        wake_.notify_all();
        return true;
    }

    // Takes `pieces` back once no worker is inside it any more.
    void Detach() {
        std::unique_lock<std::mutex> lock(mutex_);
        current_ = nullptr;
        idle_.wait(lock, [this] { return helping_ == 0; });
    }

private:
    void Serve() {
        std::uint64_t seen = 0;
        std::unique_lock<std::mutex> lock(mutex_);
        for (;;) {
            wake_.wait(lock, [&] { return stopping_ || generation_ != seen; });
            if (stopping_) return;
            seen = generation_;
            ParallelPieces* pieces = current_;
            if (!pieces) continue;
            ++helping_;
            lock.unlock();
            pieces->TakePieces();
            lock.lock();
            if (--helping_ == 0) idle_.notify_all();
        }
    }

    std::vector<std::thread> threads_;
    std::mutex mutex_;
    std::condition_variable wake_, idle_;
    bool stopping_ = false;
    std::uint64_t generation_ = 0;
    ParallelPieces* current_ = nullptr;
    std::size_t helping_ = 0;  // workers inside current_
};

WorkerCrew& Crew() {
    static WorkerCrew crew;
    return crew;
}

}  // namespace

ParallelPieces::ParallelPieces(std::size_t count, std::function<void(std::size_t)> piece)
    : piece_(std::move(piece)), count_(count), done_(new std::atomic<bool>[count]), failures_(count) {
    for (std::size_t i = 0; i < count; ++i) done_[i] = false;
    if (count > 1 && !insidePiece) shared_ = Crew().Attach(this);
}

ParallelPieces::~ParallelPieces() {
    WaitForAll();
    if (shared_) Crew().Detach();
}

void ParallelPieces::RunPiece(std::size_t i) {
    {
        const PieceScope scope;
        try {
            piece_(i);
        } catch (...) {
            failures_[i] = std::current_exception();
        }
    }
    {
        const std::lock_guard<std::mutex> lock(mutex_);
        done_[i].store(true, std::memory_order_release);
    }
    finished_.notify_all();
}

void ParallelPieces::TakePieces() {
    for (std::size_t i = next_.fetch_add(1); i < count_; i = next_.fetch_add(1)) RunPiece(i);
}

std::exception_ptr ParallelPieces::Wait(std::size_t i) {
    while (!done_[i].load(std::memory_order_acquire)) {
        const std::size_t k = next_.fetch_add(1);
        if (k < count_) {
            RunPiece(k);
            continue;
        }
        std::unique_lock<std::mutex> lock(mutex_);
        finished_.wait(lock, [&] { return done_[i].load(std::memory_order_acquire); });
    }
    return failures_[i];
}

void ParallelPieces::WaitForAll() {
    for (std::size_t i = 0; i < count_; ++i) Wait(i);
}

void RunInParallel(std::size_t count, const std::function<void(std::size_t)>& piece) {
    std::exception_ptr first;
    {
        ParallelPieces pieces(count, piece);
        for (std::size_t i = 0; i < count; ++i) {
            const std::exception_ptr failure = pieces.Wait(i);
            if (failure && !first) first = failure;
        }
    }
    if (first) std::rethrow_exception(first);
}

std::size_t ParallelThreadCount() { return Crew().Threads(); }
