// The installed font faces, as the system lists them.
#include "platform/graphics/fonts.h"

#include <QCoreApplication>
#include <QFontDatabase>
#include <QGuiApplication>

#include <stdexcept>

#include "platform/text/cp1252.h"

std::vector<std::string> InstalledFontNames() {
    if (!qobject_cast<QGuiApplication*>(QCoreApplication::instance()))
        throw std::logic_error("the font list needs a QGuiApplication");
    std::vector<std::string> names;
    for (const QString& family : QFontDatabase::families()) names.push_back(text::Utf8ToCp1252(family.toStdString()));
    return names;
}
