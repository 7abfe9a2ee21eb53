#pragma once
// The Qt font of a TFont, for the platform layer only (the component layer gives its
// widgets the fonts of their controls). Face lookup, the cell-height rule and the Symbol
// face's Greek letters are those of the canvas. Needs a running QGuiApplication.
#include <QFont>
#include <QString>

#include <string_view>

#include "platform/graphics/canvas.h"

// Without antialiasing unless asked for (the canvas draws without).
QFont QtFontOf(const TFont& font, bool antialiased = false);
// The text as the font shows it: Windows-1252 decoded, or Greek letters for the Symbol face.
QString QtTextOf(const TFont& font, std::string_view text);
