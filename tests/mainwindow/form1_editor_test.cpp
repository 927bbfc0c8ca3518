// Register, update, select, clear and search through the real main window.
#include "form1_harness.h"

#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QScrollBar>
#include <QTest>

using namespace tomorine;
using namespace tomorine::test;

namespace {

std::vector<Entry> Numbered(int count, const std::u16string& keyword) {
    std::vector<Entry> entries;
    for (int i = 1; i <= count; ++i) {
        std::u16string n(QString::number(i).toStdU16String());
        entries.push_back(MakeEntry(i, u"http://example.jp/" + n, u"ページ" + n, keyword));
    }
    return entries;
}

} // namespace

class EditorTest : public QObject {
    Q_OBJECT
private slots:
    void registeringListsTheNewEntrySelectedInUpdateMode() {
        Form1Harness h;
        QVERIFY(h.load());
        h.setFields("http://a.jp/it's", "題名  ", QString(), "ニュース 天気", "一行目\n二行目");
        h.form().Command2->click();
        QCOMPARE(h.takeMessages(), QStringList{"登録しました"});
        QCOMPARE(h.listLines(), QStringList{"[00001]:題名  "});
        QCOMPARE(h.form().List1->currentRow(), 0);
        QCOMPARE(h.form().Command2->text(), QString("更新"));
        QCOMPARE(h.form().Label8->text(), QString("1件 ヒットしました"));
        QCOMPARE(h.state().CurrentSerial, 1);
        QCOMPARE(h.form().Text2->text(), QString("題名  "));
        QCOMPARE(h.form().Text5->toPlainText(), QString("一行目\n二行目"));

        std::vector<Entry> stored = Form1Harness::ReadLiveEntries(h.defaultDataFile());
        QCOMPARE(stored.size(), 1u);
        QVERIFY(stored[0].url == u"http://a.jp/it's");
        QVERIFY(stored[0].comment == u"一行目\r\n二行目");
        QVERIFY(h.state().DataChanged);
    }

    void noSerialIsLeftAfterTheLargest() {
        Form1Harness h;
        Form1Harness::WriteDataFile(h.defaultDataFile(),
                                    {MakeEntry(2147483647, u"http://a.jp/", u"最後")});
        QVERIFY(h.load());
        auto before = ReadBytes(h.defaultDataFile());
        h.setFields("http://b.jp/", "次");
        h.form().Command2->click();
        QStringList messages = h.takeMessages();
        QCOMPARE(messages.size(), 2);
        QVERIFY(messages[0].contains("これ以上"));
        QCOMPARE(messages[1], QString("データに誤りがあります"));
        QCOMPARE(ReadBytes(h.defaultDataFile()), before);
    }

    void urlAndTitleAreRequired_data() {
        QTest::addColumn<QString>("url");
        QTest::addColumn<QString>("title");
        QTest::addColumn<QString>("focused");
        QTest::newRow("no url") << ""
                                << "題"
                                << "Text1";
        QTest::newRow("no title") << "http://a.jp/"
                                  << ""
                                  << "Text2";
        QTest::newRow("neither") << ""
                                 << ""
                                 << "Text1";
    }
    void urlAndTitleAreRequired() {
        QFETCH(QString, url);
        QFETCH(QString, title);
        QFETCH(QString, focused);
        Form1Harness h;
        QVERIFY(h.load());
        auto before = ReadBytes(h.defaultDataFile());
        h.form().show();
        h.setFields(url, title);
        h.form().Command2->click();
        QCOMPARE(h.takeMessages(), QStringList{"[ URL ] と [ タイトル ] は必須です"});
        QCOMPARE(ReadBytes(h.defaultDataFile()), before);
        QVERIFY(h.form().focusWidget() != nullptr);
        QCOMPARE(h.form().focusWidget()->objectName(), focused);
    }

    void updatingAScrolledListRestoresTopLineAndSelection() {
        Form1Harness h;
        Form1Harness::WriteDataFile(h.defaultDataFile(), Numbered(80, u"共通"));
        QVERIFY(h.load());
        h.form().show();
        h.form().Text4->setText("共通");
        h.form().Command1->click();
        QCOMPARE(h.form().List1->count(), 80);
        QCoreApplication::processEvents(); // the user scrolls a list already laid out
        h.form().List1->verticalScrollBar()->setValue(30);
        h.form().List1->setCurrentRow(33);
        QCOMPARE(h.form().Text2->text(), QString("ページ34"));
        h.form().Text2->setText("書き換えた題");
        h.form().Command2->click();
        QCOMPARE(h.takeMessages(), QStringList{"更新しました"});
        QCOMPARE(h.form().List1->count(), 80);
        QCOMPARE(h.form().List1->verticalScrollBar()->value(), 30);
        QCOMPARE(h.form().List1->currentRow(), 33);
        QCOMPARE(h.form().List1->item(33)->text(), QString("[00034]:書き換えた題"));
        QCOMPARE(h.form().Text2->text(), QString("書き換えた題"));
        std::vector<Entry> stored = Form1Harness::ReadLiveEntries(h.defaultDataFile());
        QVERIFY(stored[33].title == u"書き換えた題");
        QVERIFY(stored[32].title == u"ページ33");
    }

    void updatingAnEntryDeletedMeanwhileSaysSo() {
        Form1Harness h;
        Form1Harness::WriteDataFile(h.defaultDataFile(), Numbered(2, u""));
        QVERIFY(h.load());
        h.form().Command1->click();
        h.form().List1->setCurrentRow(1);
        // Another program leaves only the first entry.
        Form1Harness::WriteDataFile(h.defaultDataFile(), Numbered(1, u""));
        auto before = Form1Harness::ReadLiveEntries(h.defaultDataFile());
        h.form().Text2->setText("変えた");
        h.form().Command2->click();
        QCOMPARE(h.takeMessages(), QStringList{"更新するデータがデータファイルにありません"});
        QVERIFY(Form1Harness::ReadLiveEntries(h.defaultDataFile())[0].title == before[0].title);
    }

    void clearEmptiesEditorListAndCountButKeepsThePath() {
        Form1Harness h;
        Form1Harness::WriteDataFile(h.defaultDataFile(), Numbered(3, u""));
        QVERIFY(h.load());
        h.form().Command1->click();
        h.form().List1->setCurrentRow(1);
        QCOMPARE(h.form().Command2->text(), QString("更新"));
        QString path = h.form().Text6->text();
        h.form().Command4->click();
        QCOMPARE(h.form().List1->count(), 0);
        for (QLineEdit* field : {h.form().Text1, h.form().Text2, h.form().Text3, h.form().Text4}) {
            QVERIFY(field->text().isEmpty());
        }
        QVERIFY(h.form().Text5->toPlainText().isEmpty());
        QVERIFY(h.form().Label8->text().isEmpty());
        QCOMPARE(h.form().Text6->text(), path);
        QCOMPARE(h.form().Command2->text(), QString("登録"));
        QVERIFY(!h.state().ConnectionOpen);
    }

    void overlongFieldsAreStoredCut() {
        Form1Harness h;
        QVERIFY(h.load());
        h.setFields(QString(3000, 'u'), QString(3000, QChar(0x984C)), QString(3000, 's'),
                    QString(3000, 'k'), QString(3000, 'c'));
        h.form().Command2->click();
        QCOMPARE(h.takeMessages(), QStringList{"登録しました"});
        std::vector<Entry> stored = Form1Harness::ReadLiveEntries(h.defaultDataFile());
        QCOMPARE(stored.size(), 1u);
        QCOMPARE(stored[0].url.size(), 2000u);
        QCOMPARE(stored[0].title.size(), 500u);
        QCOMPARE(stored[0].subtitle.size(), 500u);
        QCOMPARE(stored[0].keywords.size(), 2000u);
        QCOMPARE(stored[0].comment.size(), 2000u);
    }

    void searchWordsAndNoHit() {
        Form1Harness h;
        Form1Harness::WriteDataFile(h.defaultDataFile(),
                                    {MakeEntry(1, u"http://a.jp/", u"xx DEF abc"),
                                     MakeEntry(2, u"http://b.jp/", u"abc"),
                                     MakeEntry(7, u"http://c.jp/", u"ＡＢＣ　ｄｅｆ")});
        QVERIFY(h.load());
        h.form().Text2->setText("abc def");
        h.form().Command1->click();
        QCOMPARE(h.listLines(), (QStringList{"[00001]:xx DEF abc", "[00007]:ＡＢＣ　ｄｅｆ"}));
        QCOMPARE(h.takeMessages(), QStringList());
        h.form().Text2->setText("nothing");
        h.form().Command1->click();
        QCOMPARE(h.takeMessages(), QStringList{"見つかりません"});
        QCOMPARE(h.form().Label8->text(), QString("0件 ヒットしました"));
    }

    void aSingleHitIsSelectedAgainAfterAPick() {
        Form1Harness h;
        Form1Harness::WriteDataFile(h.defaultDataFile(), Numbered(3, u""));
        QVERIFY(h.load());
        h.form().Command1->click();
        h.form().List1->setCurrentRow(2);
        h.form().Command1->click(); // the fields now name one entry
        QCOMPARE(h.form().List1->count(), 1);
        QCOMPARE(h.form().List1->currentRow(), 0);
        QCOMPARE(h.form().Text2->text(), QString("ページ3"));
    }

    void doubleClickOpensTheUrl() {
        Form1Harness h;
        Form1Harness::WriteDataFile(h.defaultDataFile(), Numbered(1, u""));
        QVERIFY(h.load());
        h.form().Command1->click();
        h.form().List1->setCurrentRow(0);
        emit h.form().List1->itemDoubleClicked(h.form().List1->item(0));
        QCOMPARE(h.openedUrls(), std::vector<QString>{"http://example.jp/1"});
        h.form().Command4->click();
        h.form().Command3->click();
        QCOMPARE(h.takeMessages(), QStringList{"URLが指定されていません"});
    }
};

QTEST_MAIN(EditorTest)
#include "form1_editor_test.moc"
