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
        Form1Harness::WriteDataFile(reference, {MakeEntry(1, u"http://a.jp/", u"元"),
                                                MakeEntry(2, u"http://b.jp/", u"新")});
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

// The dialog after a failure: open, usable, no notice.
void CheckRestored(Form3& form3) {
    QVERIFY(form3.isVisible() && !form3.isUnloaded());
    QVERIFY(form3.Command1->isEnabled() && form3.Command2->isEnabled());
    QVERIFY(form3.Text1->isEnabled() && form3.Label2->text().isEmpty());
    QVERIFY(!IsCloseRemoved(&form3));
}

} // namespace

class Form3Test : public QObject {
    Q_OBJECT
private slots:
    void startUpFillsThePathAndShutdownStoresTheDialogsPath() {
        MergeScene s;
        Form3* form3 = s.h.form().form3;
        QCOMPARE(form3->Text1->text(), QString("/start/ref.xls"));
        QVERIFY(form3->isHidden());
        QCOMPARE(form3->minimumSize(), form3->maximumSize()); // no size item
        form3->Text1->setText("/typed/ref.xls");
        s.h.form().close();
        QCOMPARE(Setting(s.h.appIni(), kReferFileKey), std::string("/typed/ref.xls"));
    }

    void mergeAddsTheNewEntries() {
        MergeScene s;
        QCOMPARE(s.h.search().size(), 1); // a search: its list goes away
        s.h.form().Command2->setText("更新");
        Form3& form3 = s.open(Q(s.reference));
        QVERIFY(form3.isVisible());
        QCOMPARE(s.h.form().List1->count(), 0);
        QCOMPARE(s.h.form().Command2->text(), QString("登録"));

        form3.Command2->click();
        QCOMPARE(s.h.takeMessages(), QStringList{ToQString(MergeMessages::Done)});
        const auto entries = Form1Harness::ReadLiveEntries(s.h.defaultDataFile());
        QCOMPARE(entries.size(), 2u);
        QVERIFY(entries[1].serial == 4 && entries[1].title == u"新");
        QCOMPARE(Setting(s.h.appIni(), kReferFileKey), s.reference.string());
        QVERIFY(form3.isHidden() && form3.Command2->isEnabled() && form3.Text1->isEnabled());
        QVERIFY(form3.Label2->text().isEmpty() && !IsCloseRemoved(&form3));
        QCOMPARE(s.h.form().List1->count(), 0); // not refreshed

        form3.Command2->click(); // again: nothing new, still done
        QCOMPARE(s.h.takeMessages(), QStringList{ToQString(MergeMessages::Done)});
    }

    // Refused before any work (the checks themselves are the merge engine's
    // tests' concern): the data file as it was, REFERFILE unchanged.
    void refusals_data() {
        QTest::addColumn<QString>("reference");    // "old": a workbook in the old layout
        QTest::addColumn<QStringList>("messages"); // each shown one contains its text
        QTest::addColumn<bool>("hidden");          // the dialog put back to its start-up path
        const QString old = ToQString(MergeMessages::OldVersion);
        QTest::newRow("same name") << "/elsewhere/トモリネ.xls"
                                   << QStringList{ToQString(MergeMessages::SameFileName)} << true;
        QTest::newRow("old layout") << "old" << QStringList{old} << false;
        QTest::newRow("unreadable") << "/nowhere/ない.xls" << QStringList{"ない.xls", old} << false;
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
        QVERIFY2(ContainEach(shown, messages), qPrintable(shown.join(" | ")));
        QCOMPARE(form3.isHidden(), hidden);
        QCOMPARE(form3.Text1->text(), hidden ? QString("/start/ref.xls") : reference);
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
        CheckRestored(form3);
    }

    void anUnreadableDataFileUnloadsTheDialog() {
        MergeScene s;
        WriteBytes(s.h.defaultDataFile(), {'x'});
        Form3* form3 = &s.open(Q(s.reference));
        form3->Command2->click();
        const auto shown = s.h.takeShown();
        QCOMPARE(shown.size(), 2u);
        QCOMPARE(shown[0].style, MessageStyle::Critical);
        QCOMPARE(shown[1].text, ToQString(MergeMessages::Failed));
        QCOMPARE(shown[1].style, MessageStyle::Critical);
        QVERIFY(form3->isUnloaded());
        s.h.form().Command10->click();
        QVERIFY(s.h.form().form3 != form3);
        QVERIFY(s.h.form().form3->Text1->text().isEmpty());
    }

    void theCloseBoxPutsBackTheStartUpPath() {
        MergeScene s;
        Form3& form3 = s.open("/typed/ref.xls");
        QVERIFY(!form3.close());
        QVERIFY(form3.isHidden());
        QCOMPARE(form3.Text1->text(), QString("/start/ref.xls"));
    }
};

QTEST_MAIN(Form3Test)
#include "form3_test.moc"
