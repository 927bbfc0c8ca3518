// キーワード一覧 through the real main window.
#include "form1_harness.h"

using namespace tomorine;
using namespace tomorine::test;

namespace {

namespace fs = std::filesystem;

bool LoadTwoEntries(Form1Harness& h) {
    return h.loadWith({MakeEntry(1, u"http://a.jp/", u"一", u"news sports"),
                       MakeEntry(2, u"http://b.jp/", u"二", u"sports　weather")});
}

// The list shows the search's entries, as before the keyword list.
void CheckEntriesListed(Form1Harness& h) {
    QCOMPARE(h.listLines(), (QStringList{"[00001]:一", "[00002]:二"}));
    QCOMPARE(h.form().Label1->text(), QString("検出サイトList"));
    QVERIFY(!h.form().Label1->font().bold());
    QVERIFY(!h.state().KeywordListMode);
    h.form().List1->setCurrentRow(1);
    QCOMPARE(h.form().Text1->text(), QString("http://b.jp/"));
}

} // namespace

class KeywordsTest : public QObject {
    Q_OBJECT
private slots:
    void listsTheDistinctKeywordsAndAClickedOneIsSearched() {
        Form1Harness h;
        QVERIFY(LoadTwoEntries(h));
        h.setFields("http://typed.jp/", "題", "副", "kw", "comment");
        const auto bytes = ReadBytes(h.defaultDataFile());
        const auto written = fs::last_write_time(h.defaultDataFile());

        h.form().Command11->click();
        QCOMPARE(h.takeMessages(), QStringList{});
        QCOMPARE(h.form().Label1->text(), QString("キーワード一覧"));
        QVERIFY(h.form().Label1->font().bold());
        QCOMPARE(h.listLines(), (QStringList{"news", "sports", "weather"}));
        for (int i = 0; i < 3; ++i) {
            QCOMPARE(h.form().List1->item(i)->data(Qt::UserRole).toLongLong(), i);
        }
        QCOMPARE(h.form().Label8->text(), QString("3件 ヒットしました"));
        QVERIFY(h.state().KeywordListMode && h.state().SavedSearchSql.empty());
        for (QLineEdit* field : {h.form().Text1, h.form().Text2, h.form().Text3, h.form().Text4}) {
            QVERIFY2(field->text().isEmpty(), qPrintable(field->objectName()));
        }
        QVERIFY(h.form().Text5->toPlainText().isEmpty());
        QCOMPARE(ReadBytes(h.defaultDataFile()), bytes);
        QCOMPARE(fs::last_write_time(h.defaultDataFile()), written);

        h.form().List1->setCurrentRow(1);
        QCOMPARE(h.form().Text4->text(), QString("sports"));
        QVERIFY2(h.form().Text1->text().isEmpty(), "no entry loaded");
        h.search();
        CheckEntriesListed(h);
    }

    // The search's rows are gone from the list, so nothing may act on them.
    void theKeywordListLeavesNoEntryToDelete() {
        Form1Harness h;
        QVERIFY(LoadTwoEntries(h));
        h.search();
        h.form().List1->setCurrentRow(0);
        h.form().Command11->click();
        h.setFields("http://a.jp/", "一");
        h.form().Command6->click();
        QCOMPARE(h.takeMessages(), QStringList{"削除するデータを一覧から選んでください"});
        QCOMPARE(h.liveSerials(), (std::vector<std::int32_t>{1, 2}));
    }

    // A data file gone or turned bad after the search: its message, and the
    // search's list stays as it was and usable.
    void aFailureIsShownAndTheSearchStays_data() {
        QTest::addColumn<bool>("missing");
        QTest::addColumn<QString>("message");
        QTest::newRow("missing") << true << "データファイルがありません";
        QTest::newRow("not a workbook") << false << "トモリネ.xls";
    }
    void aFailureIsShownAndTheSearchStays() {
        QFETCH(bool, missing);
        QFETCH(QString, message);
        Form1Harness h;
        QVERIFY(LoadTwoEntries(h));
        h.search();
        const std::vector<std::uint8_t> garbage{'n', 'o', 't', ' ', 'x', 'l', 's'};
        if (missing) {
            h.form().Text6->setText(Q(h.home() / "missing.xls"));
        } else {
            WriteBytes(h.defaultDataFile(), garbage);
        }
        h.form().Command11->click();
        const QStringList shown = h.takeMessages();
        QVERIFY2(ContainEach(shown, {message}), qPrintable(shown.join(" | ")));
        CheckEntriesListed(h);
        QCOMPARE(missing ? !fs::exists(h.home() / "missing.xls")
                         : ReadBytes(h.defaultDataFile()) == garbage,
                 true);
    }
};

QTEST_MAIN(KeywordsTest)
#include "form1_keywords_test.moc"
