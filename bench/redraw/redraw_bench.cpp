// Redraw benchmark: RedrawGraph of Vartelo onto a 1920 x 1080 bitmap with nine shown
// functions, the grid on and thickness 3, in normal and in precise tracing, against the
// peer: a plain plotter drawing the same nine functions as polylines with the GUI
// library's painter (bench/scene), timed alternately with ours in the same run. Beside
// them the evaluation alone of the same samples (the sampler's walk without drawing), so
// that the share of the drawing (everything but evaluating) shows. Each figure is the
// median of several runs, on the offscreen platform. A second peer (peer2) is the same
// plotter clearing the upper halves of the vector registers before its math, which the
// GUI library's image fill leaves in use (see qt_reference_plotter.h).
//
//   bench_redraw [runs [tracing]]
//     runs     runs per figure (default 15)
//     tracing  only "normal" or only "precise" (to profile one of them)
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <string>
#include <utility>
#include <vector>

#include "bench/scene/nine_functions.h"
#include "bench/scene/qt_reference_plotter.h"
#include "bench/scene/scratch_directory.h"
#include "plotter/curve_sampler.h"
#include "plotter/drawing_state.h"
#include "plotter/function_rows.h"
#include "plotter/main_form.h"
#include "plotter/program_description.h"
#include "plotter/redraw_pipeline.h"
#include "platform/graphics/bitmap.h"
#include "platform/ui/components.h"
#include "sound/vartelo_program.h"

namespace {

using Clock = std::chrono::steady_clock;

constexpr int Width = SceneWidth;
constexpr int Height = SceneHeight;
struct Figures {
    double redraw;
    double reference;
    double careful;  // the peer that clears the vector state
    double evaluation;
    long long samples;
};

unsigned checksum = 0;

// Ours, the peer and the evaluation alone, one after the other in every round.
Figures Measure(bool precise, int runs, TBitmap& bitmap, QtReferencePlotter& reference, QtReferencePlotter& careful) {
    PreciseTracing = precise;
    Form1->re1->SetChecked(precise);
    RedrawGraph(bitmap);  // compiles the functions and warms the caches
    reference.Draw();
    careful.Draw();
    std::vector<double> ours, peer, carefulPeer, evaluation;
    for (int r = 0; r < runs; ++r) {
        // One peer before each of ours, the two in turn.
        QtReferencePlotter& plotter = r % 2 == 0 ? reference : careful;
        (r % 2 == 0 ? peer : carefulPeer).push_back(Milliseconds([&] { plotter.Draw(); }));
        checksum += plotter.Checksum();
        ours.push_back(Milliseconds([&] { RedrawGraph(bitmap); }));
        evaluation.push_back(Milliseconds([&] { EvaluateCurveSamples(Width, Height); }));
    }
    return Figures{Median(ours), Median(peer), Median(carefulPeer), Median(evaluation),
                   EvaluateCurveSamples(Width, Height)};
}

void Report(const char* name, const Figures& f) {
    const double drawing = f.redraw - f.evaluation;
    std::printf("%-10s %10.2f %10.2f %7.3f %12.2f %10.2f %9.1f%% %10lld %10.2f %7.3f\n", name, f.redraw, f.reference,
                f.redraw / f.reference, f.evaluation, drawing, 100 * drawing / f.redraw, f.samples, f.careful,
                f.redraw / f.careful);
}

}  // namespace

int main(int argc, char** argv) {
    const int runs = CountArgument(argc, argv, 15);
    ScratchStartDirectory startDirectory;
    StartBenchProgram("bench_redraw", VarteloProgram());
    ShowSceneFunctions();
    LoadingFlag = false;

    TBitmap bitmap(Width, Height);
    QtReferencePlotter reference, careful(true);
    const std::string only = argc > 2 ? argv[2] : "";
    const Figures normal = only != "precise" ? Measure(false, runs, bitmap, reference, careful) : Figures{};
    const Figures precise = only != "normal" ? Measure(true, runs, bitmap, reference, careful) : Figures{};

    std::printf("RedrawGraph %d x %d, nine functions, grid, thickness 3, against the plain painter plotter;\n"
                "medians of %d alternating runs\n",
                Width, Height, runs);
    std::printf("%-10s %10s %10s %7s %12s %10s %10s %10s %10s %7s\n", "tracing", "redraw ms", "peer ms", "ratio",
                "evaluate ms", "drawing ms", "share", "samples", "peer2 ms", "ratio2");
    if (only != "precise") Report("normal", normal);
    if (only != "normal") Report("precise", precise);
    std::printf("peer2: the same plotter clearing the upper halves of the vector registers before its math\n");
    if (checksum == 1) std::printf("\n");  // keeps the peer's pictures alive
    std::fflush(stdout);
    startDirectory.Remove();
    std::_Exit(0);  // tearing the windows down is not measured
}
