// データマージ and the merge dialog through the real main window. The merge
// stages and their failures are the merge engine's tests' concern.
#include "form1_harness.h"
#include "mainwindow/form3.h"
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
    Form1Harness h;
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
    Form3& open(const QString& path) {
        h.form().Command10->click();
        h.form().form3->Text1->setText(path);
        return *h.form().form3;
    }
};

} // namespace

class Form3Test : public QObject {
    Q_OBJECT
private slots:
    void mergeAddsTheNewEntries() {
        MergeScene s;
        Form3& form3 = s.open(Q(s.reference));

        form3.Command2->click();
        QCOMPARE(s.h.takeMessages(), QStringList{ToQString(MergeMessages::Done)});
        const auto entries = Form1Harness::ReadLiveEntries(s.h.defaultDataFile());
        QCOMPARE(entries.size(), 2u);
        QVERIFY(entries[1].serial == 4 && entries[1].title == u"新");
        QCOMPARE(Setting(s.h.appIni(), kReferFileKey), s.reference.string());
        QVERIFY(form3.isHidden());
        QCOMPARE(form3.Label2->text(), QStringLiteral("マージ完了 1件"));

        form3.Command2->click(); // again: nothing new, still done
        QCOMPARE(s.h.takeMessages(), QStringList{ToQString(MergeMessages::Done)});
        QCOMPARE(form3.Label2->text(), QStringLiteral("マージ完了 0件"));
        // An edit closed with × is not confirmed: neither shown again nor stored.
        form3.Text1->setText("/未確定.xls");
        form3.close();
        QCOMPARE(form3.Text1->text(), Q(s.reference));
        WriteBytes(s.h.defaultDataFile(), {'x'}); // unreadable: the dialog unloads
        form3.Command2->click();
        s.h.form().Command10->click();
        QCOMPARE(s.h.form().form3->Text1->text(), Q(s.reference));
        s.h.form().close();
        QCOMPARE(Setting(s.h.appIni(), kReferFileKey), s.reference.string());
    }

    // Refused before any work (the checks themselves are the merge engine's
    // tests' concern): the data file as it was, REFERFILE unchanged.
    void refusals_data() {
        QTest::addColumn<QString>("reference");    // "old": a workbook in the old layout
        QTest::addColumn<QStringList>("messages"); // the shown ones, each containing its text
        QTest::addColumn<bool>("hidden");          // the dialog put back to its start-up path
        const QString old = ToQString(MergeMessages::OldVersion);
        QTest::newRow("same name") << "/elsewhere/トモリネ.xls"
                                   << QStringList{ToQString(MergeMessages::SameFileName)} << true;
        QTest::newRow("old layout") << "old" << QStringList{old} << false;
        // Its own reason only: a missing file is not of an older layout.
        QTest::newRow("unreadable") << "/nowhere/ない.xls" << QStringList{"ない.xls"} << false;
    }
    void refusals() {
        QFETCH(QString, reference);
        QFETCH(QStringList, messages);
        QFETCH(bool, hidden);
        MergeScene s;
        const auto before = ReadBytes(s.h.defaultDataFile());
        if (reference == "old") {
            WriteXlsFile(OldDataWorkbook(OldRows(2)), s.reference);
            reference = Q(s.reference);
        }
        Form3& form3 = s.open(reference);
        form3.Command2->click();
        const QStringList shown = s.h.takeMessages();
        QVERIFY2(shown.size() == messages.size() && ContainEach(shown, messages),
                 qPrintable(shown.join(" | ")));
        QCOMPARE(form3.isHidden(), hidden);
        QCOMPARE(form3.Text1->text(), hidden ? QString("/start/ref.xls") : reference);
        s.h.form().close(); // nor at shutdown
        QCOMPARE(Setting(s.h.appIni(), kReferFileKey), std::string("/start/ref.xls"));
        QCOMPARE(ReadBytes(s.h.defaultDataFile()), before);
    }

    void aFailedMergeIsShownAndTheDialogRestored() {
        MergeScene s(std::numeric_limits<std::int32_t>::max());
        const auto before = ReadBytes(s.h.defaultDataFile());
        Form3& form3 = s.open(Q(s.reference));
        form3.Command2->click();
        const auto shown = s.h.takeShown();
        QCOMPARE(shown.size(), 2u);
        QVERIFY(shown[0].text.contains("シリアル番号"));
        QCOMPARE(shown[0].style, MessageStyle::Critical);
        QCOMPARE(shown[1].text, ToQString(MergeMessages::Failed));
        QCOMPARE(ReadBytes(s.h.defaultDataFile()), before);
        QVERIFY(form3.isVisible() && form3.Command2->isEnabled() && !IsCloseRemoved(&form3));
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
        QVERIFY(shown[0].text.contains("2 つ目のエントリーとして加わり"));
        QVERIFY(shown[0].text.contains("このファイルにあるエントリーは、変更も削除もされません"));
        QCOMPARE(shown[1].text, ToQString(MergeMessages::Done));
        QCOMPARE(s.h.listLines().size(), 2);
        QVERIFY(fs::exists(s.h.home() / "conflicts" / copy.filename()) && fs::exists(broken));

        WriteBytes(s.h.home() / "other.txt", {1});
        QTest::qWait(600);
        QVERIFY(s.h.takeShown().empty());
    }
};

QTEST_MAIN(Form3Test)
#include "form3_test.moc"
