// The Tab order of the main window follows the screen, typing after a Tab
// from the editor never reaches the data file path, and Enter and Esc do
// what the fields and dialogs say.
#include "form1_harness.h"
#include "mainwindow/form2.h"
#include "mainwindow/form3.h"
#include "mainwindow/form7.h"
#include "mainwindow/window_menu.h"

#include <QApplication>
#include <QImage>
#include <QInputMethodEvent>
#include <QSignalSpy>

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
        const QImage unfocused = f.List1->grab().toImage();
        f.List1->setFocus();
        QVERIFY(f.List1->grab().toImage() != unfocused); // the list shows it has the focus
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

    // Enter searches from the one-line search fields and, with Ctrl, from the
    // comment; the data file path and a committed conversion press nothing.
    void enterSearchesFromTheSearchFields() {
        Form1Harness h;
        QVERIFY(h.load());
        Form1& f = h.form();
        QVERIFY(ShowActive(f));
        QSignalSpy searched(f.Command1, &QPushButton::clicked);
        QSignalSpy ended(f.Command5, &QPushButton::clicked);
        struct Row {
            QWidget* field;
            Qt::Key key;
            Qt::KeyboardModifiers modifiers;
            int searches;
        };
        const Row rows[] = {
            {f.Text1, Qt::Key_Return, {}, 1}, {f.Text2, Qt::Key_Enter, Qt::KeypadModifier, 1},
            {f.Text3, Qt::Key_Return, {}, 1}, {f.Text4, Qt::Key_Return, {}, 1},
            {f.Text5, Qt::Key_Return, {}, 0}, {f.Text5, Qt::Key_Return, Qt::ControlModifier, 1},
            {f.Text6, Qt::Key_Return, {}, 0}};
        for (const Row& row : rows) {
            searched.clear();
            row.field->setFocus();
            QTest::keyClick(row.field, row.key, row.modifiers);
            QCOMPARE(searched.size(), row.searches);
        }
        QCOMPARE(f.Text5->toPlainText(), QStringLiteral("\n"));
        QCOMPARE(ended.size(), 0);

        searched.clear();
        f.Text2->setFocus();
        QInputMethodEvent commit;
        commit.setCommitString(QStringLiteral("漢字"));
        QApplication::sendEvent(f.Text2, &commit);
        QCOMPARE(f.Text2->text(), QStringLiteral("漢字"));
        QCOMPARE(searched.size(), 0);
    }

    // Enter presses the default button; Esc closes an idle dialog and is
    // ignored while it works (its close item removed); the conversion
    // window ignores Esc.
    void enterAndEscInTheDialogs() {
        Form1Harness h;
        QVERIFY(h.load());
        Form1& f = h.form();
        struct Row {
            QWidget* dialog;
            QLineEdit* field;
            QPushButton* ok;
        };
        const Row rows[] = {{f.form2, f.form2->Text1, f.form2->Command2},
                            {f.form3, f.form3->Text1, f.form3->Command2}};
        for (const Row& row : rows) {
            QSignalSpy pressed(row.ok, &QPushButton::clicked);
            row.field->clear();
            row.dialog->show();
            row.field->setFocus();
            QTest::keyClick(row.field, Qt::Key_Return);
            QCOMPARE(pressed.size(), 1);
            QVERIFY(row.ok->isDefault());
            for (bool busy : {true, false}) {
                RemoveSystemMenuItem(row.dialog, busy ? 5 : 0, !busy);
                row.dialog->show();
                QTest::keyClick(row.field, Qt::Key_Escape);
                QCOMPARE(row.dialog->isVisible(), busy);
            }
        }
        QCOMPARE(h.takeMessages().size(), 2); // the two empty paths
        f.form7->show();
        QTest::keyClick(f.form7, Qt::Key_Escape);
        QVERIFY(f.form7->isVisible());
        QVERIFY(!h.state().ConversionCancelRequested);
    }
};

QTEST_MAIN(TabOrderTest)
#include "tab_order_test.moc"
