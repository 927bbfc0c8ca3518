// Start-ups on data and settings files the window cannot use (a hang fails
// by the ctest TIMEOUT): the user is never locked out and nothing is changed.
// And the data file chooser itself (not its test seam): a file that exists, or
// a new name in a folder that exists once the user agrees; never a name in
// a missing folder. The chooser writes nothing.
#include "main_window_harness.h"
#include "mainwindow/file_chooser.h"
#include "store/message_style.h"
#include "store/settings/ini_functions.h"
#include "store/settings/settings_file.h"
#include "support/hostile_files.h"

#include <QApplication>
#include <QFileDialog>
#include <QTimer>
#include <sys/stat.h>
#include <unistd.h>

using namespace tomorine;
using namespace tomorine::test;

namespace {

namespace fs = std::filesystem;

// Data files start-up cannot use, beside the hostile kinds.
enum Condition { MissingFolder = 100, BrokenWorkbook, ReadOnlyFolder, Unreadable };

fs::path Prepare(const fs::path& folder, int condition) {
    fs::create_directories(folder);
    const fs::path data = folder / "ブック.xls";
    switch (condition) {
    case MissingFolder:
        return folder / "無い" / "ブック.xls";
    case BrokenWorkbook:
        WriteBytes(data, {0xD0, 0xCF, 0x11, 0xE0, 0xA1, 0xB1, 0x1A, 0xE1, 0, 0});
        break;
    case ReadOnlyFolder:
        ::chmod(folder.c_str(), 0555);
        break;
    case Unreadable:
        WriteEntries(data, {MakeEntry(1, u"http://a.jp/", u"一")});
        ::chmod(data.c_str(), 0200);
        break;
    default:
        MakeHostile(Hostile(condition), data);
    }
    return data;
}

} // namespace

class StartupTest : public QObject {
    Q_OBJECT
private slots:
    void init() { MessageBoxSeam::startRecording(); }
    void cleanup() { MessageBoxSeam::stopRecording(); }

    void chooserChoices_data() {
        QTest::addColumn<QString>("typed"); // in the folder made below
        QTest::addColumn<bool>("taken");
        QTest::addColumn<int>("style"); // of the one message shown, -1 for none
        QTest::addColumn<QString>("named");
        QTest::newRow("an existing file") << QString("ある.xls") << true << -1 << QString();
        QTest::newRow("a new name, creation agreed")
            << QString("新しい.xls") << true << 33 << QString("新しい.xls");
        QTest::newRow("a new name in a missing folder")
            << QString("無い/新しい.xls") << false << 48 << QString("無い");
        QTest::newRow("a new name in a read-only folder")
            << QString("読み取り専用/新しい.xls") << false << 48 << QString("読み取り専用");
    }

    void chooserChoices() {
        QFETCH(QString, typed);
        QFETCH(bool, taken);
        QFETCH(int, style);
        QFETCH(QString, named);
        if (typed.startsWith("読み取り専用") && geteuid() == 0) {
            QSKIP("root ignores permission bits; ctest runs this once more unprivileged");
        }
        TempDir dir;
        const auto folder = dir.path() / "データ";
        std::filesystem::create_directories(folder / "読み取り専用");
        ::chmod((folder / "読み取り専用").c_str(), 0555);
        WriteEntries(folder / "ある.xls", {});
        MessageBoxSeam::queueAnswers({AnswerOk});

        const QString full = Q(folder) + "/" + typed;
        // Typed into the open chooser and accepted as 開く (Open) does; a
        // chooser that stays open is then cancelled.
        QTimer::singleShot(0, [&] {
            auto* dialog = qobject_cast<QFileDialog*>(QApplication::activeModalWidget());
            if (dialog == nullptr) {
                qFatal("no chooser open");
            }
            // The name field with the focus drops the file selected in the list.
            QApplication::setActiveWindow(dialog);
            auto* name = dialog->findChild<QLineEdit*>(QStringLiteral("fileNameEdit"));
            name->setFocus();
            name->setText(full);
            static_cast<QDialog*>(dialog)->accept();
            if (dialog->isVisible()) {
                dialog->reject();
            }
        });
        QCOMPARE(ChooseDataFile(nullptr, Q(folder), QString()).value_or(""),
                 taken ? full : QString(""));
        const auto shown = MessageBoxSeam::shown();
        QCOMPARE(shown.size(), style < 0 ? 0u : 1u);
        if (style >= 0) {
            QCOMPARE(shown[0].style, style);
            QVERIFY2(shown[0].text.contains(Q(folder) + "/" + named), qPrintable(shown[0].text));
        }
        QVERIFY(!std::filesystem::exists(folder / "無い")); // the chooser creates nothing
    }

    void aDataFileThatCannotBeUsedLeavesTheWindowOpen_data() {
        QTest::addColumn<int>("condition");
        for (Hostile kind : kHostileKinds) {
            QTest::newRow(HostileName(kind)) << int(kind);
        }
        QTest::newRow("missing folder") << int(MissingFolder);
        QTest::newRow("broken workbook") << int(BrokenWorkbook);
        QTest::newRow("read-only folder") << int(ReadOnlyFolder);
        QTest::newRow("unreadable file") << int(Unreadable);
    }
    void aDataFileThatCannotBeUsedLeavesTheWindowOpen() {
        QFETCH(int, condition);
        const bool permissionBits = condition == ReadOnlyFolder || condition == Unreadable;
        // Root ignores permission bits, and must not be let write at /dev/zero:
        // ctest runs these rows once more as an unprivileged user.
        if ((permissionBits && geteuid() == 0) ||
            (condition == int(Hostile::DevZero) && !MayWriteAt(Hostile::DevZero))) {
            QSKIP("for the unprivileged run");
        }
        MainWindowHarness h;
        const fs::path folder = h.home().parent_path() / "データ";
        const fs::path data = Prepare(folder, condition);
        WriteIniString(h.appIni(), kSettingsSection, kDataFileKey, data.string());
        const auto before = Listing(folder);
        QVERIFY(h.load());
        const auto shown = h.takeShown();
        QVERIFY(!shown.empty());
        QCOMPARE(shown.front().style, MessageStyle::Critical);
        QVERIFY2(shown.front().text.contains(Q(data.parent_path())), qPrintable(shown[0].text));
        MainWindow& f = h.window();
        QCOMPARE(f.dataFileField->text(), Q(data));
        for (QPushButton* command :
             {f.searchButton, f.registerButton, f.openUrlButton, f.clearButton, f.deleteButton,
              f.htmlExportButton, f.captureButton, f.mergeButton, f.keywordListButton,
              f.linkCheckButton, f.favoritesImportButton, f.browserImportButton}) {
            QVERIFY2(!command->isEnabled(), qPrintable(command->objectName()));
        }
        QVERIFY(f.dataFileButton->isEnabled() && f.okButton->isEnabled());

        // The way out: another data file.
        FileChooserSeam::queueAnswers({Q(h.home() / "別.xls")});
        f.dataFileButton->click();
        QVERIFY(f.searchButton->isEnabled());
        f.close();
        QCOMPARE(Listing(folder), before);
        if (permissionBits) { // so that the folder can be removed
            ::chmod(folder.c_str(), 0755);
            ::chmod(data.c_str(), 0644);
        }
    }

    // Which files the settings refuse, and that they are never written over,
    // is the settings' tests' concern; here the notice, for one over the bound.
    void aBadSettingsFileGivesANoticeAndDefaults() {
        MainWindowHarness h;
        MakeHostile(Hostile::Huge, h.appIni());
        QVERIFY(h.loadWith({MakeEntry(1, u"http://a.jp/", u"一")}));
        const auto shown = h.takeShown();
        QCOMPARE(shown.size(), size_t{1});
        QVERIFY2(shown[0].text.contains(Q(h.appIni())), qPrintable(shown[0].text));
        QCOMPARE(shown[0].style, MessageStyle::Exclamation);
        QCOMPARE(h.window().dataFileField->text(), Q(h.defaultDataFile()));
    }
};

QTEST_MAIN(StartupTest)
#include "main_window_startup_test.moc"
