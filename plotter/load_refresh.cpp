#include "plotter/load_refresh.h"

#include "plotter/drawing_state.h"
#include "plotter/main_form.h"
#include "plotter/main_window_hooks.h"
#include "plotter/redraw_pipeline.h"

void CheckMarksFromSettings() {
    Form1->leg->SetChecked(ShowLegend != 0);
    Form1->abspi->SetChecked(AbscissaInPi == 1);
    Form1->re1->SetChecked(PreciseTracing);
}

void RefreshWindowsAfterLoad() {
    CheckMarksFromSettings();
    const MainWindowHooks& hooks = LifecycleHooks();
    // The labels dialog and the domains before the results: the rows' values are clamped
    // into the domains.
    RunAction(hooks.RefreshDialogsAfterLoad);
    RunAction(hooks.RecomputeAnalysisResults);
    RedrawGraph(Form1->im->Bitmap());
}
