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

} // namespace

void ShowPainted(QWidget* window, int limitMilliseconds) {
    if (window->isVisible()) {
        window->raise();
        window->repaint();
        return;
    }
    QEventLoop loop;
    PaintWatch watch(loop);
    window->installEventFilter(&watch);
    window->show();
    window->raise();
    if (!watch.painted) {
        QTimer::singleShot(limitMilliseconds, &loop, &QEventLoop::quit);
        loop.exec(QEventLoop::ExcludeUserInputEvents);
    }
    window->removeEventFilter(&watch);
    // What the paint put into the window's buffer reaches the screen now.
    QCoreApplication::processEvents(QEventLoop::ExcludeUserInputEvents);
}

} // namespace tomorine
