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

    // The search's rows are gone from the list, so nothing may act on them:
    // not 削除, and a clicked keyword arms no entry for 更新.
    void theKeywordListLeavesNoEntryToActOn() {
        Form1Harness h;
        QVERIFY(h.loadWith({MakeEntry(1, u"http://a.jp/", u"一", u"語"),
                            MakeEntry(2, u"http://b.jp/", u"二", u"語")}));
        Form1& f = h.form();
        f.show(); // clicks land where the items are drawn
        QVERIFY(QTest::qWaitForWindowExposed(&f));
        auto click = [&](QWidget* widget, QPoint at = {}) {
            QTest::mouseClick(widget, Qt::LeftButton, {},
                              at.isNull() ? widget->rect().center() : at);
        };
        h.search();
        const auto clickLine = [&](int row) {
            click(f.List1->viewport(), f.List1->visualItemRect(f.List1->item(row)).center());
        };
        clickLine(1);
        QCOMPARE(f.Command2->text(), QString("更新"));
        click(f.Command11);
        clickLine(0);
        QCOMPARE(f.Text4->text(), QString("語"));
        h.setFields("http://b.jp/", "二");
        click(f.Command6);
        QCOMPARE(h.takeMessages(), QStringList{"削除するデータを一覧から選んでください"});
        clickLine(0); // the refusal ended the keyword list; the line is still no entry
        f.Text1->setText("http://c.jp/");
        f.Text2->setText("新");
        click(f.Command2);
        QCOMPARE(h.takeMessages(), QStringList{"登録しました"});
        const auto entries = Form1Harness::ReadLiveEntries(h.defaultDataFile());
        QCOMPARE(entries.size(), 3u);
        QVERIFY(entries[1].url == u"http://b.jp/" && entries[1].title == u"二");
        QVERIFY(entries[2].url == u"http://c.jp/" && entries[2].title == u"新");
    }
};

QTEST_MAIN(KeywordsTest)
#include "form1_keywords_test.moc"
