#pragma once
// A Qt event filter that runs a function (layer only; no moc needed).
#include <QEvent>
#include <QObject>

#include <functional>
#include <utility>

class TEventHook : public QObject {
public:
    using Function = std::function<bool(QObject* watched, QEvent* event)>;
    TEventHook(QObject* watched, Function function) : QObject(watched), function_(std::move(function)) {
        watched->installEventFilter(this);
    }
    bool eventFilter(QObject* watched, QEvent* event) override { return function_(watched, event); }

private:
    Function function_;
};
