// The version check at start-up with Form7, and the OK command's re-save.
#include "form1_harness.h"
#include "mainwindow/form7.h"
#include "mainwindow/window_menu.h"
#include "store/xls/xls_file.h"
#include "upgrade/backup.h"
#include "upgrade_fixture.h"

#include <QWindow>

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
        QCOMPARE(h.form().form7->Label4->text(), QString("100 %"));
        QCOMPARE(h.form().form7->Label3->width(), h.form().form7->Label2->width());
        QVERIFY(!h.form().form7->isVisible());
        QVERIFY(h.form().Command1->isEnabled());
        QCOMPARE(ReadBytes(BackupFilePath(h.defaultDataFile())), original);

        h.form().Text1->setText("https://example.jp/17");
        QCOMPARE(h.search(), QStringList{"[00017]:献立 その17"});
    }

    // Size and close items off: a user's close is ignored until the default
    // menu is back, and then asks to cancel.
    void theProgressWindowShowsPercentAndTakesAUserCloseAsCancel() {
        UpgradeState state;
        Form7 form7(state);
        form7.setPercent(42);
        QCOMPARE(form7.Label4->text(), QString("42 %"));
        QCOMPARE(form7.Label3->width(), 42 * form7.Label2->width() / 100);

        form7.show();
        const Qt::WindowFlags defaults = form7.windowFlags();
        RemoveSystemMenuItem(&form7, 2);
        RemoveSystemMenuItem(&form7, 5);
        form7.windowHandle()->close(); // the user, through the window system
        QVERIFY(form7.isVisible());
        QVERIFY(!state.ConversionCancelRequested);

        RemoveSystemMenuItem(&form7, 0, true);
        QCOMPARE(form7.windowFlags(), defaults);
        form7.windowHandle()->close();
        QVERIFY(!form7.isVisible());
        QVERIFY(state.ConversionCancelRequested);
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
