// キーワード一覧 through the real main window.
#include "form1_harness.h"

using namespace tomorine;
using namespace tomorine::test;

class KeywordsTest : public QObject {
    Q_OBJECT
private slots:
    // The list reads the file without writing it; a clicked keyword is searched.
    void listsTheDistinctKeywordsAndAClickedOneIsSearched() {
        Form1Harness h;
        QVERIFY(h.loadWith({MakeEntry(1, u"http://a.jp/", u"一", u"news sports"),
                            MakeEntry(2, u"http://b.jp/", u"二", u"sports　weather")}));
        const auto bytes = ReadBytes(h.defaultDataFile());
        h.form().Command11->click();
        QCOMPARE(h.takeMessages(), QStringList{});
        QCOMPARE(h.listLines(), (QStringList{"news", "sports", "weather"}));
        QCOMPARE(ReadBytes(h.defaultDataFile()), bytes);
        h.form().List1->setCurrentRow(0);
        QCOMPARE(h.form().Text4->text(), QString("news"));
        QCOMPARE(h.search(), QStringList{"[00001]:一"});
    }

    // The search's rows are gone from the list, so nothing may act on them.
    void theKeywordListLeavesNoEntryToDelete() {
        Form1Harness h;
        QVERIFY(h.loadWith(Numbered(2)));
        h.search();
        h.form().List1->setCurrentRow(0);
        h.form().Command11->click();
        h.setFields("http://example.jp/1", "ページ1");
        h.form().Command6->click();
        QCOMPARE(h.takeMessages(), QStringList{"削除するデータを一覧から選んでください"});
        QCOMPARE(h.liveSerials(), (std::vector<std::int32_t>{1, 2}));
    }
};

QTEST_MAIN(KeywordsTest)
#include "form1_keywords_test.moc"
