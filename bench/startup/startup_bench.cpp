// Start-up benchmark: the time from creating the application to the first drawn picture,
// and the resident memory then, for Vartelo, Quimbel and a peer (a bare window of the
// platform layer with an image, drawn once), each in fresh processes on the offscreen
// platform. Prints the median of several runs and the ratio to the peer.
//
//   bench_startup [runs]          runs every target (default 7 runs each)
//   bench_startup --child TARGET  one measurement: prints "<milliseconds> <resident kB>"
#include <algorithm>
#include <charconv>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iostream>
#include <string>
#include <vector>

#include "bench/scene/scratch_directory.h"
#include "plotter/main_form.h"
#include "plotter/program_description.h"
#include "plotter/redraw_pipeline.h"
#include "application/startup.h"
#include "platform/ui/components.h"
#include "sound/vartelo_program.h"
#include "variants/quimbel_program.h"

namespace {

using Clock = std::chrono::steady_clock;

long ResidentKilobytes() {
    std::ifstream status("/proc/self/status");
    std::string line;
    while (std::getline(status, line))
        if (line.rfind("VmRSS:", 0) == 0) return std::strtol(line.c_str() + 6, nullptr, 10);
    return -1;
}

// Numbers are written and read with to_chars/from_chars: the GUI library sets the
// process locale in the child.
std::string Fixed(double value, int decimals) {
    char buffer[64];
    auto result = std::to_chars(buffer, buffer + sizeof buffer, value, std::chars_format::fixed, decimals);
    return std::string(buffer, result.ptr);
}

std::string Padded(const std::string& text, size_t width) {
    return text.size() >= width ? text : std::string(width - text.size(), ' ') + text;
}

// The peer: what any window of the layer costs to show one white picture.
class TPeerForm : public TForm {
public:
    explicit TPeerForm(TApplication& app) : TForm(app, "Peer") {
        SetCaption("Peer");
        SetBounds(0, 0, 1149, 853);
        im = Add<TImage>("im");
        im->SetAlign(alClient);
        OnActivate = [this](TObject*) {
            im->Bitmap().SetSize(im->Width(), im->Height());
            TCanvas& canvas = im->Bitmap().Canvas();
            canvas.Brush.Color = clWhite;
            canvas.FillRect(TRect{0, 0, im->Width(), im->Height()});
            canvas.Font.Height = 17;
            canvas.TextOut(10, 10, "0");
            drawn = true;
        };
    }
    TImage* im;
    bool drawn = false;
};

bool WaitFor(const bool& flag) {
    const auto deadline = Clock::now() + std::chrono::seconds(20);
    while (!flag && Clock::now() < deadline) Application->ProcessMessages();
    Application->ProcessMessages();  // let the picture reach the screen
    return flag;
}

int MeasureChild(const std::string& target) {
    const auto start = Clock::now();
    static char name[] = "bench_startup";
    char* argv[] = {name, nullptr};
    Application->Initialize(1, argv);
    bool drawn = false;
    if (target == "peer") {
        TPeerForm* peer = nullptr;
        Application->CreateForm(peer);
        peer->Show();
        drawn = WaitFor(peer->drawn);
    } else {
        const ProgramDescription& program = target == "Quimbel" ? QuimbelProgram() : VarteloProgram();
        PrepareProgram(program);
        CreateProgramWindows();
        auto legacy = RedrawSteps().DrawLabels;
        RedrawSteps().DrawLabels = [&](TBitmap& bitmap, int index) {
            if (legacy) legacy(bitmap, index);
            drawn = true;
        };
        Form1->Show();
        drawn = WaitFor(drawn);
    }
    const double ms = std::chrono::duration<double, std::milli>(Clock::now() - start).count();
    const long rss = ResidentKilobytes();
    if (!drawn) {
        std::cerr << target << ": no picture within 20 s\n";
        return 1;
    }
    const std::string line = Fixed(ms, 3) + ' ' + Fixed(double(rss), 0) + '\n';
    std::fwrite(line.data(), 1, line.size(), stdout);
    std::fflush(stdout);
    std::_Exit(0);  // the measurement is taken; tearing the windows down is not timed
}

double Median(std::vector<double> values) {
    std::sort(values.begin(), values.end());
    const size_t n = values.size();
    return n % 2 ? values[n / 2] : (values[n / 2 - 1] + values[n / 2]) / 2;
}

}  // namespace

int main(int argc, char** argv) {
    setenv("QT_QPA_PLATFORM", "offscreen", 1);
    if (argc == 3 && std::string(argv[1]) == "--child") return MeasureChild(argv[2]);

    const int runs = argc >= 2 ? std::max(1, std::atoi(argv[1])) : 7;
    const std::vector<std::string> targets = {"peer", "Vartelo", "Quimbel"};
    const std::string self = std::filesystem::read_symlink("/proc/self/exe").string();
    ScratchStartDirectory startDirectory;  // the children start in it
    double peerMs = 0;
    double peerKb = 0;
    std::cout << "target     median ms   median MB    ms/peer    MB/peer" << std::endl;
    for (const std::string& target : targets) {
        std::vector<double> times, memory;
        for (int i = 0; i < runs; ++i) {
            const std::string command = "'" + self + "' --child " + target;
            FILE* child = popen(command.c_str(), "r");
            if (!child) return 1;
            char buffer[128] = {};
            const size_t length = std::fread(buffer, 1, sizeof buffer - 1, child);
            const int status = pclose(child);
            double ms = 0;
            double kb = 0;
            const char* end = buffer + length;
            auto first = std::from_chars(buffer, end, ms);
            auto second = first.ec == std::errc{} ? std::from_chars(first.ptr + 1, end, kb) : first;
            if (status != 0 || first.ec != std::errc{} || second.ec != std::errc{}) {
                std::cerr << target << ": run failed\n";
                return 1;
            }
            times.push_back(ms);
            memory.push_back(kb);
        }
        const double ms = Median(times);
        const double kb = Median(memory);
        if (target == "peer") {
            peerMs = ms;
            peerKb = kb;
        }
        std::cout << target << std::string(8 - target.size(), ' ') << Padded(Fixed(ms, 1), 12)
                  << Padded(Fixed(kb / 1024, 1), 12) << Padded(Fixed(ms / peerMs, 2), 11)
                  << Padded(Fixed(kb / peerKb, 2), 11) << std::endl;
    }
    return 0;
}
