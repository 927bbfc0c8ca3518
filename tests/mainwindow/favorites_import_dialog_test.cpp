// お気に入りインポート through the real main window and its import window.
// The walk, the duplicate rule and the counts are the favorites engine's
// tests' concern; here the window shows them.
#include "favorites_tree.h"
#include "main_window_harness.h"
#include "mainwindow/favorites_import_dialog.h"
#include "store/settings/ini_functions.h"
#include "store/settings/settings_file.h"

#include <QTimer>

using namespace tomorine;
using namespace tomorine::test;

class FavoritesImportDialogTest : public QObject {
    Q_OBJECT
private slots:
    void init() { FavoritesImportDialog::setStartWaitMilliseconds(0); }

    // While the modal import window is up: what it shows once the import has
    // ended, and a line clicked after it (a.b.url, then empty.url, which
    // leaves the labels), then OK until it closes.
    void importsTheTreeAndShowsTheSummary() {
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
        const std::vector<Entry> rows = MainWindowHarness::ReadLiveEntries(h.defaultDataFile());
        QCOMPARE(rows.size(), 5u);
        QVERIFY(rows[1].url == FavoritesTree::Added()[0].url);
        QCOMPARE(h.takeMessages(), QStringList());
    }
};

QTEST_MAIN(FavoritesImportDialogTest)
#include "favorites_import_dialog_test.moc"
