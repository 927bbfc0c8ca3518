// Notices are on the screen before the work they announce: the helper that
// every form's notice goes through, and the deletion notice on it.
#include "form1_harness.h"
#include "mainwindow/form6.h"
#include "mainwindow/paint_notice.h"

#include <QApplication>

using namespace tomorine;
using namespace tomorine::test;

namespace {

// Calls `onPaint` for the first paint of any widget of the window named
// `windowName`, wherever in the program it happens.
class FirstPaint : public QObject {
public:
    FirstPaint(QString windowName, std::function<void(QWidget*)> onPaint)
        : windowName_(std::move(windowName)), onPaint_(std::move(onPaint)) {
        QCoreApplication::instance()->installEventFilter(this);
    }
    bool seen = false;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override {
        auto* widget = qobject_cast<QWidget*>(watched);
        if (!seen && event->type() == QEvent::Paint && widget != nullptr &&
            widget->window()->objectName() == windowName_) {
            seen = true;
            onPaint_(widget->window());
        }
        return false;
    }

private:
    QString windowName_;
    std::function<void(QWidget*)> onPaint_;
};

} // namespace

class PaintNoticeTest : public QObject {
    Q_OBJECT
private slots:
    void theHelperReturnsOncePainted() {
        QLabel notice(QStringLiteral("しています"));
        notice.setObjectName("notice");
        FirstPaint paint("notice", [](QWidget*) {});
        ShowPainted(&notice);
        QVERIFY(paint.seen);
        QVERIFY(notice.isVisible());

        // Already on the screen: painted again at once, with the new text.
        notice.setText(QStringLiteral("しました"));
        FirstPaint again("notice", [](QWidget* window) {
            QCOMPARE(static_cast<QLabel*>(window)->text(), QString("しました"));
        });
        ShowPainted(&notice);
        QVERIFY(again.seen);
    }

    void theDeletionNoticeIsPaintedBeforeTheEntryGoes() {
        Form1Harness h;
        QVERIFY(h.loadWith(Numbered(2)));
        h.search();
        h.form().List1->setCurrentRow(0);
        QString text;
        std::size_t entries = 0;
        FirstPaint paint("Form6", [&](QWidget*) {
            text = h.form().form6->Label1->text();
            entries = Form1Harness::ReadLiveEntries(h.defaultDataFile()).size();
        });
        h.form().Command6->click();
        QVERIFY(paint.seen);
        QCOMPARE(text, QString("削除しています"));
        QCOMPARE(entries, 2u);
        QCOMPARE(Form1Harness::ReadLiveEntries(h.defaultDataFile()).size(), 1u);
    }
};

QTEST_MAIN(PaintNoticeTest)
#include "paint_notice_test.moc"
