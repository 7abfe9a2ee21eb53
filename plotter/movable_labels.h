#pragma once
// The twelve movable labels E.1 .. E.12 (entries 0 .. 11): free texts written on the
// picture at a position in world coordinates, so that they follow the window when it is
// zoomed or moved, each at a size in percent of the label font height. The labels dialog
// (Form7) edits them; the mouse on the image highlights and drags them.
#include <array>
#include <cstdint>
#include <functional>
#include <string>

#include "platform/graphics/color.h"

class TBitmap;

inline constexpr int LabelCount = 12;

extern std::array<std::string, LabelCount> LabelTexts;  // empty: no label
extern std::array<double, LabelCount> LabelSizes;       // percent of AxisFontHeight
extern std::array<double, LabelCount> LabelX;           // world x of the text's top-left corner
extern std::array<double, LabelCount> LabelY;           // world y of the text's top-left corner
// The right and bottom pixel edges of each label on the screen picture at its last
// drawing, -1 for an empty label. Together with the mapped position they make the label's
// hit box. Only a drawing on the image's own bitmap writes them (an export does not).
extern std::array<double, LabelCount> LabelHitRight;
extern std::array<double, LabelCount> LabelHitBottom;
extern std::array<std::int32_t, LabelCount> LabelHighlighted;  // 1 while the mouse is over it
extern std::int32_t DraggedLabel;  // the label the mouse drags, -1 when none

// The background of a highlighted label: a pale yellow.
inline constexpr TColor LabelHighlightColour = 0xAAEAED;

// Puts the labels back to their state at start: no text, size 100, the start positions
// (0, 0.05 x N) of label N, no hit box, nothing highlighted nor dragged.
void ResetMovableLabels();

// The font face of the labels (and of the legend): what the installed reader says (the
// labels dialog installs one that reads its list), "Arial" without a reader.
std::string LabelFontName();
// The font height of label `index`: its percentage of AxisFontHeight, rounded.
int LabelFontHeight(int index);
void SetLabelFontNameReader(std::function<std::string()> reader);

// Writes label `index` (0 .. 11), or every label for -1, on the bitmap in the labels'
// font face, black, on pale yellow when highlighted. On the image's own bitmap it records
// the hit boxes.
void DrawLabels(TBitmap& bitmap, int index);
