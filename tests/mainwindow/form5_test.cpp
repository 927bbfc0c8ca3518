// お気に入りインポート through the real main window and its import window.
#include "favorites_tree.h"
#include "form1_harness.h"
#include "mainwindow/file_chooser.h"
#include "mainwindow/form5.h"
#include "mainwindow/window_menu.h"
#include "store/settings/ini_functions.h"
#include "store/settings/settings_file.h"

#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QTest>
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
    QString percent;
    int barWidth = -1, trackWidth = 0;
    bool closeRemoved = false;
};

Seen Look(Form5& f) {
    Seen s;
    s.status = f.statusText();
    for (int i = 0; i < f.List1->count(); ++i) {
        s.list << f.List1->item(i)->text();
    }
    s.counts = {f.Label3->text(), f.Label4->text(), f.Label5->text(), f.Label6->text()};
    s.notices = {f.Label7->text(), f.Label8->text(), f.Label9->text()};
    s.resultsVisible = f.Label3->isVisible() && f.Label16->isVisible();
    s.percent = f.Label22->text();
    s.barWidth = f.Label21->width();
    s.trackWidth = f.Label20->width();
    s.closeRemoved = IsCloseRemoved(&f);
    return s;
}

QString Q(const std::filesystem::path& path) {
    return QString::fromStdString(path.string());
}

// The home folder of the test, so that no real ~/Favorites is found.
class HomeFolder {
public:
    explicit HomeFolder(const std::filesystem::path& home) {
        const char* old = std::getenv("HOME");
        old_ = old ? old : "";
        std::filesystem::create_directories(home);
        setenv("HOME", home.c_str(), 1);
    }
    ~HomeFolder() { setenv("HOME", old_.c_str(), 1); }

private:
    std::string old_;
};

} // namespace

class Form5Test : public QObject {
    Q_OBJECT

    // Presses お気に入りインポート; while the modal import window is up,
    // `during` runs once the import has ended, then OK is pressed until the
    // window closes.
    void runImport(Form1Harness& h, const std::function<void(Form5&)>& during) {
        Form5& f = *h.form().form5;
        QTimer::singleShot(0, [&] {
            (void)QTest::qWaitFor([&] { return f.isVisible() && !f.statusText().isEmpty(); }, 20000);
            during(f);
            for (int i = 0; i < 3 && f.isVisible(); ++i) {
                f.Command2->click();
            }
        });
        h.form().Command13->click();
    }

private slots:
    void init() { Form5::SetStartWaitMilliseconds(0); }

    void importsTheTreeAndShowsTheSummary() {
        Form1Harness h;
        HomeFolder home(h.home() / "user");
        FavoritesTree tree(h.home() / "Favorites");
        WriteIniString(h.appIni(), kSettingsSection, "FAVORITES", tree.root().string());
        Form1Harness::WriteDataFile(h.defaultDataFile(), FavoritesTree::Registered());
        QVERIFY(h.load());
        h.setFields("http://old.jp/", "古い");
        QVERIFY(!(h.form().form5->windowFlags() & Qt::WindowMaximizeButtonHint)); // loaded fixed
        Seen seen;
        QStringList clicked; // a line clicked after the import shows that favorite again
        int errorsAfterClicks = 0;
        runImport(h, [&](Form5& f) {
            seen = Look(f);
            for (int row : {0, 2}) { // a.b.url, then empty.url, which leaves the labels
                f.List1->setCurrentRow(row);
                f.List1_Click();
                clicked << f.Label2->text() + " " + f.Label1->text();
            }
            errorsAfterClicks = h.state().ShortcutErrorCount;
        });
        QCOMPARE(clicked, (QStringList{"a.b http://example.jp/ab", "a.b http://example.jp/ab"}));
        QCOMPARE(errorsAfterClicks, FavoritesTree::kFailed + 1);
        QCOMPARE(seen.status, QString("完了"));
        QStringList expected;
        for (const auto& path : tree.expectedList()) {
            expected << Q(path);
        }
        QCOMPARE(seen.list, expected);
        QCOMPARE(seen.counts, (QStringList{"    8", "    4", "    2", "    2"}));
        QCOMPARE(seen.notices, (QStringList{"2個の\"URLが取得できないお気に入り\"がありました",
                                            "お気に入り名称が長すぎるものがあるようです",
                                            "URLが未指定のものがあるようです"}));
        QVERIFY(seen.resultsVisible);
        QCOMPARE(seen.percent, QString("100 %"));
        QCOMPARE(seen.barWidth, seen.trackWidth);
        QVERIFY(seen.closeRemoved);
        QVERIFY(!h.form().form5->isVisible());
        QVERIFY(h.form().Text1->text().isEmpty()); // the editor was cleared first
        QCOMPARE(h.form().Command2->text(), QString("登録"));
        std::vector<Entry> rows = Form1Harness::ReadLiveEntries(h.defaultDataFile());
        QCOMPARE(rows.size(), 5u);
        for (size_t i = 0; i < 4; ++i) {
            QVERIFY(rows[i + 1].url == FavoritesTree::Added()[i].url);
            QVERIFY(rows[i + 1].title == FavoritesTree::Added()[i].title);
            QCOMPARE(rows[i + 1].serial, FavoritesTree::Added()[i].serial);
        }
        QCOMPARE(h.takeMessages(), QStringList());
    }

    void okStopsAfterTheCurrentFileWithoutSummary() {
        Form1Harness h;
        HomeFolder home(h.home() / "user");
        FavoritesTree tree(h.home() / "Favorites");
        WriteIniString(h.appIni(), kSettingsSection, "FAVORITES", tree.root().string());
        Form1Harness::WriteDataFile(h.defaultDataFile(), FavoritesTree::Registered());
        QVERIFY(h.load());
        Form5& f = *h.form().form5;
        // The press lands while the second file is being read.
        QObject::connect(f.List1->model(), &QAbstractItemModel::rowsInserted, &f, [&] {
            if (f.List1->count() == 2) {
                f.Command2->click();
            }
        });
        Seen seen;
        bool stillOpen = false;
        runImport(h, [&](Form5& shown) {
            seen = Look(shown);
            stillOpen = shown.isVisible();
        });
        QCOMPARE(seen.status, QString("中止"));
        QCOMPARE(seen.list.size(), 2);
        QVERIFY(!seen.resultsVisible);
        QVERIFY(stillOpen); // the press only asked for the stop
        QCOMPARE(Form1Harness::ReadLiveEntries(h.defaultDataFile()).size(), 3u);
    }

    void aPressDuringTheOpeningWaitDoesNotStopTheImport() {
        Form5::SetStartWaitMilliseconds(400);
        Form1Harness h;
        HomeFolder home(h.home() / "user");
        FavoritesTree tree(h.home() / "Favorites");
        WriteIniString(h.appIni(), kSettingsSection, "FAVORITES", tree.root().string());
        Form1Harness::WriteDataFile(h.defaultDataFile(), {});
        QVERIFY(h.load());
        Form5& f = *h.form().form5;
        QString duringWait;
        QTimer::singleShot(150, &f, [&] {
            f.Command2->click();
            duringWait = f.statusText();
        });
        Seen seen;
        runImport(h, [&](Form5& shown) {
            (void)QTest::qWaitFor([&] { return shown.statusText() == "完了"; }, 5000);
            seen = Look(shown);
        });
        QCOMPARE(duringWait, QString("中止"));
        QCOMPARE(seen.status, QString("完了"));
        QCOMPARE(seen.list.size(), 8);
    }

    void aMissingFolderMayBeChosenAndIsRemembered() {
        Form1Harness h;
        HomeFolder home(h.home() / "user");
        Form1Harness::WriteDataFile(h.defaultDataFile(), {});
        QVERIFY(h.load());
        // Cancelled: the import ends, the window waits for OK.
        Seen cancelled;
        runImport(h, [&](Form5& f) { cancelled = Look(f); });
        QCOMPARE(h.takeMessages(), QStringList{"お気に入りパスが見つかりません"});
        QCOMPARE(FileChooserSeam::asked().back().title,
                 QString("お気に入りフォルダを選んでください"));
        QCOMPARE(cancelled.status, QString("読み込み中"));
        QVERIFY(!cancelled.resultsVisible);

        FavoritesTree tree(h.home() / "選んだ");
        FileChooserSeam::queueAnswers({Q(tree.root())});
        Seen chosen;
        runImport(h, [&](Form5& f) { chosen = Look(f); });
        QCOMPARE(chosen.status, QString("完了"));
        QCOMPARE(chosen.counts.first(), QString("    8"));
        QCOMPARE(ReadIniString(h.appIni(), kSettingsSection, "FAVORITES", "", 4096),
                 tree.root().string());
        // Remembered: the next import asks nothing.
        h.takeMessages();
        runImport(h, [](Form5&) {});
        QCOMPARE(h.takeMessages(), QStringList());
    }

    void aDataFileThatCannotBeReadIsReported() {
        Form1Harness h;
        HomeFolder home(h.home() / "user");
        FavoritesTree tree(h.home() / "user" / "Favorites");
        QVERIFY(h.load());
        h.form().Text6->setText(Q(h.home() / "missing.xls"));
        Seen seen;
        runImport(h, [&](Form5& f) { seen = Look(f); });
        QStringList messages = h.takeMessages();
        QCOMPARE(messages.size(), 1);
        QVERIFY2(messages[0].contains("missing.xls"), qPrintable(messages[0]));
        QCOMPARE(seen.status, QString("中止"));
        QCOMPARE(seen.counts, (QStringList{"    8", "    0", "    0", "    0"}));
        QVERIFY(!std::filesystem::exists(h.home() / "missing.xls"));
    }
};

QTEST_MAIN(Form5Test)
#include "form5_test.moc"
