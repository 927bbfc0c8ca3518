// The main window's dialogs through the real window: each one's run and its
// failures. The page, the merge stages, the favorites walk and the bookmark
// files are their engines' tests' concern; here the dialogs show them.
#include "browser_files.h"
#include "favorites_tree.h"
#include "main_window_harness.h"
#include "mainwindow/browser_import_dialog.h"
#include "mainwindow/favorites_import_dialog.h"
#include "mainwindow/file_chooser.h"
#include "mainwindow/html_export_dialog.h"
#include "mainwindow/merge_dialog.h"
#include "mainwindow/qt_text.h"
#include "mainwindow/window_menu.h"
#include "merge/merge_messages.h"
#include "store/data_workbook.h"
#include "store/settings/cp932.h"
#include "store/settings/ini_functions.h"
#include "store/settings/settings_file.h"
#include "store/xls/xls_file.h"
#include "upgrade_fixture.h"

#include <QCheckBox>
#include <QTimer>
#include <limits>

using namespace tomorine;
using namespace tomorine::test;

namespace {

namespace fs = std::filesystem;

// Whether its controls and the close item are back.
template <typename Dialog>
bool Usable(Dialog& dialog) {
    return dialog.okButton->isEnabled() && !IsCloseRemoved(&dialog);
}

// A main window on a data file in a folder of its own (so that the two
// settings files differ), with three entries, after a search of all of them.
struct Searched {
    MainWindowHarness h;
    fs::path data = h.home().parent_path() / "データ" / "bm.xls";
    fs::path dataIni = data.parent_path() / "トモリネ.ini";
    fs::path page = h.home().parent_path() / "リスト.htm";

    Searched() {
        fs::create_directories(data.parent_path());
        WriteEntries(data, {MakeEntry(1, u"http://a.jp/", u"りんご", u"", u"甘い"),
                            MakeEntry(2, u"http://b.jp/", u"みかん", u"", u"酸っぱい"),
                            MakeEntry(3, u"http://c.jp/", u"りんご飴", u"", u"")});
        WriteIniString(h.appIni(), kSettingsSection, kDataFileKey, data.string());
    }
    // Loads, searches, picks the first line and opens the dialog.
    HtmlExportDialog& open() {
        if (!h.load() || h.search().size() != 3) {
            throw std::runtime_error("no search");
        }
        h.window().resultList->setCurrentRow(0);
        h.window().htmlExportButton->click();
        return *h.window().htmlExportDialog;
    }
};

// The main window on the default data file holding one entry, and the
// reference `ref/other.xls` holding it and one more.
struct MergeScene {
    MainWindowHarness h;
    fs::path reference = h.home() / "ref" / "other.xls";

    explicit MergeScene(std::int32_t serial = 3) {
        fs::create_directories(reference.parent_path());
        WriteEntries(reference,
                     {MakeEntry(1, u"http://a.jp/", u"元"), MakeEntry(2, u"http://b.jp/", u"新")});
        WriteIniString(h.appIni(), kSettingsSection, kReferFileKey, "/start/ref.xls");
        if (!h.loadWith({MakeEntry(serial, u"http://a.jp/", u"元")})) {
            throw std::runtime_error("no start");
        }
    }
    MergeDialog& open(const QString& path) {
        h.window().mergeButton->click();
        h.window().mergeDialog->pathField->setText(path);
        return *h.window().mergeDialog;
    }
};

// A new data file, and a home folder with a Firefox profile built at run time.
struct FirefoxHome {
    FirefoxHome() {
        store.dataFilePath = dir / "d.xls";
        WriteXlsFile(NewDataWorkbook(), store.dataFilePath);
        PlacesFile places(DefaultFirefoxProfile(dir / "home", "p.default") / "places.sqlite");
        places.bookmark(PlacesFile::kMenu, "https://a.example/", "あ");
    }
    TempDir dir;
    StoreState store;
};

} // namespace

class DialogsTest : public QObject {
    Q_OBJECT
private slots:
    void initTestCase() { FavoritesImportDialog::setStartWaitMilliseconds(0); }

    void htmlExportStoresTheSettingsWritesThePageAndSaysSo() {
        Searched s;
        HtmlExportDialog& dialog = s.open();
        dialog.pathField->setText(Q(s.page));
        dialog.commentsBox->setChecked(true);
        dialog.okButton->click();

        QCOMPARE(s.h.takeMessages(), QStringList{"作成完了"});
        QCOMPARE(dialog.statusLabel->text(), QStringLiteral("作成完了 1件"));
        QVERIFY(!dialog.isVisible() && Usable(dialog));
        for (const fs::path& ini : {s.h.appIni(), s.dataIni}) {
            QCOMPARE(Setting(ini, kCommentOutputKey), std::string("1"));
            QCOMPARE(Setting(ini, kOutputFileKey), s.page.string());
        }
        // Picking the line filled the fields with entry 1, which alone matches them now.
        const auto bytes = ReadBytes(s.page);
        const std::string page = Cp932ToUtf8(std::string(bytes.begin(), bytes.end()));
        QVERIFY(page.find(">甘い</td>") != std::string::npos);
        QVERIFY(page.find("りんご飴") == std::string::npos);
        // An edit closed with × is not confirmed: neither shown again nor stored.
        s.h.window().htmlExportButton->click();
        dialog.pathField->setText("/未確定.htm");
        dialog.close();
        QCOMPARE(dialog.pathField->text(), Q(s.page));
        s.h.window().close();
        QCOMPARE(Setting(s.dataIni, kOutputFileKey), s.page.string());
    }

    // A page that cannot be written: its reason, the dialog stays open with
    // its controls and close box back, and nothing is written.
    void htmlExportFailureIsShownAndTheDialogComesBack_data() {
        QTest::addColumn<QString>("target"); // below the test's folder
        QTest::addColumn<QString>("message");
        QTest::addColumn<int>("style");
        QTest::newRow("no path") << QString() << QString("ファイルパスを指定してください") << 0;
        QTest::newRow("a folder") << QString("フォルダ.htm") << QString("フォルダ.htm") << 16;
    }
    void htmlExportFailureIsShownAndTheDialogComesBack() {
        QFETCH(QString, target);
        QFETCH(QString, message);
        QFETCH(int, style);
        Searched s;
        HtmlExportDialog& dialog = s.open();
        const fs::path folder = s.h.home().parent_path() / "フォルダ.htm";
        fs::create_directory(folder);
        dialog.pathField->setText(target.isEmpty() ? QString()
                                                   : Q(folder.parent_path()) + "/" + target);
        dialog.okButton->click();
        const auto shown = s.h.takeShown();
        QCOMPARE(shown.size(), 1u);
        QVERIFY2(shown[0].text.contains(message), qPrintable(shown[0].text));
        QCOMPARE(shown[0].style, style);
        QVERIFY(dialog.isVisible() && Usable(dialog));
        QVERIFY(fs::is_empty(folder));
        if (target.isEmpty()) {
            QCOMPARE(Setting(s.dataIni, kOutputFileKey), std::string("<missing>"));
        }
    }

    void mergeAddsTheNewEntries() {
        MergeScene s;
        MergeDialog& dialog = s.open(Q(s.reference));

        dialog.okButton->click();
        QCOMPARE(s.h.takeMessages(), QStringList{ToQString(MergeMessages::Done)});
        QCOMPARE(MainWindowHarness::ReadLiveEntries(s.h.defaultDataFile()).size(), 2u);
        QCOMPARE(Setting(s.h.appIni(), kReferFileKey), s.reference.string());
        QVERIFY(dialog.isHidden());
        QCOMPARE(dialog.statusLabel->text(), QStringLiteral("マージ完了 1件"));

        dialog.okButton->click(); // again: nothing new, still done
        QCOMPARE(s.h.takeMessages(), QStringList{ToQString(MergeMessages::Done)});
        QCOMPARE(dialog.statusLabel->text(), QStringLiteral("マージ完了 0件"));
        // An edit closed with × is not confirmed: neither shown again nor stored.
        dialog.pathField->setText("/未確定.xls");
        dialog.close();
        QCOMPARE(dialog.pathField->text(), Q(s.reference));
        WriteBytes(s.h.defaultDataFile(), {'x'}); // unreadable: the dialog unloads
        dialog.okButton->click();
        s.h.window().mergeButton->click();
        QCOMPARE(s.h.window().mergeDialog->pathField->text(), Q(s.reference));
        s.h.window().close();
        QCOMPARE(Setting(s.h.appIni(), kReferFileKey), s.reference.string());
    }

    // Refused before any work (the checks themselves are the merge engine's
    // tests' concern), or failed during it: the data file as it was, and a
    // dialog left open usable again.
    void mergeRefusalsAndFailures_data() {
        QTest::addColumn<QString>("reference"); // "old": of the old layout; "full": no serial left
        QTest::addColumn<QStringList>("messages"); // the shown ones, each containing its text
        QTest::addColumn<bool>("hidden");          // the dialog put back to its start-up path
        const QString old = ToQString(MergeMessages::OldVersion);
        QTest::newRow("same name") << "/elsewhere/トモリネ.xls"
                                   << QStringList{ToQString(MergeMessages::SameFileName)} << true;
        QTest::newRow("old layout") << "old" << QStringList{old} << false;
        // Its own reason only: a missing file is not of an older layout.
        QTest::newRow("unreadable") << "/nowhere/ない.xls" << QStringList{"ない.xls"} << false;
        QTest::newRow("failed") << "full"
                                << QStringList{"シリアル番号", ToQString(MergeMessages::Failed)}
                                << false;
    }
    void mergeRefusalsAndFailures() {
        QFETCH(QString, reference);
        QFETCH(QStringList, messages);
        QFETCH(bool, hidden);
        const bool ran = reference == "full"; // past the checks: the path is recorded
        MergeScene s(ran ? std::numeric_limits<std::int32_t>::max() : 3);
        const auto before = ReadBytes(s.h.defaultDataFile());
        if (reference == "old") {
            WriteXlsFile(OldDataWorkbook(OldRows(2)), s.reference);
        }
        if (reference == "old" || ran) {
            reference = Q(s.reference);
        }
        MergeDialog& dialog = s.open(reference);
        dialog.okButton->click();
        const QStringList shown = s.h.takeMessages();
        QVERIFY2(ContainEach(shown, messages), qPrintable(shown.join(" | ")));
        QCOMPARE(dialog.isHidden(), hidden);
        QVERIFY(hidden || Usable(dialog));
        QCOMPARE(dialog.pathField->text(), hidden ? QString("/start/ref.xls") : reference);
        s.h.window().close(); // a refused path is not recorded, nor at shutdown
        QCOMPARE(Setting(s.h.appIni(), kReferFileKey),
                 ran ? s.reference.string() : "/start/ref.xls");
        QCOMPARE(ReadBytes(s.h.defaultDataFile()), before);
    }

    // A copy that arrives with a reload of the data file is offered once,
    // with what the merge does; the unreadable one is named and left.
    void conflictCopiesAreOfferedOnceAfterAReload() {
        MergeScene s;
        QCOMPARE(s.h.search().size(), 1);
        const fs::path copy = s.h.home() / "トモリネ (conflicted copy 2026-12-06 134501).xls";
        const fs::path broken = s.h.home() / "トモリネ.sync-conflict-20261206-134501-ABCDEF1.xls";
        fs::copy_file(s.reference, copy);
        WriteBytes(broken, {1, 2, 3});
        WriteEntries(s.h.defaultDataFile(), {MakeEntry(3, u"http://a.jp/", u"元")});

        std::vector<MessageBoxSeam::Shown> shown;
        QTRY_VERIFY(
            (std::ranges::move(s.h.takeShown(), std::back_inserter(shown)), shown.size() >= 2));
        QCOMPARE(shown[0].style, MessageStyle::OkCancel);
        QVERIFY(
            shown[0].text.contains(Q(copy.filename()) + " (エントリー 2 件、追加されるもの 1 件)"));
        QVERIFY(shown[0].text.contains(Q(broken.filename()) + "\n    マージできません: "));
        QCOMPARE(shown[1].text, ToQString(MergeMessages::Done));
        QCOMPARE(s.h.listLines().size(), 2);
        QVERIFY(fs::exists(s.h.home() / "conflicts" / copy.filename()) && fs::exists(broken));

        WriteBytes(s.h.home() / "other.txt", {1});
        QTest::qWait(600);
        QVERIFY(s.h.takeShown().empty());
    }

    // While the modal import window is up: what it shows once the import has
    // ended, and a line clicked after it (a.b.url, then empty.url, which
    // leaves the labels), then OK until it closes.
    void favoritesImportShowsTheSummary() {
        MainWindowHarness h;
        FavoritesTree tree(h.home() / "Favorites");
        WriteIniString(h.appIni(), kSettingsSection, "FAVORITES", tree.root().string());
        QVERIFY(h.loadWith(FavoritesTree::Registered()));
        FavoritesImportDialog& f = *h.window().favoritesImportDialog;
        QString status;
        QStringList labels, clicked;
        bool resultsVisible = false;
        QTimer::singleShot(0, [&] {
            (void)QTest::qWaitFor([&] { return f.isVisible() && !f.statusText().isEmpty(); },
                                  20000);
            status = f.statusText();
            for (QLabel* label : {f.foundCountLabel, f.registeredCountLabel, f.existingCountLabel,
                                  f.failedCountLabel, f.unreadableNotice, f.namesTooLongNotice,
                                  f.noTargetsNotice}) {
                labels << label->text();
            }
            resultsVisible = f.foundCountLabel->isVisible() && f.failedHeading->isVisible();
            for (int row : {0, 2}) {
                f.fileList->setCurrentRow(row);
                f.fileSelected();
                clicked << f.favoriteNameLabel->text() + " " + f.favoriteUrlLabel->text();
            }
            QTest::keyClick(f.fileList, Qt::Key_Escape); // as OK
            QVERIFY(!f.isVisible());
        });
        h.window().favoritesImportButton->click();
        QCOMPARE(clicked, (QStringList{"a.b http://example.jp/ab", "a.b http://example.jp/ab"}));
        QCOMPARE(h.window().favoritesImportDialog->shortcutCounters().shortcutErrorCount,
                 FavoritesTree::kFailed + 1);
        QCOMPARE(status, QString("完了"));
        QCOMPARE(labels, (QStringList{"    8", "    4", "    2", "    2",
                                      "2個の\"URLが取得できないお気に入り\"がありました",
                                      "お気に入り名称が長すぎるものがあるようです",
                                      "URLが未指定のものがあるようです（1件、最初は empty.url）"}));
        QVERIFY(resultsVisible && !f.isVisible());
        QCOMPARE(h.takeMessages(), QStringList());
    }

    void browserImportListsTheProfilesAndImportsTheChosenOne() {
        FirefoxHome f;
        BrowserImportDialog dialog(f.store, f.dir / "home");
        dialog.show();
        QVERIFY(dialog.sourceList->item(0)->text().startsWith(QStringLiteral("Firefox: ")));
        dialog.sourceList->setCurrentRow(0);
        dialog.importButton->click();
        QCOMPARE(dialog.progressLabel->text(), QStringLiteral("完了"));
        QCOMPARE(MainWindowHarness::ReadLiveEntries(f.store.dataFilePath).size(), 1u);
    }

    void browserImportShowsABrokenFileAndWritesNothing() {
        FirefoxHome f;
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

QTEST_MAIN(DialogsTest)
#include "main_window_dialogs_test.moc"
