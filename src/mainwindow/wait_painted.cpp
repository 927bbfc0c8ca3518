#include "mainwindow/wait_painted.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QEvent>
#include <QWidget>

namespace tomorine {

namespace {

class PaintSeen : public QObject {
public:
    bool seen = false;

protected:
    bool eventFilter(QObject*, QEvent* event) override {
        seen = seen || event->type() == QEvent::Paint;
        return false;
    }
};

} // namespace

void WaitPainted(QWidget* widget) {
    if (!widget->isVisible()) {
        return;
    }
    PaintSeen paint;
    widget->installEventFilter(&paint);
    widget->update();
    QElapsedTimer waited;
    waited.start();
    while (!paint.seen && waited.elapsed() < 1000) {
        QCoreApplication::processEvents(QEventLoop::ExcludeUserInputEvents, 20);
    }
    widget->removeEventFilter(&paint);
}

} // namespace tomorine
