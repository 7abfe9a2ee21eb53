#include "plotter/load_refresh.h"

#include "dialogs/domains_form.h"
#include "dialogs/movable_labels.h"
#include "plotter/drawing_state.h"
#include "plotter/main_form.h"
#include "plotter/main_window_hooks.h"
#include "plotter/redraw_pipeline.h"

void RefreshWindowsAfterLoad() {
    Form1->leg->SetChecked(ShowLegend != 0);
    Form1->abspi->SetChecked(AbscissaInPi == 1);
    Form1->re1->SetChecked(PreciseTracing);
    FillLabelDialog();
    // The domains before the results: the rows' values are clamped into them.
    ReadDomainDialog();
    RecomputeAnalysisResults();
    RedrawGraph(Form1->im->Bitmap());
}
