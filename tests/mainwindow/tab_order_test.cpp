// Typing after a Tab from the editor never reaches the data file path.
#include "form1_harness.h"

#include <QApplication>

using namespace tomorine;
using namespace tomorine::test;

namespace {

QWidget* PressTab(Qt::KeyboardModifiers modifiers = Qt::NoModifier) {
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab, modifiers);
    QCoreApplication::processEvents(); // the fields select their text on focus
    return QApplication::focusWidget();
}

bool ShowActive(Form1& form) {
    form.show();
    QApplication::setActiveWindow(&form);
    return QTest::qWaitForWindowActive(&form);
}

} // namespace

class TabOrderTest : public QObject {
    Q_OBJECT
private slots:
    void typingThroughTheEditorNeverReachesTheDataFilePath() {
        for (bool usable : {true, false}) {
            Form1Harness h;
            QVERIFY(h.load());
            Form1& f = h.form();
            f.SetCommandsEnabled(usable); // a rejected file leaves only the list between
            const QString path = f.Text6->text();
            QVERIFY(ShowActive(f));
            f.Text1->setFocus();
            QCoreApplication::processEvents();
            // As a user fills the form: a word, then Tab, field after field.
            for (int field = 0; field < 5; ++field) {
                QTest::keyClicks(QApplication::focusWidget(), "abc");
                PressTab();
            }
            QCOMPARE(f.Text1->text(), QString("abc"));
            QCOMPARE(f.Text5->toPlainText(), QString("abc"));
            QVERIFY(QApplication::focusWidget() != f.Text6);
            QTest::keyClicks(QApplication::focusWidget(), "xyz");
            QCOMPARE(f.Text6->text(), path);
        }
    }
};

QTEST_MAIN(TabOrderTest)
#include "tab_order_test.moc"
