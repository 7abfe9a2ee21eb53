#pragma once
// Conversions between the system's texts and colours and Qt's (layer only).
#include <QColor>
#include <QString>

#include <string>
#include <string_view>

#include "platform/graphics/color.h"
#include "platform/text/cp1252.h"

inline QString ToQString(std::string_view cp1252) {
    return QString::fromStdString(text::Cp1252ToUtf8(cp1252));
}

inline std::string FromQString(const QString& s) { return text::Utf8ToCp1252(s.toStdString()); }

inline QColor QColorOf(TColor c) { return QColor(GetRValue(c), GetGValue(c), GetBValue(c)); }
