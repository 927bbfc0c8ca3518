#include "mainwindow/paint_notice.h"

#include <QCoreApplication>
#include <QEvent>
#include <QEventLoop>
#include <QTimer>
#include <QWidget>

namespace tomorine {

namespace {

// Ends the wait at the window's first paint.
class PaintWatch : public QObject {
public:
    explicit PaintWatch(QEventLoop& loop) : loop_(loop) {}
    bool painted = false;

protected:
    bool eventFilter(QObject*, QEvent* event) override {
        if (event->type() == QEvent::Paint && !painted) {
            painted = true;
            loop_.quit();
        }
        return false;
    }

private:
    QEventLoop& loop_;
};

// Runs `change` and lets events other than user input run until the widget
// has been painted after it.
template <typename Change>
void PaintedAfter(QWidget* widget, int limitMilliseconds, Change change) {
    QEventLoop loop;
    PaintWatch watch(loop);
    widget->installEventFilter(&watch);
    change();
    if (!watch.painted) {
        QTimer::singleShot(limitMilliseconds, &loop, &QEventLoop::quit);
        loop.exec(QEventLoop::ExcludeUserInputEvents);
    }
    widget->removeEventFilter(&watch);
    // What the paint put into the window's buffer reaches the screen now.
    QCoreApplication::processEvents(QEventLoop::ExcludeUserInputEvents);
}

} // namespace

void ShowPainted(QWidget* window, int limitMilliseconds) {
    if (window->isVisible()) {
        window->raise();
        window->repaint();
        return;
    }
    PaintedAfter(window, limitMilliseconds, [window] {
        window->show();
        window->raise();
    });
}

void WaitPainting(int milliseconds) {
    QEventLoop loop;
    QTimer::singleShot(milliseconds, &loop, &QEventLoop::quit);
    loop.exec();
}

void RepaintPainted(QWidget* widget, int limitMilliseconds) {
    if (!widget->isVisible()) {
        return;
    }
    PaintedAfter(widget, limitMilliseconds, [widget] {
        // Painted at once where the window is exposed, else at the next
        // update the platform allows.
        widget->update();
        widget->repaint();
    });
}

} // namespace tomorine
