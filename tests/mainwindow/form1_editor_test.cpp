// Register and update through the real main window.
#include "form1_harness.h"

#include <QScrollBar>

using namespace tomorine;
using namespace tomorine::test;

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
        const std::vector<Entry> stored = Form1Harness::ReadLiveEntries(h.defaultDataFile());
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
        QVERIFY(h.loadWith({MakeEntry(serial, u"http://a.jp/", u"一")}));
        const auto before = ReadBytes(h.defaultDataFile());
        h.form().show();
        h.setFields(url, title);
        h.form().Command2->click();
        const QStringList shown = h.takeMessages();
        QVERIFY2(ContainEach(shown, messages), qPrintable(shown.join(" | ")));
        QCOMPARE(ReadBytes(h.defaultDataFile()), before);
        if (!focused.isEmpty()) {
            QCOMPARE(h.form().focusWidget()->objectName(), focused);
        }
    }

    void updatingAScrolledListRestoresTopLineAndSelection() {
        Form1Harness h;
        QVERIFY(h.loadWith(Numbered(80)));
        h.form().show();
        h.search();
        QCoreApplication::processEvents(); // the user scrolls a list already laid out
        h.form().List1->verticalScrollBar()->setValue(30);
        h.form().List1->setCurrentRow(33);
        h.form().Text2->setText("書き換えた題");
        h.form().Command2->click();
        QCOMPARE(h.takeMessages(), QStringList{"更新しました"});
        QCOMPARE(h.form().List1->verticalScrollBar()->value(), 30);
        QCOMPARE(h.form().List1->currentRow(), 33);
        QCOMPARE(h.form().List1->item(33)->text(), QString("[00034]:書き換えた題"));
        const std::vector<Entry> stored = Form1Harness::ReadLiveEntries(h.defaultDataFile());
        QVERIFY(stored[33].title == u"書き換えた題" && stored[32].title == u"ページ33");
    }

    void updatingAnEntryDeletedMeanwhileSaysSo() {
        Form1Harness h;
        QVERIFY(h.loadWith(Numbered(2)));
        h.search();
        h.form().List1->setCurrentRow(1);
        Form1Harness::WriteDataFile(h.defaultDataFile(), Numbered(1)); // another program
        const auto before = ReadBytes(h.defaultDataFile());
        h.form().Command2->click();
        QCOMPARE(h.takeMessages(), QStringList{"更新するデータがデータファイルにありません"});
        QCOMPARE(ReadBytes(h.defaultDataFile()), before);
    }
};

QTEST_MAIN(EditorTest)
#include "form1_editor_test.moc"
