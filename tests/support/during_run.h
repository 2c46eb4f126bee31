#pragma once

#include <QApplication>
#include <QObject>
#include <QPushButton>
#include <QTimer>

#include <functional>

// Acts once, at the first moment the window's run is drawing: the Print button
// reads "&Abort", no dialog is open and begun() holds (the run's document has
// been begun, which each test tells in its own way). Events reach the window
// only at a page change, so that is when the action runs.
class DuringRun : public QObject {
public:
    DuringRun(const QPushButton& printButton, std::function<bool()> begun, std::function<void()> action)
    {
        timer_.setInterval(1);
        connect(&timer_, &QTimer::timeout, this, [this, &printButton, begun, action] {
            if (printButton.text() != QStringLiteral("&Abort") || QApplication::activeModalWidget() || !begun())
                return;
            timer_.stop();
            ++fired;
            action();
        });
        timer_.start();
    }
    int fired = 0;

private:
    QTimer timer_;
};
