#pragma once
// The scene of the drawing benchmarks: Vartelo's main window with nine shown functions
// over -5..5 x -5..5, each defined on the whole real line, the grid and the axes on,
// thickness 3.
#include <chrono>
#include <vector>

struct ProgramDescription;

inline constexpr int SceneWidth = 1920;
inline constexpr int SceneHeight = 1080;
extern const char* const SceneFunctions[9];

// Types the nine functions and the window into the main window. The sound sums are left
// out of the redraw, since they would replace the texts of m and n.
void ShowSceneFunctions();

// The count given as the program's first argument, at least 1; `fallback` without one.
int CountArgument(int argc, char** argv, int fallback);

// Starts a program for a benchmark, on the offscreen platform unless another one is set:
// the application initialised under `name`, the program prepared and its windows created.
void StartBenchProgram(const char* name, const ProgramDescription& program);

// The median of a set of timings.
double Median(std::vector<double> values);

// The wall time of one call, in milliseconds.
template <class F>
double Milliseconds(F run) {
    const auto start = std::chrono::steady_clock::now();
    run();
    return std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - start).count();
}
