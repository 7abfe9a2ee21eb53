#pragma once
// The redraw steps of a program: the dialogs' drawers and the entries of its description.
struct ProgramDescription;

// Fills the redraw pipeline's table for the program; an entry the description leaves empty
// keeps the shared drawer, a step the program lacks stays empty.
void InstallRedrawSteps(const ProgramDescription& program);
