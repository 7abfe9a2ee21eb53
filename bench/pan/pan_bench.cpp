// Pan benchmark: a right-button drag of 30 steps on the image of Vartelo's main window,
// sized 1920 x 1080, with nine shown functions, the grid on and thickness 3. Each step is
// one mouse move through the image control: the window edits are rewritten, the pending
// messages run (the repaint of the previous frame among them) and the picture is redrawn.
// Beside it, timed alternately with each step, the peer: a plain plotter drawing the same
// nine functions with the GUI library's painter, panned by as much (bench/scene), the same
// peer clearing the vector state before its math (peer2, see qt_reference_plotter.h); and
// a plain redraw of our picture. Medians over several pans, on the offscreen platform.
//
//   bench_pan [pans]      (default 6 pans of 30 steps, alternately there and back)
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
#include "platform/ui/components.h"
#include "sound/vartelo_program.h"

namespace {

using Clock = std::chrono::steady_clock;

constexpr int Width = SceneWidth;
constexpr int Height = SceneHeight;
constexpr int Steps = 30;
double Milliseconds(Clock::time_point start) {
    return std::chrono::duration<double, std::milli>(Clock::now() - start).count();
}

bool SizeImage() {
    Form1->SetWindowState(wsNormal);
    Application->ProcessMessages();
    for (int attempt = 0; attempt < 5; ++attempt) {
        if (Form1->im->Width() == Width && Form1->im->Height() == Height) return true;
        Form1->SetBounds(0, 0, Form1->Width() + Width - Form1->im->Width(),
                         Form1->Height() + Height - Form1->im->Height());
        Application->ProcessMessages();
    }
    return Form1->im->Width() == Width && Form1->im->Height() == Height;
}


unsigned checksum = 0;

// One pan: right press near the middle, 30 moves of 8 pixels right and 4 down (or back,
// so that the window stays around the same place), release. Before each step the peer
// draws its picture panned by as much.
std::vector<double> Pan(int direction, QtReferencePlotter& reference, std::vector<double>& peer,
                        QtReferencePlotter& careful, std::vector<double>& carefulPeer) {
    TImage* im = Form1->im;
    int x = Width / 2 - direction * 120, y = Height / 2 - direction * 60;
    im->UserMouseDown(mbRight, TShiftState{ssRight}, x, y);
    std::vector<double> steps;
    for (int i = 0; i < Steps; ++i) {
        x += 8 * direction;
        y += 4 * direction;
        // One peer before each step, the two in turn, so that every step follows one picture.
        QtReferencePlotter& plotter = i % 2 == 0 ? reference : careful;
        const auto peerStart = Clock::now();
        plotter.Draw(-(x - Width / 2) * 10.0 / Width, (y - Height / 2) * 10.0 / Height);
        (i % 2 == 0 ? peer : carefulPeer).push_back(Milliseconds(peerStart));
        checksum += plotter.Checksum();
        const auto start = Clock::now();
        im->UserMouseMove(TShiftState{ssRight}, x, y);
        steps.push_back(Milliseconds(start));
    }
    im->UserMouseUp(mbRight, TShiftState{}, x, y);
    Application->ProcessMessages();
    return steps;
}

}  // namespace

int main(int argc, char** argv) {
    const int pans = CountArgument(argc, argv, 6);
    ScratchStartDirectory startDirectory;
    StartBenchProgram("bench_pan", VarteloProgram());
    Form1->Show();
    Application->ProcessMessages();
    if (!SizeImage()) {
        std::fprintf(stderr, "the image could not be sized %d x %d (it is %d x %d)\n", Width, Height,
                     Form1->im->Width(), Form1->im->Height());
        return 1;
    }
    ShowSceneFunctions();
    TBitmap& picture = Form1->im->Bitmap();
    RedrawGraph(picture);  // compiles the functions and warms the caches
    for (int i = 0; i < FunctionCount; ++i)
        if (GetFunctionEdit(i)->Color() == UnreadableTextColour)
            std::fprintf(stderr, "warning: %s is not readable\n", SceneFunctions[i]);

    QtReferencePlotter reference, careful(true);
    reference.Draw();
    careful.Draw();
    std::vector<double> redraws, peer, carefulPeer;
    for (int r = 0; r < Steps; ++r) {
        QtReferencePlotter& plotter = r % 2 == 0 ? reference : careful;
        const auto peerStart = Clock::now();
        plotter.Draw();
        (r % 2 == 0 ? peer : carefulPeer).push_back(Milliseconds(peerStart));
        const auto start = Clock::now();
        RedrawGraph(picture);
        redraws.push_back(Milliseconds(start));
    }
    std::vector<double> steps;
    for (int p = 0; p < pans; ++p) {
        const std::vector<double> pan = Pan(p % 2 == 0 ? 1 : -1, reference, peer, careful, carefulPeer);
        steps.insert(steps.end(), pan.begin(), pan.end());
    }
    const double step = Median(steps);
    const double redraw = Median(redraws);
    const double painter = Median(peer);
    const double carefulPainter = Median(carefulPeer);
    std::printf("Live pan on %d x %d, nine functions, grid, thickness 3: %d pans of %d steps\n", Width, Height, pans,
                Steps);
    std::printf("%-26s %10s %10s %10s\n", "", "median ms", "ratio", "ratio2");
    std::printf("%-26s %10.2f %10.2f\n", "painter plotter (peer)", painter, 1.0);
    std::printf("%-26s %10.2f %10.2f %10.2f\n", "peer2 (vector state)", carefulPainter, carefulPainter / painter, 1.0);
    std::printf("%-26s %10.2f %10.3f %10.3f\n", "pan step", step, step / painter, step / carefulPainter);
    std::printf("%-26s %10.2f %10.3f %10.3f\n", "plain redraw", redraw, redraw / painter, redraw / carefulPainter);
    std::printf("peer2: the same plotter clearing the upper halves of the vector registers before its math\n");
    if (checksum == 1) std::printf("\n");  // keeps the peer's pictures alive
    std::printf("window after the pans: x %s .. %s, y %s .. %s\n", Form1->Edit10->Text().c_str(),
                Form1->Edit11->Text().c_str(), Form1->Edit12->Text().c_str(), Form1->Edit13->Text().c_str());
    std::fflush(stdout);
    startDirectory.Remove();
    std::_Exit(0);  // tearing the windows down is not measured
}
