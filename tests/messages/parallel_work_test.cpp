#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <stdexcept>
#include <thread>
#include <vector>

#include "platform/messages/parallel_work.h"

namespace {

TEST(ParallelWork, EveryPieceRunsOnceWhateverTheCountAndTheCallsBefore) {
    for (int round = 0; round < 200; ++round) {
        const std::size_t count = std::size_t(round % 13);
        std::vector<std::atomic<int>> runs(count);
        RunInParallel(count, [&](std::size_t i) { runs[i].fetch_add(1); });
        for (std::size_t i = 0; i < count; ++i) ASSERT_EQ(runs[i].load(), 1) << "piece " << i << " of " << count;
    }
    EXPECT_GE(ParallelThreadCount(), 1u);
    EXPECT_LE(ParallelThreadCount(), 4u);
}

TEST(ParallelWork, PiecesRunSideBySideWhereThereAreSeveralThreads) {
    if (ParallelThreadCount() < 2) GTEST_SKIP() << "one thread only";
    // Two pieces that wait for each other finish only if they run at the same time.
    std::atomic<int> arrived{0};
    std::atomic<bool> together{true};
    RunInParallel(2, [&](std::size_t) {
        arrived.fetch_add(1);
        const auto start = std::chrono::steady_clock::now();
        while (arrived.load() < 2) {
            if (std::chrono::steady_clock::now() - start > std::chrono::seconds(5)) {
                together = false;
                return;
            }
            std::this_thread::yield();
        }
    });
    EXPECT_TRUE(together.load());
}

TEST(ParallelWork, PiecesStartedAheadRunWhileTheCallerWorksAndEachReportsItsOwnFailure) {
    if (ParallelThreadCount() < 2) GTEST_SKIP() << "one thread only";
    std::atomic<int> started{0};
    {
        ParallelPieces pieces(3, [&](std::size_t i) {
            started.fetch_add(1);
            if (i == 1) throw std::runtime_error("piece 1");
        });
        // The caller does not wait: the pieces must start on the workers by themselves.
        const auto start = std::chrono::steady_clock::now();
        while (started.load() == 0 && std::chrono::steady_clock::now() - start < std::chrono::seconds(5))
            std::this_thread::yield();
        EXPECT_GT(started.load(), 0);
        EXPECT_FALSE(pieces.Wait(2));
        EXPECT_TRUE(pieces.Wait(1));
        EXPECT_FALSE(pieces.Wait(0));
    }
    EXPECT_EQ(started.load(), 3);
}

TEST(ParallelWork, AFailingPieceIsReportedAfterTheOthersAreDone) {
    std::atomic<int> done{0};
    EXPECT_THROW(RunInParallel(40,
                               [&](std::size_t i) {
                                   if (i == 7) throw std::runtime_error("piece 7");
                                   std::this_thread::sleep_for(std::chrono::microseconds(200));
                                   done.fetch_add(1);
                               }),
                 std::runtime_error);
    EXPECT_EQ(done.load(), 39);
    // The crew serves the next call as before.
    std::atomic<int> next{0};
    RunInParallel(10, [&](std::size_t) { next.fetch_add(1); });
    EXPECT_EQ(next.load(), 10);
}

TEST(ParallelWork, CallsFromInsideAPieceOrFromTwoThreadsAtOnceAllComplete) {
    std::atomic<int> inner{0};
    RunInParallel(6, [&](std::size_t) { RunInParallel(5, [&](std::size_t) { inner.fetch_add(1); }); });
    EXPECT_EQ(inner.load(), 30);

    std::atomic<int> total{0};
    std::vector<std::thread> callers;
    for (int t = 0; t < 4; ++t)
        callers.emplace_back([&] {
            for (int round = 0; round < 50; ++round) RunInParallel(8, [&](std::size_t) { total.fetch_add(1); });
        });
    for (std::thread& t : callers) t.join();
    EXPECT_EQ(total.load(), 4 * 50 * 8);
}

}  // namespace
