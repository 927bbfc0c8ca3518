// お気に入りインポート through the real main window and its import window.
// The walk, the duplicate rule and the counts are the favorites engine's
// tests' concern; here the window shows them.
#include "favorites_tree.h"
#include "form1_harness.h"
#include "mainwindow/form5.h"
#include "store/settings/ini_functions.h"
#include "store/settings/settings_file.h"

#include <QTimer>

using namespace tomorine;
using namespace tomorine::test;

class Form5Test : public QObject {
    Q_OBJECT
private slots:
    void init() { Form5::SetStartWaitMilliseconds(0); }

    // While the modal import window is up: what it shows once the import has
    // ended, and a line clicked after it (a.b.url, then empty.url, which
    // leaves the labels), then OK until it closes.
    void importsTheTreeAndShowsTheSummary() {
        Form1Harness h;
        FavoritesTree tree(h.home() / "Favorites");
        WriteIniString(h.appIni(), kSettingsSection, "FAVORITES", tree.root().string());
        QVERIFY(h.loadWith(FavoritesTree::Registered()));
        Form5& f = *h.form().form5;
        QString status;
        QStringList labels, list, clicked;
        bool resultsVisible = false;
        QTimer::singleShot(0, [&] {
            (void)QTest::qWaitFor([&] { return f.isVisible() && !f.statusText().isEmpty(); },
                                  20000);
            status = f.statusText();
            for (QLabel* label :
                 {f.Label3, f.Label4, f.Label5, f.Label6, f.Label7, f.Label8, f.Label9}) {
                labels << label->text();
            }
            for (int i = 0; i < f.List1->count(); ++i) {
                list << f.List1->item(i)->text();
            }
            resultsVisible = f.Label3->isVisible() && f.Label16->isVisible();
            for (int row : {0, 2}) {
                f.List1->setCurrentRow(row);
                f.List1_Click();
                clicked << f.Label2->text() + " " + f.Label1->text();
            }
            QTest::keyClick(f.List1, Qt::Key_Escape); // as OK
            QVERIFY(!f.isVisible());
        });
        h.form().Command13->click();
        QCOMPARE(clicked, (QStringList{"a.b http://example.jp/ab", "a.b http://example.jp/ab"}));
        QCOMPARE(h.state().ShortcutErrorCount, FavoritesTree::kFailed + 1);
        QCOMPARE(status, QString("完了"));
        QStringList expected;
        for (const auto& path : tree.expectedList()) {
            expected << Q(path);
        }
        QCOMPARE(list, expected);
        QCOMPARE(labels, (QStringList{"    8", "    4", "    2", "    2",
                                      "2個の\"URLが取得できないお気に入り\"がありました",
                                      "お気に入り名称が長すぎるものがあるようです",
                                      "URLが未指定のものがあるようです（1件、最初は empty.url）"}));
        QVERIFY(resultsVisible && !f.isVisible());
        const std::vector<Entry> rows = Form1Harness::ReadLiveEntries(h.defaultDataFile());
        QCOMPARE(rows.size(), 5u);
        QVERIFY(rows[1].url == FavoritesTree::Added()[0].url);
        QCOMPARE(h.takeMessages(), QStringList());
    }
};

QTEST_MAIN(Form5Test)
#include "form5_test.moc"
