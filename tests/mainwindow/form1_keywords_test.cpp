// キーワード一覧 through the real main window.
#include "form1_harness.h"
#include "mainwindow/qt_text.h"
#include "store/message_style.h"
#include "support/temp_dir.h"

#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTest>

using namespace tomorine;
using namespace tomorine::test;

namespace {

namespace fs = std::filesystem;

// Two live entries and a deleted one, the window loaded on them.
void LoadThreeEntries(Form1Harness& h) {
    Form1Harness::WriteDataFile(h.defaultDataFile(),
                                {MakeEntry(1, u"http://a.jp/", u"一", u"news sports"),
                                 MakeEntry(2, u"http://b.jp/", u"二", u"sports　weather"),
                                 MakeEntry(3, u"http://c.jp/", u"三", u"gone")});
    QVERIFY(h.load());
    // The deleted entry: delete it through the window as a user would.
    h.form().Command1->click();
    h.form().List1->setCurrentRow(2);
    MessageBoxSeam::queueAnswers({AnswerOk});
    h.form().Command6->click();
    h.takeMessages();
}

QList<qlonglong> ItemData(const QListWidget* list) {
    QList<qlonglong> data;
    for (int i = 0; i < list->count(); ++i) {
        data << list->item(i)->data(Qt::UserRole).toLongLong();
    }
    return data;
}

} // namespace

class KeywordsTest : public QObject {
    Q_OBJECT
private slots:
    void listsTheDistinctKeywordsUnderABoldCaption() {
        Form1Harness h;
        LoadThreeEntries(h);
        h.setFields("http://typed.jp/", "題", "副", "kw", "comment");
        const std::vector<std::uint8_t> bytes = ReadBytes(h.defaultDataFile());
        const auto written = fs::last_write_time(h.defaultDataFile());

        h.form().Command11->click();
        QCOMPARE(h.takeMessages(), QStringList{});
        QCOMPARE(h.form().Label1->text(), QString("キーワード一覧"));
        QVERIFY(h.form().Label1->font().bold());
        QCOMPARE(h.listLines(), (QStringList{"news", "sports", "weather"}));
        QCOMPARE(ItemData(h.form().List1), (QList<qlonglong>{0, 1, 2}));
        QCOMPARE(h.form().Label8->text(), QString("3件 ヒットしました"));
        QCOMPARE(h.state().HitCount, 3);
        QVERIFY(h.state().KeywordListMode);
        QVERIFY(h.state().SavedSearchSql.empty());
        for (QLineEdit* field : {h.form().Text1, h.form().Text2, h.form().Text3, h.form().Text4}) {
            QVERIFY2(field->text().isEmpty(), qPrintable(field->objectName()));
        }
        QVERIFY(h.form().Text5->toPlainText().isEmpty());
        QCOMPARE(ReadBytes(h.defaultDataFile()), bytes);
        QCOMPARE(fs::last_write_time(h.defaultDataFile()), written);
    }

    void aClickedKeywordIsSearchedAndTheListShowsEntriesAgain() {
        Form1Harness h;
        LoadThreeEntries(h);
        h.form().Command11->click();
        h.form().List1->setCurrentRow(1);
        QCOMPARE(h.form().Text4->text(), QString("sports"));
        QVERIFY2(h.form().Text1->text().isEmpty(), "no entry loaded");

        h.form().Command1->click();
        QCOMPARE(h.listLines(), (QStringList{"[00001]:一", "[00002]:二"}));
        QCOMPARE(h.form().Label1->text(), QString("検出サイトList"));
        QVERIFY(!h.form().Label1->font().bold());
        QVERIFY(!h.state().KeywordListMode);
        h.form().List1->setCurrentRow(1);
        QCOMPARE(h.form().Text1->text(), QString("http://b.jp/"));
        QCOMPARE(h.form().Text4->text(), QString("sports　weather"));
    }

    // The search's rows are gone from the list, so nothing may act on them.
    void theKeywordListLeavesNoEntryToDelete() {
        Form1Harness h;
        LoadThreeEntries(h);
        h.form().Command1->click();
        h.form().List1->setCurrentRow(0);
        h.form().Command11->click();
        h.setFields("http://a.jp/", "一");
        h.form().Command6->click();
        QCOMPARE(h.takeMessages(), QStringList{"削除するデータを一覧から選んでください"});
        QCOMPARE(Form1Harness::ReadLiveEntries(h.defaultDataFile()).size(), 2u);
    }

    void aMissingDataFileChangesNothing() {
        Form1Harness h;
        LoadThreeEntries(h);
        h.form().Command1->click();
        h.form().Text6->setText(PathToQString(h.home() / "missing.xls"));
        h.form().Command11->click();
        QCOMPARE(h.takeMessages(), QStringList{"データファイルがありません"});
        QCOMPARE(h.form().Label1->text(), QString("検出サイトList"));
        QVERIFY(!h.state().KeywordListMode);
        QCOMPARE(h.listLines(), (QStringList{"[00001]:一", "[00002]:二"}));
    }

    // A file that turned bad after the search: its description, and the
    // search's list stays as it was and usable.
    void aFailureHalfWayIsShownAndTheSearchStays() {
        Form1Harness h;
        LoadThreeEntries(h);
        h.form().Command1->click();
        const std::vector<std::uint8_t> garbage{'n', 'o', 't', ' ', 'x', 'l', 's'};
        WriteBytes(h.defaultDataFile(), garbage);
        h.form().Command11->click();
        std::vector<MessageBoxSeam::Shown> shown = h.takeShown();
        QCOMPARE(shown.size(), 1u);
        QVERIFY2(shown[0].text.contains("トモリネ.xls"), qPrintable(shown[0].text));
        QCOMPARE(shown[0].style, MessageStyle::Critical);
        QCOMPARE(h.form().Label1->text(), QString("検出サイトList"));
        QVERIFY(!h.state().KeywordListMode);
        QCOMPARE(h.listLines(), (QStringList{"[00001]:一", "[00002]:二"}));
        h.form().List1->setCurrentRow(1);
        QCOMPARE(h.form().Text1->text(), QString("http://b.jp/"));
        QCOMPARE(ReadBytes(h.defaultDataFile()), garbage);
    }
};

QTEST_MAIN(KeywordsTest)
#include "form1_keywords_test.moc"
