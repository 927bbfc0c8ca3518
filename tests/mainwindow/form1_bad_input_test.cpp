// Bad input through the real main window: the promised messages, and the
// data file as it was.
#include "form1_harness.h"

#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QTest>
#include <sys/stat.h>
#include <unistd.h>

using namespace tomorine;
using namespace tomorine::test;

class BadInputTest : public QObject {
    Q_OBJECT
private slots:
    void aDataFileThatIsNotAWorkbook() {
        Form1Harness h;
        QVERIFY(h.load());
        auto bad = h.home() / "bad.xls";
        const std::vector<std::uint8_t> junk{'<', 'h', 't', 'm', 'l', '>'};
        WriteBytes(bad, junk);
        h.form().Text6->setText(QString::fromStdString(bad.string()));

        h.form().Command1->click();
        QStringList search = h.takeMessages();
        QCOMPARE(search.size(), 2);
        QVERIFY(search[0].contains(QString::fromStdString(bad.string())));
        QCOMPARE(search[1], QString("キー指定に誤りがあります"));

        h.setFields("http://a.jp/", "題");
        h.form().Command2->click();
        QStringList add = h.takeMessages();
        QCOMPARE(add.size(), 2);
        QVERIFY(add[0].contains(QString::fromStdString(bad.string())));
        QCOMPARE(add[1], QString("データに誤りがあります"));
        QCOMPARE(ReadBytes(bad), junk);
    }

    void aDataFileInAMissingFolder() {
        Form1Harness h;
        QVERIFY(h.load());
        auto missing = h.home() / "gone" / "x.xls";
        h.form().Text6->setText(QString::fromStdString(missing.string()));
        h.form().Command1->click();
        QCOMPARE(h.takeMessages(), QStringList{"データファイルがありません"});
        h.setFields("http://a.jp/", "題");
        h.form().Command2->click();
        QStringList add = h.takeMessages();
        QCOMPARE(add.size(), 2);
        QCOMPARE(add[1], QString("データに誤りがあります"));
        QVERIFY(!std::filesystem::exists(h.home() / "gone"));
    }

    // Needs permission bits to hold: ctest runs it once more as an
    // unprivileged user when the tests run as root.
    void aReadOnlyDataFileIsLeftAsItWas() {
        if (geteuid() == 0) {
            QSKIP("root ignores permission bits");
        }
        Form1Harness h;
        Form1Harness::WriteDataFile(h.defaultDataFile(), {MakeEntry(1, u"http://a.jp/", u"一")});
        ::chmod(h.defaultDataFile().c_str(), 0444);
        auto before = ReadBytes(h.defaultDataFile());
        QVERIFY(h.load());
        h.form().Command1->click();
        QCOMPARE(h.listLines(), QStringList{"[00001]:一"});
        h.form().Command4->click();
        h.setFields("http://b.jp/", "二");
        h.form().Command2->click();
        QStringList add = h.takeMessages();
        QCOMPARE(add.size(), 2);
        QCOMPARE(add[1], QString("データに誤りがあります"));
        QCOMPARE(ReadBytes(h.defaultDataFile()), before);
    }
};

QTEST_MAIN(BadInputTest)
#include "form1_bad_input_test.moc"
