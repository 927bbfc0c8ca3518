// Window-menu items as window flags.
#include "mainwindow/window_menu.h"

#include <QCloseEvent>
#include <QTest>
#include <QWidget>
#include <QWindow>

using namespace tomorine;

namespace {

// A close as the window system delivers it (spontaneous, unlike
// QWidget::close()): through the platform window.
bool UserCloses(QWidget& window) {
    window.show();
    window.windowHandle()->close();
    return !window.isVisible();
}

} // namespace

// Size and close removal, the user's close ignored and the program's close
// honoured, are exercised on the real windows by the start-up and
// conversion tests; here what those do not reach.
class WindowMenuTest : public QObject {
    Q_OBJECT
private slots:
    void anUnknownItemChangesNothing() {
        QWidget window;
        window.resize(300, 200);
        Qt::WindowFlags before = window.windowFlags();
        QCOMPARE(RemoveSystemMenuItem(&window, 7), 0);
        QCOMPARE(window.windowFlags(), before);
        QVERIFY(window.minimumSize() != window.maximumSize());
    }

    void restoreGivesTheDefaultsBack() {
        QWidget window;
        window.resize(300, 200);
        Qt::WindowFlags defaults = window.windowFlags();
        QSize min = window.minimumSize();
        QSize max = window.maximumSize();
        RemoveSystemMenuItem(&window, 2);
        RemoveSystemMenuItem(&window, 5);
        QVERIFY(!UserCloses(window));
        QCOMPARE(RemoveSystemMenuItem(&window, 0, true), 0);
        QCOMPARE(window.windowFlags(), defaults);
        QCOMPARE(window.minimumSize(), min);
        QCOMPARE(window.maximumSize(), max);
        QVERIFY(UserCloses(window));
    }
};

QTEST_MAIN(WindowMenuTest)
#include "window_menu_test.moc"
