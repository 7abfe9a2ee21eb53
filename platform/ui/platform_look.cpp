#include "platform/ui/platform_look.h"

#include <QApplication>
#include <QLibraryInfo>
#include <QProxyStyle>
#include <QTranslator>

namespace {

class TKeyboardMenuBarStyle : public QProxyStyle {
public:
    using QProxyStyle::QProxyStyle;

    int styleHint(StyleHint hint, const QStyleOption* option, const QWidget* widget,
                  QStyleHintReturn* returnData) const override {
        if (hint == SH_MenuBar_AltKeyNavigation) return 1;
        return QProxyStyle::styleHint(hint, option, widget, returnData);
    }
};

}  // namespace

bool InstallFrenchTranslations(QApplication& app) {
    auto* translator = new QTranslator(&app);
    const QString folder = QLibraryInfo::path(QLibraryInfo::TranslationsPath);
    if (!translator->load(QStringLiteral("qtbase_fr"), folder)) {
        delete translator;
        return false;
    }
    QApplication::installTranslator(translator);
    return true;
}

void InstallKeyboardMenuBar(QApplication&) {
    if (dynamic_cast<TKeyboardMenuBarStyle*>(QApplication::style())) return;
    QApplication::setStyle(new TKeyboardMenuBarStyle(QApplication::style()->name()));
}
