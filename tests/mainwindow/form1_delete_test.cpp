// Deleting the selected entry through the real main window.
#include "form1_harness.h"

using namespace tomorine;
using namespace tomorine::test;

namespace {

// Three entries, all listed, the second one picked.
void SearchAndPickSecond(Form1Harness& h) {
    QVERIFY(h.loadWith({MakeEntry(1, u"http://a.jp/", u"一"), MakeEntry(2, u"http://b.jp/", u"二"),
                        MakeEntry(12, u"http://c.jp/", u"十二")}));
    h.search();
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
        const auto shown = h.takeShown();
        QCOMPARE(shown.size(), 1u);
        QCOMPARE(shown[0].text, QString("[ 二 ] を削除しますか"));
        QCOMPARE(shown[0].style, MessageStyle::OkCancel);
        QCOMPARE(h.liveSerials(), (std::vector<std::int32_t>{1, 12}));
        QCOMPARE(h.listLines(), (QStringList{"[00001]:一", "[00012]:十二"}));
    }

    void refusalsLeaveTheFileAsItWas_data() {
        QTest::addColumn<int>("answer");
        QTest::addColumn<QString>("refusal"); // what else happened before the click
        QTest::addColumn<QString>("message"); // the last one shown
        const QString confirmation = "[ 二 ] を削除しますか";
        QTest::newRow("cancel") << AnswerCancel << "" << confirmation;
        QTest::newRow("no pick") << AnswerOk << "new search"
                                 << "削除するデータを一覧から選んでください";
        QTest::newRow("no url") << AnswerOk << "no url"
                                << "URLが指定されていません";
        QTest::newRow("picked in another file")
            << AnswerOk << "other file"
            << "データファイルが検索の後で変わりました。検索し直してください";
    }
    void refusalsLeaveTheFileAsItWas() {
        QFETCH(int, answer);
        QFETCH(QString, refusal);
        QFETCH(QString, message);
        Form1Harness h;
        SearchAndPickSecond(h);
        const auto other = h.home() / "other.xls";
        Form1Harness::WriteDataFile(other, {MakeEntry(2, u"http://x.jp/", u"別")});
        const auto before = std::pair{ReadBytes(h.defaultDataFile()), ReadBytes(other)};
        if (refusal == "new search") {
            h.form().Command4->click();
            h.search();
            h.setFields("http://b.jp/", "二");
        } else if (refusal == "no url") {
            h.form().Text1->clear();
        } else if (refusal == "other file") {
            h.form().Text6->setText(Q(other));
        }
        MessageBoxSeam::queueAnswers({answer});
        h.form().Command6->click();
        QCOMPARE(h.takeMessages().last(), message);
        QVERIFY((std::pair{ReadBytes(h.defaultDataFile()), ReadBytes(other)} == before));
    }
};

QTEST_MAIN(DeleteTest)
#include "form1_delete_test.moc"
