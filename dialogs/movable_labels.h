#pragma once
// The labels dialog's side of the movable labels: reading and filling the dialog, drawing
// the labels and importing the functions as labels.
#include "plotter/movable_label_state.h"

class TBitmap;

extern bool FillingLabelDialog;  // set while FillLabelDialog writes the dialog's edits

// Dialog to labels: texts and sizes from the dialog's edits (a size text that is not a
// number counts as 0); an empty label is parked at the left edge, near the bottom of the
// window, E.12 1.1 label heights above it and each earlier label 1.1 heights higher.
void ReadLabelsFromDialog();

// Labels to dialog: the texts and the sizes (general format, 15 digits). The dialog's
// change handlers do nothing meanwhile.
void FillLabelDialog();

// Writes label `index` (0 .. 11), or every label for -1, on the bitmap in the labels'
// font face, black, on pale yellow when highlighted. On the image's own bitmap it records
// the hit boxes.
void DrawLabels(TBitmap& bitmap, int index);

// "Importer les fonctions": each shown, non-empty function becomes a label from E.4 on,
// made of its letter, the prefix and its text as the dialog's options say; then the dialog
// is filled again.
void ImportFunctionLabels();
