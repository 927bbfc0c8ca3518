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

std::vector<Entry> Numbered(int count, const std::u16string& keyword = {}) {
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
        h.setFields("http://a.jp/it's", "題名  ", {}, "ニュース 天気", "一行目\n二行目");
        h.form().Command2->click();
        QCOMPARE(h.takeMessages(), QStringList{"登録しました"});
        QCOMPARE(h.listLines(), QStringList{"[00001]:題名  "});
        QCOMPARE(h.form().List1->currentRow(), 0);
        QCOMPARE(h.form().Command2->text(), QString("更新"));
        QCOMPARE(h.form().Label8->text(), QString("1件 ヒットしました"));
        QCOMPARE(h.form().Text5->toPlainText(), QString("一行目\n二行目"));
        std::vector<Entry> stored = Form1Harness::ReadLiveEntries(h.defaultDataFile());
        QVERIFY(stored.size() == 1 && stored[0].url == u"http://a.jp/it's");
        QVERIFY(stored[0].comment == u"一行目\r\n二行目");
    }

    void refusedRegistrationsLeaveTheFileAsItWas_data() {
        QTest::addColumn<QString>("url");
        QTest::addColumn<QString>("title");
        QTest::addColumn<int>("serial");
        QTest::addColumn<QStringList>("messages"); // each shown one contains its text
        QTest::addColumn<QString>("focused");
        const QStringList required{"[ URL ] と [ タイトル ] は必須です"};
        QTest::newRow("no url") << ""
                                << "題" << 1 << required << "Text1";
        QTest::newRow("no title") << "http://a.jp/"
                                  << "" << 1 << required << "Text2";
        QTest::newRow("no serial left")
            << "http://b.jp/"
            << "次" << 2147483647 << QStringList{"これ以上", "データに誤りがあります"} << "";
    }
    void refusedRegistrationsLeaveTheFileAsItWas() {
        QFETCH(QString, url);
        QFETCH(QString, title);
        QFETCH(int, serial);
        QFETCH(QStringList, messages);
        QFETCH(QString, focused);
        Form1Harness h;
        Form1Harness::WriteDataFile(h.defaultDataFile(),
                                    {MakeEntry(serial, u"http://a.jp/", u"一")});
        QVERIFY(h.load());
        auto before = ReadBytes(h.defaultDataFile());
        h.form().show();
        h.setFields(url, title);
        h.form().Command2->click();
        QStringList shown = h.takeMessages();
        QCOMPARE(shown.size(), messages.size());
        for (int i = 0; i < shown.size(); ++i) {
            QVERIFY2(shown[i].contains(messages[i]), qPrintable(shown[i]));
        }
        QCOMPARE(ReadBytes(h.defaultDataFile()), before);
        if (!focused.isEmpty()) {
            QCOMPARE(h.form().focusWidget()->objectName(), focused);
        }
    }

    void updatingAScrolledListRestoresTopLineAndSelection() {
        Form1Harness h;
        Form1Harness::WriteDataFile(h.defaultDataFile(), Numbered(80, u"共通"));
        QVERIFY(h.load());
        h.form().show();
        h.form().Text4->setText("共通");
        h.form().Command1->click();
        QCoreApplication::processEvents(); // the user scrolls a list already laid out
        h.form().List1->verticalScrollBar()->setValue(30);
        h.form().List1->setCurrentRow(33);
        h.form().Text2->setText("書き換えた題");
        h.form().Command2->click();
        QCOMPARE(h.takeMessages(), QStringList{"更新しました"});
        QCOMPARE(h.form().List1->verticalScrollBar()->value(), 30);
        QCOMPARE(h.form().List1->currentRow(), 33);
        QCOMPARE(h.form().List1->item(33)->text(), QString("[00034]:書き換えた題"));
        std::vector<Entry> stored = Form1Harness::ReadLiveEntries(h.defaultDataFile());
        QVERIFY(stored[33].title == u"書き換えた題" && stored[32].title == u"ページ33");
    }

    void updatingAnEntryDeletedMeanwhileSaysSo() {
        Form1Harness h;
        Form1Harness::WriteDataFile(h.defaultDataFile(), Numbered(2));
        QVERIFY(h.load());
        h.form().Command1->click();
        h.form().List1->setCurrentRow(1);
        Form1Harness::WriteDataFile(h.defaultDataFile(), Numbered(1)); // another program
        auto before = ReadBytes(h.defaultDataFile());
        h.form().Command2->click();
        QCOMPARE(h.takeMessages(), QStringList{"更新するデータがデータファイルにありません"});
        QCOMPARE(ReadBytes(h.defaultDataFile()), before);
    }

    void clearEmptiesEditorListAndCountButKeepsThePath() {
        Form1Harness h;
        Form1Harness::WriteDataFile(h.defaultDataFile(), Numbered(3));
        QVERIFY(h.load());
        h.form().Text2->setText("nothing");
        h.form().Command1->click();
        QCOMPARE(h.takeMessages(), QStringList{"見つかりません"});
        QCOMPARE(h.form().Label8->text(), QString("0件 ヒットしました"));
        h.form().Text2->clear();
        h.form().Command1->click();
        h.form().List1->setCurrentRow(1);
        QString path = h.form().Text6->text();
        h.form().Command4->click();
        QCOMPARE(h.form().List1->count(), 0);
        for (QLineEdit* field : {h.form().Text1, h.form().Text2, h.form().Text3, h.form().Text4}) {
            QVERIFY(field->text().isEmpty());
        }
        QVERIFY(h.form().Text5->toPlainText().isEmpty() && h.form().Label8->text().isEmpty());
        QCOMPARE(h.form().Text6->text(), path);
        QCOMPARE(h.form().Command2->text(), QString("登録"));
    }

    void overlongFieldsAreStoredCut() {
        Form1Harness h;
        QVERIFY(h.load());
        h.setFields(QString(3000, 'u'), QString(3000, QChar(0x984C)), QString(3000, 's'),
                    QString(3000, 'k'), QString(3000, 'c'));
        h.form().Command2->click();
        QCOMPARE(h.takeMessages(), QStringList{"登録しました"});
        Entry stored = Form1Harness::ReadLiveEntries(h.defaultDataFile()).at(0);
        QCOMPARE(
            (std::vector<size_t>{stored.url.size(), stored.title.size(), stored.subtitle.size(),
                                 stored.keywords.size(), stored.comment.size()}),
            (std::vector<size_t>{2000, 500, 500, 2000, 2000}));
    }

    void aSingleHitIsSelectedAgainAndADoubleClickOpensIt() {
        Form1Harness h;
        Form1Harness::WriteDataFile(h.defaultDataFile(), Numbered(3));
        QVERIFY(h.load());
        h.form().Command1->click();
        h.form().List1->setCurrentRow(2);
        h.form().Command1->click(); // the fields now name one entry
        QCOMPARE(h.form().List1->count(), 1);
        QCOMPARE(h.form().List1->currentRow(), 0);
        emit h.form().List1->itemDoubleClicked(h.form().List1->item(0));
        QCOMPARE(h.openedUrls(), std::vector<QString>{"http://example.jp/3"});
        h.form().Command4->click();
        h.form().Command3->click();
        QCOMPARE(h.takeMessages(), QStringList{"URLが指定されていません"});
    }
};

QTEST_MAIN(EditorTest)
#include "form1_editor_test.moc"
