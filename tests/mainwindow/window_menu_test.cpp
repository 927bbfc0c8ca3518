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

class WindowMenuTest : public QObject {
    Q_OBJECT
private slots:
    void unknownItemsChangeNothing_data() {
        QTest::addColumn<int>("item");
        QTest::newRow("7") << 7;
        QTest::newRow("-1") << -1;
        QTest::newRow("100") << 100;
    }
    void unknownItemsChangeNothing() {
        QFETCH(int, item);
        QWidget window;
        window.resize(300, 200);
        Qt::WindowFlags before = window.windowFlags();
        QCOMPARE(RemoveSystemMenuItem(&window, item), 0);
        QCOMPARE(window.windowFlags(), before);
        QVERIFY(window.minimumSize() != window.maximumSize());
    }

    void sizeFixesTheWindowAndDropsMaximize() {
        QWidget window;
        window.resize(300, 200);
        QVERIFY(RemoveSystemMenuItem(&window, 2) != 0);
        QCOMPARE(window.minimumSize(), QSize(300, 200));
        QCOMPARE(window.maximumSize(), QSize(300, 200));
        QVERIFY(!(window.windowFlags() & Qt::WindowMaximizeButtonHint));
        QVERIFY(window.windowFlags() & Qt::WindowCloseButtonHint);
    }

    void closeIgnoresTheUserButNotTheProgram() {
        QWidget window;
        window.show();
        QVERIFY(RemoveSystemMenuItem(&window, 5) != 0);
        QVERIFY(RemoveSystemMenuItem(&window, 5) != 0); // already gone: still fine
        QVERIFY(!(window.windowFlags() & Qt::WindowCloseButtonHint));
        QVERIFY(window.isVisible());
        QVERIFY(!UserCloses(window));
        QVERIFY(window.isVisible());
        CloseByProgram(&window);
        QVERIFY(!window.isVisible());
    }

    void restoreGivesTheDefaultsBack() {
        QWidget window;
        window.resize(300, 200);
        Qt::WindowFlags defaults = window.windowFlags();
        QSize min = window.minimumSize();
        QSize max = window.maximumSize();
        RemoveSystemMenuItem(&window, 2);
        RemoveSystemMenuItem(&window, 5);
        QCOMPARE(RemoveSystemMenuItem(&window, 0, true), 0);
        QCOMPARE(window.windowFlags(), defaults);
        QCOMPARE(window.minimumSize(), min);
        QCOMPARE(window.maximumSize(), max);
        QVERIFY(!IsCloseRemoved(&window));
        QVERIFY(UserCloses(window));
    }
};

QTEST_MAIN(WindowMenuTest)
#include "window_menu_test.moc"
