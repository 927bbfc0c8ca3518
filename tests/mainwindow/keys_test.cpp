// Enter and Esc do what the fields and dialogs say, and the result list shows
// when it has the focus.
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

bool ShowActive(Form1& form) {
    form.show();
    QApplication::setActiveWindow(&form);
    return QTest::qWaitForWindowActive(&form);
}

} // namespace

class KeysTest : public QObject {
    Q_OBJECT
private slots:
    void theListShowsItHasTheFocus() {
        Form1Harness h;
        QVERIFY(h.load());
        QVERIFY(ShowActive(h.form()));
        h.form().Text1->setFocus();
        const QImage unfocused = h.form().List1->grab().toImage();
        h.form().List1->setFocus();
        QVERIFY(h.form().List1->grab().toImage() != unfocused);
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

QTEST_MAIN(KeysTest)
#include "keys_test.moc"
