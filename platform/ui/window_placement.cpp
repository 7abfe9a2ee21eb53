// Keeping top-level windows, frame included, inside the screen's work area.
#include "platform/ui/window_placement.h"

#include <QGuiApplication>
#include <QScreen>
#include <QWidget>

#include <algorithm>

namespace {

QMargins g_lastFrame;  // GUI thread only

QMargins MarginsBetween(const QRect& frame, const QRect& client) {
    return QMargins(client.left() - frame.left(), client.top() - frame.top(), frame.right() - client.right(),
                    frame.bottom() - client.bottom());
}

}  // namespace

QRect FitFrameInside(const QRect& frame, const QRect& area) {
    if (area.isEmpty()) return frame;
    QRect fitted = frame;
    fitted.setWidth(std::min(frame.width(), area.width()));
    fitted.setHeight(std::min(frame.height(), area.height()));
    const int left = std::clamp(frame.left(), area.left(), area.left() + area.width() - fitted.width());
    const int top = std::clamp(frame.top(), area.top(), area.top() + area.height() - fitted.height());
    fitted.moveTo(left, top);
    return fitted;
}

QRect WorkAreaOf(const QWidget* window) {
    const QScreen* screen = window && window->isVisible() ? window->screen() : nullptr;
    if (!screen) screen = QGuiApplication::primaryScreen();
    return screen ? screen->availableGeometry() : QRect();
}

QMargins FrameMarginsOf(const QWidget* window) {
    if (window && window->isVisible()) {
        const QMargins own = MarginsBetween(window->frameGeometry(), window->geometry());
        if (!own.isNull()) return own;
    }
    return g_lastFrame;
}

bool LearnFrameMargins(const QWidget* window) {
    if (!window || !window->isVisible() || window->isMaximized() || window->isFullScreen()) return false;
    const QMargins own = MarginsBetween(window->frameGeometry(), window->geometry());
    if (own.isNull()) return false;
    g_lastFrame = own;
    return true;
}
