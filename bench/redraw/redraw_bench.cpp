// Redraw benchmark: RedrawGraph of Vartelo onto a 1920 x 1080 bitmap with nine shown
// functions, the grid on and thickness 3, in normal and in precise tracing; beside it the
// evaluation alone of the same samples (the sampler's walk without drawing), so that the
// share of the drawing (everything but evaluating) shows. Each figure is the median of
// several runs, on the offscreen platform.
//
//   bench_redraw [runs]      (default 15 runs per figure)
#include <algorithm>
#include <charconv>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <utility>
#include <vector>

#include "bench/scene/nine_functions.h"
#include "bench/scene/scratch_directory.h"
#include "plotter/curve_sampler.h"
#include "plotter/drawing_state.h"
#include "plotter/function_rows.h"
#include "plotter/main_form.h"
#include "plotter/program_description.h"
#include "plotter/redraw_pipeline.h"
#include "application/startup.h"
#include "platform/graphics/bitmap.h"
#include "platform/ui/components.h"
#include "sound/vartelo_program.h"

namespace {

using Clock = std::chrono::steady_clock;

constexpr int Width = SceneWidth;
constexpr int Height = SceneHeight;
template <class F>
double MedianMilliseconds(int runs, F run) {
    std::vector<double> times;
    for (int r = 0; r < runs; ++r) {
        const auto start = Clock::now();
        run();
        times.push_back(std::chrono::duration<double, std::milli>(Clock::now() - start).count());
    }
    return Median(std::move(times));
}


struct Figures {
    double redraw;
    double evaluation;
    long long samples;
};

Figures Measure(bool precise, int runs, TBitmap& bitmap) {
    PreciseTracing = precise;
    Form1->re1->SetChecked(precise);
    RedrawGraph(bitmap);  // compiles the functions and warms the caches
    Figures f{};
    f.redraw = MedianMilliseconds(runs, [&] { RedrawGraph(bitmap); });
    f.samples = EvaluateCurveSamples(Width, Height);
    f.evaluation = MedianMilliseconds(runs, [&] { EvaluateCurveSamples(Width, Height); });
    return f;
}

void Report(const char* name, const Figures& f) {
    const double drawing = f.redraw - f.evaluation;
    std::printf("%-18s %10.2f %12.2f %10.2f %9.1f%% %10lld\n", name, f.redraw, f.evaluation, drawing,
                100 * drawing / f.redraw, f.samples);
}

}  // namespace

int main(int argc, char** argv) {
    int runs = 15;
    if (argc > 1) std::from_chars(argv[1], argv[1] + std::char_traits<char>::length(argv[1]), runs);
    runs = std::max(runs, 1);
    if (!std::getenv("QT_QPA_PLATFORM")) setenv("QT_QPA_PLATFORM", "offscreen", 1);
    ScratchStartDirectory startDirectory;
    static char name[] = "bench_redraw";
    char* args[] = {name, nullptr};
    Application->Initialize(1, args);
    PrepareProgram(VarteloProgram());
    CreateProgramWindows();
    ShowSceneFunctions();
    LoadingFlag = false;

    TBitmap bitmap(Width, Height);
    const Figures normal = Measure(false, runs, bitmap);
    const Figures precise = Measure(true, runs, bitmap);

    std::printf("RedrawGraph %d x %d, nine functions, grid, thickness 3; median of %d runs\n", Width, Height, runs);
    std::printf("%-18s %10s %12s %10s %10s %10s\n", "tracing", "redraw ms", "evaluate ms", "drawing ms", "share",
                "samples");
    Report("normal", normal);
    Report("precise", precise);
    std::fflush(stdout);
    startDirectory.Remove();
    std::_Exit(0);  // tearing the windows down is not measured
}
