// データマージ and the merge dialog through the real main window. The merge
// stages and their failures are the merge engine's tests' concern.
#include "main_window_harness.h"
#include "mainwindow/merge_dialog.h"
#include "mainwindow/qt_text.h"
#include "mainwindow/window_menu.h"
#include "merge/merge_messages.h"
#include "store/settings/ini_functions.h"
#include "store/settings/settings_file.h"
#include "store/xls/xls_file.h"
#include "upgrade_fixture.h"

#include <limits>

using namespace tomorine;
using namespace tomorine::test;

namespace {

namespace fs = std::filesystem;

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

} // namespace

class MergeDialogTest : public QObject {
    Q_OBJECT
private slots:
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
    void refusalsAndFailures_data() {
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
    void refusalsAndFailures() {
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
        QVERIFY(hidden || (dialog.okButton->isEnabled() && !IsCloseRemoved(&dialog)));
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
        s.h.takeMessages();
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
};

QTEST_MAIN(MergeDialogTest)
#include "merge_dialog_test.moc"
