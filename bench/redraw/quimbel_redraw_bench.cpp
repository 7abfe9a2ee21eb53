// Quimbel's redraw benchmark: RedrawGraph of Quimbel onto a 1920 x 1080 bitmap, thickness
// 3, grid on, for the ordinary scene (the nine functions of bench/scene over -5..5) and for
// steep curves that spend most of the window off the picture, in normal and in precise
// tracing ("Tracé précis (lent)"), against the peer: the plain painter plotter of
// bench/scene, timed alternately with the scenes in every round. A scene whose first
// redraw takes longer than a second is timed once more only.
//
//   bench_quimbel_redraw [runs [scene [tracing]]]
//     runs     rounds (default 9)
//     scene    only the scenes whose name contains this text
//     tracing  only "normal" or only "precise"
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <string>
#include <vector>

#include "bench/scene/nine_functions.h"
#include "bench/scene/qt_reference_plotter.h"
#include "bench/scene/scratch_directory.h"
#include "plotter/drawing_state.h"
#include "plotter/function_rows.h"
#include "plotter/main_form.h"
#include "plotter/program_description.h"
#include "plotter/redraw_pipeline.h"
#include "platform/graphics/bitmap.h"
#include "platform/ui/components.h"
#include "variants/quimbel_program.h"

namespace {

using Clock = std::chrono::steady_clock;

struct Scene {
    const char* name;
    const char* function;  // nullptr: the nine functions of the ordinary scene
    const char* xExtent;   // the window is -xExtent .. xExtent across
    const char* yExtent;   // and -yExtent .. yExtent up
    bool precise;
    std::vector<double> times;
    bool slow = false;  // over a second: timed once more after its warm-up, then no more
};

void Prepare(const Scene& scene) {
    ShowSceneFunctions();
    if (scene.function) {
        for (int i = 0; i < FunctionCount; ++i) GetFunctionEdit(i)->SetText(i == 0 ? scene.function : "");
    }
    const std::string x = scene.xExtent, y = scene.yExtent;
    Form1->Edit10->SetText("-" + x);
    Form1->Edit11->SetText(x);
    Form1->Edit12->SetText("-" + y);
    Form1->Edit13->SetText(y);
    PreciseTracing = scene.precise;
    Form1->re1->SetChecked(scene.precise);
}

}  // namespace

int main(int argc, char** argv) {
    const int runs = CountArgument(argc, argv, 9);
    ScratchStartDirectory startDirectory;
    StartBenchProgram("bench_quimbel_redraw", QuimbelProgram());
    LoadingFlag = false;

    std::vector<Scene> scenes;
    for (const bool precise : {false, true}) {
        scenes.push_back({"nine functions", nullptr, "5", "5", precise, {}});
        scenes.push_back({"sin(1000*x)", "sin(1000*x)", "5", "5", precise, {}});
        scenes.push_back({"exp(3*x)", "exp(3*x)", "5", "5", precise, {}});
        scenes.push_back({"exp(4*x)", "exp(4*x)", "5", "5", precise, {}});
        scenes.push_back({"x^10", "x^10", "5", "5", precise, {}});
        scenes.push_back({"exp(10*x)", "exp(10*x)", "5", "5", precise, {}});
        scenes.push_back({"x^2, +-1E8", "x^2", "1E8", "1E8", precise, {}});
        scenes.push_back({"sin(x), x +-1E8", "sin(x)", "1E8", "5", precise, {}});
    }
    const std::string only = argc > 2 ? argv[2] : "";
    const std::string tracing = argc > 3 ? argv[3] : "";
    std::erase_if(scenes, [&](const Scene& s) {
        return std::string(s.name).find(only) == std::string::npos ||
               (!tracing.empty() && tracing != (s.precise ? "precise" : "normal"));
    });

    TBitmap bitmap(SceneWidth, SceneHeight);
    QtReferencePlotter reference;
    reference.Draw();
    unsigned checksum = 0;
    std::vector<double> peer;
    for (Scene& scene : scenes) {  // compiles and warms up; slow scenes are timed once more
        Prepare(scene);
        scene.slow = Milliseconds([&] { RedrawGraph(bitmap); }) > 1000;
        if (scene.slow) scene.times.push_back(Milliseconds([&] { RedrawGraph(bitmap); }));
    }
    for (int r = 0; r < runs; ++r) {
        peer.push_back(Milliseconds([&] { reference.Draw(); }));
        checksum += reference.Checksum();
        for (Scene& scene : scenes) {
            if (scene.slow) continue;
            Prepare(scene);
            scene.times.push_back(Milliseconds([&] { RedrawGraph(bitmap); }));
        }
    }
    const double painter = Median(peer);
    std::printf("Quimbel RedrawGraph %d x %d, thickness 3, grid; window -5..5 unless said; medians of %d rounds\n",
                SceneWidth, SceneHeight, runs);
    std::printf("%-16s %-8s %12s %10s\n", "scene", "tracing", "redraw ms", "ratio");
    std::printf("%-16s %-8s %12.2f %10.3f\n", "painter (peer)", "", painter, 1.0);
    for (const Scene& scene : scenes) {
        const double t = Median(scene.times);
        std::printf("%-16s %-8s %12.2f %10.3f\n", scene.name, scene.precise ? "precise" : "normal", t, t / painter);
    }
    if (checksum == 1) std::printf("\n");  // keeps the peer's pictures alive
    std::fflush(stdout);
    startDirectory.Remove();
    std::_Exit(0);  // tearing the windows down is not measured
}
