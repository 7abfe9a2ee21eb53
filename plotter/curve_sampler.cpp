#include "plotter/curve_sampler.h"

#include <algorithm>
#include <array>
#include <atomic>
#include <chrono>
#include <exception>
#include <string>
#include <vector>

#include "engine/expression_evaluator.h"
#include "engine/number_conversion.h"
#include "engine/text_helpers.h"
#include "plotter/drawing_state.h"
#include "plotter/function_rows.h"
#include "plotter/function_sampling.h"
#include "plotter/main_form.h"
#include "plotter/redraw_pipeline.h"
#include "platform/graphics/bitmap.h"
#include "platform/messages/parallel_work.h"

namespace {

// Whether function `index` is drawn: shown and not empty, and with "Exclusif" down one of
// the two sound channels m and n.
bool IsFunctionDrawn(int index) {
    if (GetFunctionEdit(index)->Text().empty() || !IsFunctionShown(index)) return false;
    const bool exclusive = Form1->exc && Form1->exc->Down();
    return !exclusive || index == 7 || index == 8;
}

// The time each function's walk took last time: the longest are started first, so that the
// threads end together.
std::array<std::atomic<double>, FunctionCount> lastWalkSeconds{};

// The walks of the curves of one picture, and their strokes. The functions to walk are
// chosen at construction, from n down to f (one that draws random numbers turns precise
// tracing off for those after it). Nothing is walked on a picture without pixels or a
// window without height: no point of any curve could land on it.
class CurveWalks {
public:
    CurveWalks(int width, int height, bool keepStrokes) : keepStrokes_(keepStrokes) {
        ReadWindowFromEdits();
        input_ = {width, height, ParseFloatOrZero(Form1->Edit15->Text()), ParseFloatOrZero(Form1->Edit16->Text())};
        const bool emptyPicture = width <= 0 || height <= 0 || WindowYMax == WindowYMin;
        for (int i = FunctionCount - 1; i >= 0; --i) {
            if (!IsFunctionDrawn(i)) continue;
            SwitchOffPreciseTracingForRandom(i);
            if (emptyPicture) continue;
            walks_.push_back({i, PreciseTracing, 0, {}, nullptr});
            random_ = random_ || FunctionDrawsRandomNumbers(i);
        }
    }

    // Whether the walks may run side by side: each function's values depend on its own text
    // alone, unless one draws random numbers; the shared sequence must then go to the
    // functions from n down to f, one after another, as it would to each alone.
    bool SideBySide() const { return !random_; }

    // Walks every function; `meanwhile` runs on this thread as the walks start.
    void Run(const std::function<void()>& meanwhile = {}) {
        if (!SideBySide()) {
            if (meanwhile) meanwhile();
            for (Walk& w : walks_)
                if (!WalkOne(w)) break;
            return;
        }
        std::vector<Walk*> longestFirst;
        for (Walk& w : walks_) longestFirst.push_back(&w);
        std::stable_sort(longestFirst.begin(), longestFirst.end(), [](const Walk* l, const Walk* r) {
            return lastWalkSeconds[std::size_t(l->index)] > lastWalkSeconds[std::size_t(r->index)];
        });
        ParallelPieces pieces(longestFirst.size(), [&](std::size_t k) { WalkOne(*longestFirst[k]); });
        if (meanwhile) meanwhile();
        pieces.WaitForAll();
    }

    // The number of evaluations; a walk's failure is thrown.
    std::int64_t Evaluations() const {
        std::int64_t evaluations = 0;
        for (const Walk& w : walks_) {
            if (w.failure) std::rethrow_exception(w.failure);
            evaluations += w.evaluations;
        }
        return evaluations;
    }

    // Draws the curves from n down to f, each with its pen. A walk that failed has the
    // strokes it made drawn before its failure is thrown.
    void Draw(TCanvas& canvas) const {
        std::vector<WalkedCurve> curves;
        for (const Walk& w : walks_) curves.push_back({w.index, &w.strokes, w.failure});
        DrawWalkedCurves(curves, canvas);
    }

    const TBitmap* bitmap = nullptr;  // the picture walked ahead for

private:
    struct Walk {
        int index;
        bool precise;
        std::int64_t evaluations = 0;
        std::vector<CurveStroke> strokes;
        std::exception_ptr failure;
    };

    // False where the walk failed.
    bool WalkOne(Walk& w) {
        const auto start = std::chrono::steady_clock::now();
        try {
            w.evaluations = SampleFunction(w.index, w.precise, input_, keepStrokes_ ? &w.strokes : nullptr);
        } catch (...) {
            w.failure = std::current_exception();
        }
        lastWalkSeconds[std::size_t(w.index)] =
            std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
        return !w.failure;
    }

    bool keepStrokes_;
    SamplerInput input_{};
    bool random_ = false;
    std::vector<Walk> walks_;
};

// The walks made ahead by the redraw under way, while it keeps them.
std::weak_ptr<CurveWalks> walkedAhead;

}  // namespace

void SwitchOffPreciseTracingForRandom(int index) {
    if (FoldAccentsUpper(GetFunctionEdit(index)->Text()).find("HAS") == std::string::npos) return;
    const bool loading = LoadingFlag;
    LoadingFlag = true;
    Form1->re1->SetChecked(false);
    LoadingFlag = loading;
    PreciseTracing = false;
}

std::shared_ptr<void> WalkFunctionCurves(TBitmap& bitmap, const std::function<void()>& meanwhile) {
    auto walks = std::make_shared<CurveWalks>(bitmap.Width(), bitmap.Height(), true);
    if (!walks->SideBySide()) {
        meanwhile();
        return nullptr;
    }
    walks->Run(meanwhile);
    walks->bitmap = &bitmap;
    walkedAhead = walks;
    return walks;
}

void DrawFunctionCurves(TBitmap& bitmap) {
    if (const std::shared_ptr<CurveWalks> ahead = walkedAhead.lock(); ahead && ahead->bitmap == &bitmap) {
        walkedAhead.reset();
        ahead->Draw(bitmap.Canvas());
        return;
    }
    CurveWalks walks(bitmap.Width(), bitmap.Height(), true);
    walks.Run();
    walks.Draw(bitmap.Canvas());
}

std::int64_t EvaluateCurveSamples(int width, int height) {
    CurveWalks walks(width, height, false);
    walks.Run();
    return walks.Evaluations();
}
