#include "application/redraw_steps.h"

#include "dialogs/areas_hatching.h"
#include "dialogs/derivatives_form.h"
#include "dialogs/legend.h"
#include "dialogs/sequences_staircase.h"
#include "dialogs/tangents_drawing.h"
#include "dialogs/vertical_lines_form.h"
#include "plotter/movable_labels.h"
#include "plotter/program_description.h"
#include "plotter/redraw_pipeline.h"

void InstallRedrawSteps(const ProgramDescription& program) {
    RedrawStepTable& steps = RedrawSteps();
    steps = RedrawStepTable{};
    if (program.RebuildChannelSums)
        steps.RebuildChannelSums = program.RebuildChannelSums;
    else if (program.HasSound)
        steps.RebuildChannelSums = [] {};
    steps.DrawVerticalLines = DrawVerticalLines;
    steps.UpdateTangentLabels = UpdateTangentLabels;
    steps.DrawAreas = DrawAreas;
    steps.DrawTangents = DrawTangents;
    if (program.DrawFunctionCurves) steps.DrawFunctionCurves = program.DrawFunctionCurves;
    if (program.WalkFunctionCurves) steps.WalkFunctionCurves = program.WalkFunctionCurves;
    if (program.DrawAxesAndGrid) steps.DrawAxesAndGrid = program.DrawAxesAndGrid;
    steps.AxesUnderCurves = program.AxesUnderCurves;
    steps.DrawSequences = DrawSequences;
    steps.DrawLabels = DrawLabels;
    steps.DrawLegend = DrawLegend;
}
