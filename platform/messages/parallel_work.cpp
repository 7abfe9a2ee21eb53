#include "platform/messages/parallel_work.h"

#include <algorithm>
#include <atomic>
#include <condition_variable>
#include <exception>
#include <mutex>
#include <thread>
#include <vector>

namespace {

// Beyond four threads the pieces of a redraw (a few curves, a copy of a picture limited by
// the memory's speed) gain nothing more.
constexpr std::size_t MostThreads = 4;

thread_local bool insidePiece = false;

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

    // False, with nothing run, while another call is running.
    bool Run(std::size_t count, const std::function<void(std::size_t)>& piece) {
        std::unique_lock<std::mutex> busy(running_, std::try_to_lock);
        if (!busy.owns_lock()) return false;
        {
            const std::lock_guard<std::mutex> lock(mutex_);
            piece_ = &piece;
            count_ = count;
            next_.store(0);
            done_ = 0;
            failure_ = nullptr;
            ++generation_;
        }
        wake_.notify_all();
        TakePieces();
        std::unique_lock<std::mutex> lock(mutex_);
        finished_.wait(lock, [this] { return done_ == count_ && helping_ == 0; });
        piece_ = nullptr;
        if (failure_) std::rethrow_exception(failure_);
        return true;
    }

private:
    void Serve() {
        std::uint64_t seen = 0;
        std::unique_lock<std::mutex> lock(mutex_);
        for (;;) {
            wake_.wait(lock, [&] { return stopping_ || generation_ != seen; });
            if (stopping_) return;
            seen = generation_;
            if (!piece_) continue;
            ++helping_;
            lock.unlock();
            TakePieces();
            lock.lock();
            --helping_;
            if (done_ == count_ && helping_ == 0) finished_.notify_all();
        }
    }

    // Runs pieces until none is left to take.
    void TakePieces() {
        insidePiece = true;
        std::size_t ran = 0;
        for (;;) {
            const std::size_t i = next_.fetch_add(1);
            if (i >= count_) break;
            try {
                (*piece_)(i);
            } catch (...) {
                const std::lock_guard<std::mutex> lock(mutex_);
                if (!failure_) failure_ = std::current_exception();
            }
            ++ran;
        }
        insidePiece = false;
        const std::lock_guard<std::mutex> lock(mutex_);
        done_ += ran;
        if (done_ == count_ && helping_ == 0) finished_.notify_all();
    }

    std::vector<std::thread> threads_;
    std::mutex running_;  // held by the call being run
    std::mutex mutex_;
    std::condition_variable wake_, finished_;
    bool stopping_ = false;
    std::uint64_t generation_ = 0;
    const std::function<void(std::size_t)>* piece_ = nullptr;
    std::size_t count_ = 0;
    std::atomic<std::size_t> next_{0};
    std::size_t done_ = 0;
    std::size_t helping_ = 0;  // workers inside TakePieces
    std::exception_ptr failure_;
};

WorkerCrew& Crew() {
    static WorkerCrew crew;
    return crew;
}

void RunInTurn(std::size_t count, const std::function<void(std::size_t)>& piece) {
    for (std::size_t i = 0; i < count; ++i) piece(i);
}

}  // namespace

void RunInParallel(std::size_t count, const std::function<void(std::size_t)>& piece) {
    if (count <= 1 || insidePiece || !Crew().Run(count, piece)) RunInTurn(count, piece);
}

std::size_t ParallelThreadCount() { return Crew().Threads(); }
