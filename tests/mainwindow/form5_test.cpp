// お気に入りインポート through the real main window and its import window.
// The walk, the duplicate rule and the counts are the favorites engine's
// tests' concern; here the window shows them.
#include "favorites_tree.h"
#include "form1_harness.h"
#include "mainwindow/file_chooser.h"
#include "mainwindow/form5.h"
#include "mainwindow/window_menu.h"
#include "store/settings/ini_functions.h"
#include "store/settings/settings_file.h"

#include <QTimer>
#include <cstdlib>
#include <functional>

using namespace tomorine;
using namespace tomorine::test;

namespace {

// What the import window showed when it had finished.
struct Seen {
    QString status;
    QStringList list;
    QStringList counts;  // Label3 ... Label6
    QStringList notices; // Label7 ... Label9
    bool resultsVisible = false;
};

Seen Look(Form5& f) {
    Seen s{f.statusText(),
           {},
           {f.Label3->text(), f.Label4->text(), f.Label5->text(), f.Label6->text()},
           {f.Label7->text(), f.Label8->text(), f.Label9->text()},
           f.Label3->isVisible() && f.Label16->isVisible()};
    for (int i = 0; i < f.List1->count(); ++i) {
        s.list << f.List1->item(i)->text();
    }
    return s;
}

// A main window whose HOME is the test's, so that no real ~/Favorites is
// found; with `tree`, FAVORITES names a built Favorites tree.
struct Scene {
    Form1Harness h;
    std::string oldHome = std::getenv("HOME") != nullptr ? std::getenv("HOME") : "";
    std::unique_ptr<FavoritesTree> tree;

    explicit Scene(bool withTree) {
        std::filesystem::create_directories(h.home() / "user");
        setenv("HOME", (h.home() / "user").c_str(), 1);
        if (withTree) {
            tree = std::make_unique<FavoritesTree>(h.home() / "Favorites");
            WriteIniString(h.appIni(), kSettingsSection, "FAVORITES", tree->root().string());
        }
    }
    ~Scene() { setenv("HOME", oldHome.c_str(), 1); }

    // Presses お気に入りインポート; while the modal import window is up,
    // `during` runs once the import has ended, then OK is pressed until the
    // window closes.
    void runImport(const std::function<void(Form5&)>& during) {
        Form5& f = *h.form().form5;
        QTimer::singleShot(0, [&] {
            (void)QTest::qWaitFor([&] { return f.isVisible() && !f.statusText().isEmpty(); },
                                  20000);
            during(f);
            for (int i = 0; i < 3 && f.isVisible(); ++i) {
                f.Command2->click();
            }
        });
        h.form().Command13->click();
    }
};

} // namespace

class Form5Test : public QObject {
    Q_OBJECT
private slots:
    void init() { Form5::SetStartWaitMilliseconds(0); }

    void importsTheTreeAndShowsTheSummary() {
        Scene s(true);
        QVERIFY(s.h.loadWith(FavoritesTree::Registered()));
        s.h.setFields("http://old.jp/", "古い");
        QVERIFY(!(s.h.form().form5->windowFlags() & Qt::WindowMaximizeButtonHint)); // fixed
        Seen seen;
        QString percent;
        bool barFull = false, closeRemoved = false;
        QStringList clicked; // a line clicked after the import shows that favorite again
        s.runImport([&](Form5& f) {
            seen = Look(f);
            percent = f.Label22->text();
            barFull = f.Label21->width() == f.Label20->width();
            closeRemoved = IsCloseRemoved(&f);
            for (int row : {0, 2}) { // a.b.url, then empty.url, which leaves the labels
                f.List1->setCurrentRow(row);
                f.List1_Click();
                clicked << f.Label2->text() + " " + f.Label1->text();
            }
        });
        QCOMPARE(clicked, (QStringList{"a.b http://example.jp/ab", "a.b http://example.jp/ab"}));
        QCOMPARE(s.h.state().ShortcutErrorCount, FavoritesTree::kFailed + 1);
        QCOMPARE(seen.status, QString("完了"));
        QStringList expected;
        for (const auto& path : s.tree->expectedList()) {
            expected << Q(path);
        }
        QCOMPARE(seen.list, expected);
        QCOMPARE(seen.counts, (QStringList{"    8", "    4", "    2", "    2"}));
        QCOMPARE(seen.notices, (QStringList{"2個の\"URLが取得できないお気に入り\"がありました",
                                            "お気に入り名称が長すぎるものがあるようです",
                                            "URLが未指定のものがあるようです"}));
        QVERIFY(seen.resultsVisible && barFull && closeRemoved);
        QCOMPARE(percent, QString("100 %"));
        QVERIFY(!s.h.form().form5->isVisible());
        QVERIFY(s.h.form().Text1->text().isEmpty()); // the editor was cleared first
        QCOMPARE(s.h.form().Command2->text(), QString("登録"));
        const std::vector<Entry> rows = Form1Harness::ReadLiveEntries(s.h.defaultDataFile());
        QCOMPARE(rows.size(), 5u);
        QVERIFY(rows[1].url == FavoritesTree::Added()[0].url);
        QCOMPARE(s.h.takeMessages(), QStringList());
    }

    void okStopsAfterTheCurrentFileWithoutSummary() {
        Scene s(true);
        QVERIFY(s.h.loadWith(FavoritesTree::Registered()));
        Form5& f = *s.h.form().form5;
        // The press lands while the second file is being read.
        QObject::connect(f.List1->model(), &QAbstractItemModel::rowsInserted, &f, [&] {
            if (f.List1->count() == 2) {
                f.Command2->click();
            }
        });
        Seen seen;
        bool stillOpen = false;
        s.runImport([&](Form5& shown) {
            seen = Look(shown);
            stillOpen = shown.isVisible();
        });
        QCOMPARE(seen.status, QString("中止"));
        QCOMPARE(seen.list.size(), 2);
        QVERIFY(!seen.resultsVisible);
        QVERIFY(stillOpen); // the press only asked for the stop
        QCOMPARE(Form1Harness::ReadLiveEntries(s.h.defaultDataFile()).size(), 3u);
    }

    void aMissingFolderMayBeChosenAndIsRemembered() {
        Scene s(false);
        QVERIFY(s.h.loadWith({}));
        Seen cancelled; // the import ends, the window waits for OK
        s.runImport([&](Form5& f) { cancelled = Look(f); });
        QCOMPARE(s.h.takeMessages(), QStringList{"お気に入りパスが見つかりません"});
        QCOMPARE(FileChooserSeam::asked().back().title,
                 QString("お気に入りフォルダを選んでください"));
        QCOMPARE(cancelled.status, QString("読み込み中"));
        QVERIFY(!cancelled.resultsVisible);

        FavoritesTree tree(s.h.home() / "選んだ");
        FileChooserSeam::queueAnswers({Q(tree.root())});
        Seen chosen;
        s.runImport([&](Form5& f) { chosen = Look(f); });
        QCOMPARE(chosen.status, QString("完了"));
        QCOMPARE(chosen.counts.first(), QString("    8"));
        QCOMPARE(ReadIniString(s.h.appIni(), kSettingsSection, "FAVORITES", "", 4096),
                 tree.root().string());
        s.h.takeMessages();
        s.runImport([](Form5&) {}); // remembered: nothing asked
        QCOMPARE(s.h.takeMessages(), QStringList());
    }
};

QTEST_MAIN(Form5Test)
#include "form5_test.moc"
