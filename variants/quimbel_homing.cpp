// Crossing a steep stretch off the picture. Homing in a fine step at a time costs one
// evaluation per fine step (131072 per quarter column with precise tracing), which can
// take seconds; the run of homing samples is instead probed at growing distances, never
// more than one base step apart, and bisected back to the fine step where it ends.
#include <algorithm>
#include <array>
#include <cmath>

#include "variants/quimbel_walk.h"

namespace quimbel {

long double WalkEvaluator::KeptValueOr(long double x) {
    kept_ = false;
    if (x == keptX_) return keptValue_;
    return Value(x);
}

void WalkEvaluator::KeepForNext(long double x, long double value) {
    kept_ = true;
    keptX_ = x;
    keptValue_ = value;
}

namespace {

// Sample n of a run: its look-ahead, the row of the look-ahead before it, and whether it
// homes.
struct Probe {
    std::int64_t n = 0;
    long double value = 0;
    long double row = 0;
    long double previousRow = 0;
    bool homes = false;

    int Side() const { return row < 0 ? -1 : +1; }             // above or below the picture
    int Slope() const { return row > previousRow ? +1 : -1; }  // going down or up
};

// Between two homing samples that lie on different sides of the picture, or where the
// curve goes down at one and up at the other, the curve may have come onto the picture or
// slowed down. Between two that agree, it is taken to have stayed off and fast.
bool MayStopHomingBetween(const Probe& a, const Probe& b) {
    return a.Side() != b.Side() || a.Slope() != b.Slope();
}

class HomingRun {
public:
    HomingRun(const WalkFrame& frame, WalkEvaluator& evaluator, long double start, long double startX,
              long double startRow)
        : frame_(frame), evaluator_(evaluator), start_(start), startX_(startX), startRow_(startRow) {}

    // Where the walk stands before sample n, and where it stood after the sample before.
    long double WalkAt(std::int64_t n) const { return start_ + static_cast<long double>(n) * frame_.fine; }
    long double PreviousX(std::int64_t n) const { return n == 0 ? startX_ : WalkAt(n - 1); }
    long double LookAheadX(std::int64_t n) const { return WalkAt(n) + static_cast<long double>(frame_.dx); }

    // The last sample the walk takes before the window's end: the one after which it stands
    // at or beyond it.
    std::int64_t LastSample() const {
        // The largest m with WalkAt(m) < xmax (-1 when none), bisected from an estimate.
        long double estimate = std::ceil((frame_.xmax - start_) / frame_.fine);
        if (!(estimate < 1E15L)) estimate = 1E15L;
        std::int64_t lo = -1;
        std::int64_t hi = static_cast<std::int64_t>(std::max(estimate, 0.0L)) + 2;
        while (WalkAt(hi) < frame_.xmax && hi < (std::int64_t(1) << 60)) hi *= 2;
        while (hi - lo > 1) {
            const std::int64_t mid = lo + (hi - lo) / 2;
            (WalkAt(mid) < frame_.xmax ? lo : hi) = mid;
        }
        return lo + 1;
    }

    Probe At(std::int64_t n) {
        Probe p;
        p.n = n;
        p.previousRow = n == 0 ? startRow_ : Look(n - 1).row;
        const Cached here = Look(n);
        p.value = here.value;
        p.row = here.row;
        p.homes = frame_.OffPicture(p.row) && std::fabs(p.row - p.previousRow) > HomingJump &&
                  LookAheadX(n) > frame_.xmin;
        return p;
    }

    // lo homes and hi does not: the first sample after lo that does not home, taking every
    // sample between two homing ones to home as well.
    Probe FirstNotHoming(Probe lo, Probe hi) {
        while (hi.n - lo.n > 1 && !evaluator_.Spent()) {
            const Probe mid = At(lo.n + (hi.n - lo.n) / 2);
            (mid.homes ? lo : hi) = mid;
        }
        return hi;
    }

    // lo and hi home, and the curve may have stopped homing between them: halves the gap
    // towards where it may have, and returns the first sample found there that does not
    // home (hi when none does).
    Probe LookBetween(Probe lo, Probe hi) {
        const Probe end = hi;
        while (hi.n - lo.n > 1 && !evaluator_.Spent()) {
            const Probe mid = At(lo.n + (hi.n - lo.n) / 2);
            if (!mid.homes) return FirstNotHoming(lo, mid);
            if (MayStopHomingBetween(lo, mid)) {
                hi = mid;
            } else {
                lo = mid;
            }
        }
        return end;
    }

private:
    struct Cached {
        std::int64_t n = -1;
        long double value = 0;
        long double row = 0;
    };

    // The look-ahead of sample n, remembered for the few probes that follow.
    Cached Look(std::int64_t n) {
        for (const Cached& c : cache_)
            if (c.n == n) return c;
        Cached c;
        c.n = n;
        c.value = evaluator_.Value(LookAheadX(n));
        c.row = frame_.RowOf(c.value);
        cache_[next_] = c;
        next_ = (next_ + 1) % cache_.size();
        return c;
    }

    const WalkFrame& frame_;
    WalkEvaluator& evaluator_;
    long double start_;
    long double startX_;
    long double startRow_;
    std::array<Cached, 4> cache_{};
    std::size_t next_ = 0;
};

}  // namespace

HomingRunEnd CrossHomingRun(const WalkFrame& frame, WalkEvaluator& evaluator, long double start,
                            long double startX, long double startRow) {
    // Below the resolution of the abscissa the walk cannot advance by a fine step; the
    // sampler notices that it stands still.
    if (!(start + frame.fine > start)) return HomingRunEnd{start, startX, startRow, false};
    HomingRun run(frame, evaluator, start, startX, startRow);
    const std::int64_t last = run.LastSample();
    const std::int64_t maxStride = std::max<std::int64_t>(1, std::llround(frame.dx / frame.fine));
    const HomingRunEnd walkEnds{frame.xmax, frame.xmax, 0, true};

    // Galloping: lo is the furthest sample known to home.
    Probe lo = run.At(0);
    for (std::int64_t stride = 1; lo.homes; stride = std::min(stride * 2, maxStride)) {
        if (evaluator.Spent() || lo.n >= last) return walkEnds;
        Probe p = run.At(std::min(lo.n + stride, last));
        if (!p.homes) {
            p = run.FirstNotHoming(lo, p);
        } else if (MayStopHomingBetween(lo, p)) {
            p = run.LookBetween(lo, p);
        }
        lo = p;
    }
    if (evaluator.Spent()) return walkEnds;
    // The sampler goes on with that sample, whose look-ahead is already evaluated.
    evaluator.KeepForNext(run.LookAheadX(lo.n), lo.value);
    return HomingRunEnd{run.WalkAt(lo.n), run.PreviousX(lo.n), lo.previousRow, false};
}

}  // namespace quimbel
