// The Tab order of the main window follows the screen, and typing after a
// Tab from the editor never reaches the data file path.
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

QString NameOf(const QWidget* widget) {
    return widget != nullptr ? widget->objectName() : QStringLiteral("<nothing>");
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
    void tabWalksTheScreenAndBack() {
        Form1Harness h;
        QVERIFY(h.load());
        Form1& f = h.form();
        QVERIFY(ShowActive(f));
        f.Text1->setFocus();
        const QList<QWidget*> chain{f.Text1,     f.Text2,     f.Text3,     f.Text4,     f.Text5,
                                    f.Command1,  f.Command2,  f.Command4,  f.Command3,  f.Command6,
                                    f.Command8,  f.Command7,  f.Command10, f.Command11, f.Command12,
                                    f.Command13, f.Command14, f.List1,     f.Text6,     f.Command9,
                                    f.Command5,  f.Text1};
        for (int i = 1; i < chain.size(); ++i) {
            QCOMPARE(NameOf(PressTab()), NameOf(chain[i]));
        }
        for (int i = chain.size() - 2; i >= 0; --i) {
            QCOMPARE(NameOf(PressTab(Qt::ShiftModifier)), NameOf(chain[i]));
        }
    }

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
