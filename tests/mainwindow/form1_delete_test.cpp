// Deleting the selected entry through the real main window.
#include "form1_harness.h"
#include "mainwindow/form6.h"
#include "store/message_style.h"

#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QTest>

using namespace tomorine;
using namespace tomorine::test;

namespace {

std::vector<std::int32_t> Serials(const std::filesystem::path& file) {
    std::vector<std::int32_t> serials;
    for (const Entry& e : Form1Harness::ReadLiveEntries(file)) {
        serials.push_back(e.serial);
    }
    return serials;
}

// Three entries, all listed, the second one picked.
void SearchAndPickSecond(Form1Harness& h) {
    Form1Harness::WriteDataFile(h.defaultDataFile(), {MakeEntry(1, u"http://a.jp/", u"一"),
                                                      MakeEntry(2, u"http://b.jp/", u"二"),
                                                      MakeEntry(12, u"http://c.jp/", u"十二")});
    QVERIFY(h.load());
    h.form().Command1->click();
    h.form().List1->setCurrentRow(1);
    h.takeMessages();
}

} // namespace

class DeleteTest : public QObject {
    Q_OBJECT
private slots:
    void okDeletesThePickedEntryAndRefreshesTheList() {
        Form1Harness h;
        SearchAndPickSecond(h);
        MessageBoxSeam::queueAnswers({AnswerOk});
        h.form().Command6->click();
        auto shown = h.takeShown();
        QCOMPARE(shown.size(), 1u);
        QCOMPARE(shown[0].text, QString("[ 二 ] を削除しますか"));
        QCOMPARE(shown[0].style, MessageStyle::OkCancel);
        QCOMPARE(Serials(h.defaultDataFile()), (std::vector<std::int32_t>{1, 12}));
        QCOMPARE(h.listLines(), (QStringList{"[00001]:一", "[00012]:十二"}));
        QCOMPARE(h.form().List1->currentRow(), -1);
        QVERIFY(h.form().Text1->text().isEmpty());
        QCOMPARE(h.form().Command2->text(), QString("登録"));
        QCOMPARE(h.form().form6->Label1->text(), QString("削除しました"));
        QVERIFY(!h.form().form6->isVisible());
    }

    void refusalsLeaveTheFileAsItWas_data() {
        QTest::addColumn<int>("answer");
        QTest::addColumn<bool>("picked");
        QTest::addColumn<bool>("clearUrl");
        QTest::addColumn<QString>("message"); // empty: the confirmation only
        QTest::newRow("cancel") << AnswerCancel << true << false << QString();
        QTest::newRow("no pick") << AnswerOk << false << false
                                 << "削除するデータを一覧から選んでください";
        QTest::newRow("no url") << AnswerOk << true << true << "URLが指定されていません";
    }
    void refusalsLeaveTheFileAsItWas() {
        QFETCH(int, answer);
        QFETCH(bool, picked);
        QFETCH(bool, clearUrl);
        QFETCH(QString, message);
        Form1Harness h;
        SearchAndPickSecond(h);
        if (!picked) {
            h.form().Command4->click();
            h.form().Command1->click(); // a new search: nothing picked since
            h.setFields("http://b.jp/", "二");
        }
        if (clearUrl) {
            h.form().Text1->clear();
        }
        auto before = ReadBytes(h.defaultDataFile());
        MessageBoxSeam::queueAnswers({answer});
        h.form().Command6->click();
        QStringList shown = h.takeMessages();
        QCOMPARE(shown.last(), message.isEmpty() ? QString("[ 二 ] を削除しますか") : message);
        QCOMPARE(ReadBytes(h.defaultDataFile()), before);
    }

    void aPickFromAnotherFileIsNotDeletedHere() {
        Form1Harness h;
        SearchAndPickSecond(h);
        auto other = h.home() / "other.xls";
        Form1Harness::WriteDataFile(other, {MakeEntry(2, u"http://x.jp/", u"別")});
        auto before = ReadBytes(other);
        h.form().Text6->setText(QString::fromStdString(other.string()));
        MessageBoxSeam::queueAnswers({AnswerOk});
        h.form().Command6->click();
        QCOMPARE(ReadBytes(other), before);
        QCOMPARE(Serials(h.defaultDataFile()), (std::vector<std::int32_t>{1, 2, 12}));
    }
};

QTEST_MAIN(DeleteTest)
#include "form1_delete_test.moc"
