// The conversion of an old workbook at start-up, and the OK command's re-save.
#include "form1_harness.h"
#include "store/xls/xls_file.h"
#include "upgrade/backup.h"
#include "upgrade_fixture.h"

using namespace tomorine;
using namespace tomorine::test;

class ConversionTest : public QObject {
    Q_OBJECT
private slots:
    void anOldWorkbookIsConvertedWithProgress() {
        Form1Harness h;
        WriteXlsFile(OldDataWorkbook(OldRows(250)), h.defaultDataFile());
        const auto original = ReadBytes(h.defaultDataFile());
        QVERIFY(h.load());
        const auto shown = h.takeShown();
        QCOMPARE(shown.size(), 2u);
        QCOMPARE(shown[0].style, MessageStyle::OkCancelExclamation);
        QVERIFY(shown[0].text.startsWith("データバージョンが違います。"));
        QCOMPARE(shown[1].text, QString("終了しました"));
        QVERIFY(h.form().Command1->isEnabled());
        QCOMPARE(ReadBytes(BackupFilePath(h.defaultDataFile())), original);

        h.form().Text1->setText("https://example.jp/17");
        QCOMPARE(h.search(), QStringList{"[00017]:献立 その17"});
    }

    void okReSavesAChangedWorkbookOverALeftoverTemporaryFile() {
        Form1Harness h;
        QVERIFY(h.load());
        h.setFields("http://a.jp/", "題");
        h.form().Command2->click();
        const auto leftover = h.home() / "bk_axbyczd0_トモリネ.xls";
        WriteBytes(leftover, {'o', 'l', 'd'});
        h.form().Command5->click();
        QVERIFY(!std::filesystem::exists(leftover));
        QCOMPARE(Form1Harness::ReadLiveEntries(h.defaultDataFile()).size(), 1u);
        QCOMPARE(h.takeMessages(), QStringList{"登録しました"});
    }
};

QTEST_MAIN(ConversionTest)
#include "form1_conversion_test.moc"
