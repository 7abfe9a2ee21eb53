#include "plotter/drawing_state.h"

double WindowXMin = 0;
double WindowXMax = 0;
double WindowYMin = 0;
double WindowYMax = 0;

std::int32_t LineThickness = 0;
std::int32_t AxisFontHeight = 0;
bool BlackAndWhite = false;
std::array<TColor, 9> FunctionColours{};

std::filesystem::path StartDirectory;

bool LoadingFlag = true;
bool ForcedRedrawFlag = false;
bool PreciseTracing = false;
std::int32_t AbscissaInPi = 0;
std::int32_t ShowLegend = 0;
bool ClosingFlag = false;
bool FormsReady = false;
std::int32_t StepCounter = 0;

void ResetDrawingState() {
    WindowXMin = WindowXMax = WindowYMin = WindowYMax = 0;
    LineThickness = 0;
    AxisFontHeight = 0;
    BlackAndWhite = false;
    FunctionColours = {};
    StartDirectory.clear();
    LoadingFlag = true;
    ForcedRedrawFlag = false;
    PreciseTracing = false;
    AbscissaInPi = 0;
    ShowLegend = 0;
    ClosingFlag = false;
    FormsReady = false;
    StepCounter = 0;
}
