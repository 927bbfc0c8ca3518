// お気に入りインポート through the real main window and its import window.
// The walk, the duplicate rule and the counts are the favorites engine's
// tests' concern; here the window shows them.
#include "favorites_tree.h"
#include "form1_harness.h"
#include "mainwindow/form5.h"
#include "store/settings/ini_functions.h"
#include "store/settings/settings_file.h"

#include <QTimer>
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

// A main window whose FAVORITES names a built Favorites tree.
struct Scene {
    Form1Harness h;
    std::unique_ptr<FavoritesTree> tree = std::make_unique<FavoritesTree>(h.home() / "Favorites");

    Scene() { WriteIniString(h.appIni(), kSettingsSection, "FAVORITES", tree->root().string()); }

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
        Scene s;
        QVERIFY(s.h.loadWith(FavoritesTree::Registered()));
        s.h.setFields("http://old.jp/", "古い");
        Seen seen;
        QStringList clicked; // a line clicked after the import shows that favorite again
        s.runImport([&](Form5& f) {
            seen = Look(f);
            for (int row : {0, 2}) { // a.b.url, then empty.url, which leaves the labels
                f.List1->setCurrentRow(row);
                f.List1_Click();
                clicked << f.Label2->text() + " " + f.Label1->text();
            }
            QTest::keyClick(f.List1, Qt::Key_Escape); // as OK
            QVERIFY(!f.isVisible());
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
        QCOMPARE(seen.notices,
                 (QStringList{"2個の\"URLが取得できないお気に入り\"がありました",
                              "お気に入り名称が長すぎるものがあるようです",
                              "URLが未指定のものがあるようです（1件、最初は empty.url）"}));
        QVERIFY(seen.resultsVisible && !s.h.form().form5->isVisible());
        const std::vector<Entry> rows = Form1Harness::ReadLiveEntries(s.h.defaultDataFile());
        QCOMPARE(rows.size(), 5u);
        QVERIFY(rows[1].url == FavoritesTree::Added()[0].url);
        QCOMPARE(s.h.takeMessages(), QStringList());
    }
};

QTEST_MAIN(Form5Test)
#include "form5_test.moc"
