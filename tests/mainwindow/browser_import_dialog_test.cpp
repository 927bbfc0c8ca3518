// ブラウザ取込's dialog on a home folder with a Firefox profile built at run
// time, and a bookmark file chosen through the file chooser's seam.
#include "browser_files.h"
#include "main_window_harness.h"
#include "mainwindow/browser_import_dialog.h"
#include "mainwindow/file_chooser.h"
#include "store/data_connection.h"
#include "store/data_workbook.h"
#include "store/table/connection.h"
#include "store/xls/xls_file.h"

using namespace tomorine;
using namespace tomorine::test;

namespace {

namespace fs = std::filesystem;

class Fixture {
public:
    Fixture() {
        store.dataFilePath = dir / "d.xls";
        WriteXlsFile(NewDataWorkbook(), store.dataFilePath);
        const fs::path firefox = dir / "home" / ".mozilla" / "firefox";
        fs::create_directories(firefox / "p.default");
        WriteText(firefox / "profiles.ini",
                  "[Profile0]\nName=p\nIsRelative=1\nPath=p.default\nDefault=1\n");
        PlacesFile places(firefox / "p.default" / "places.sqlite");
        places.bookmark(PlacesFile::kMenu, "https://a.example/", "あ");
        places.bookmark(PlacesFile::kMenu, "javascript:void(0)", "js");
    }
    TempDir dir;
    StoreState store;
};

} // namespace

class BrowserImportDialogTest : public QObject {
    Q_OBJECT
private slots:
    void listsTheProfilesAndImportsTheChosenOne() {
        Fixture f;
        BrowserImportDialog dialog(f.store, f.dir / "home");
        dialog.show();
        QVERIFY(dialog.sourceList->item(0)->text().startsWith(QStringLiteral("Firefox: ")));
        dialog.sourceList->setCurrentRow(0);
        dialog.importButton->click();
        QCOMPARE(dialog.progressLabel->text(), QStringLiteral("完了"));
        QCOMPARE(MainWindowHarness::ReadLiveEntries(f.store.dataFilePath).size(), 1u);
    }

    void aBrokenFileIsShownAndNothingWritten() {
        Fixture f;
        WriteText(f.dir / "b.html", "<html>no list</html>");
        const auto before = ReadBytes(f.store.dataFilePath);
        BrowserImportDialog dialog(f.store, f.dir / "home");
        dialog.show();
        dialog.sourceList->setCurrentRow(1);
        MainWindowHarness seams; // records the chooser and the message boxes
        FileChooserSeam::queueAnswers({Q(f.dir / "b.html")});
        dialog.importButton->click();
        QCOMPARE(seams.takeShown().size(), size_t{1});
        QCOMPARE(ReadBytes(f.store.dataFilePath), before);
        QVERIFY(dialog.countsLabel->text().isEmpty());
    }
};

QTEST_MAIN(BrowserImportDialogTest)
#include "browser_import_dialog_test.moc"
