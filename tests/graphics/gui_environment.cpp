#include "graphics/gui_environment.h"

#include <QGuiApplication>

#include <cstdlib>
#include <memory>

QGuiApplication& TestGuiApplication() {
    static int argc = 1;
    static char name[] = "test_graphics";
    static char* argv[] = {name, nullptr};
    static std::unique_ptr<QGuiApplication> app = [] {
        setenv("QT_QPA_PLATFORM", "offscreen", 0);
        return std::make_unique<QGuiApplication>(argc, argv);
    }();
    return *app;
}
