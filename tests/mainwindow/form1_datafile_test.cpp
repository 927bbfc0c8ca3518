// Choosing another data file through the real main window.
#include "form1_harness.h"
#include "mainwindow/file_chooser.h"
#include "store/settings/ini_functions.h"
#include "store/settings/settings_file.h"

#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QTest>

using namespace tomorine;
using namespace tomorine::test;

namespace {

std::string DataFileSetting(const std::filesystem::path& ini) {
    return ReadIniString(ini, kSettingsSection, kDataFileKey, "<missing>", kIniBufferSize);
}

QString Q(const std::filesystem::path& path) {
    return QString::fromStdString(path.string());
}

} // namespace

class DataFileTest : public QObject {
    Q_OBJECT
private slots:
    void anotherFileIsUsedAtOnceAndRecordedInBothSettings() {
        Form1Harness h;
        Form1Harness::WriteDataFile(h.defaultDataFile(), {MakeEntry(1, u"http://a.jp/", u"旧")});
        auto other = h.home() / "別のフォルダ" / "bm.xls";
        std::filesystem::create_directories(other.parent_path());
        Form1Harness::WriteDataFile(other, {MakeEntry(5, u"http://b.jp/", u"新")});
        QVERIFY(h.load());
        h.form().Command1->click();
        h.form().List1->setCurrentRow(0);

        FileChooserSeam::queueAnswers({Q(other)});
        h.form().Command9->click();
        QCOMPARE(FileChooserSeam::asked().back().folder, Q(h.home()) + "/");
        QCOMPARE(FileChooserSeam::asked().back().fileName, QString("トモリネ.xls"));
        QCOMPARE(h.form().Text6->text(), Q(other));
        QCOMPARE(h.state().DataFilePath, other);
        QCOMPARE(h.form().List1->count(), 0);
        QVERIFY(h.form().Text1->text().isEmpty());
        QVERIFY(h.state().SavedSearchSql.empty());
        QVERIFY(!h.state().ConnectionOpen);
        QCOMPARE(DataFileSetting(h.appIni()), other.string());
        QCOMPARE(DataFileSetting(other.parent_path() / "トモリネ.ini"), other.string());
        QCOMPARE(h.form().Command2->text(), QString("登録"));

        h.form().Command1->click();
        QCOMPARE(h.listLines(), QStringList{"[00005]:新"});
    }

    void aNewNameGetsANewDataWorkbook() {
        Form1Harness h;
        QVERIFY(h.load());
        auto fresh = h.home() / "新規.xls";
        FileChooserSeam::queueAnswers({Q(fresh)});
        h.form().Command9->click();
        QVERIFY(std::filesystem::is_regular_file(fresh));
        QCOMPARE(Form1Harness::ReadLiveEntries(fresh).size(), 0u);
        QVERIFY(h.form().Command1->isEnabled());
        QCOMPARE(h.takeMessages(), QStringList());
    }

    void cancelKeepsTheFileAndChecksItAgain() {
        Form1Harness h;
        QVERIFY(h.load());
        QString before = h.form().Text6->text();
        // The file went bad behind the program's back: the check notices.
        WriteBytes(h.defaultDataFile(), {'x'});
        h.form().Command9->click(); // the chooser answers cancel
        QCOMPARE(h.form().Text6->text(), before);
        QCOMPARE(h.takeShown().size(), 1u);
        QVERIFY(!h.form().Command1->isEnabled());
        QVERIFY(h.form().Command9->isEnabled());
    }

    void aFileThatIsNotAWorkbookDisablesTheCommands() {
        Form1Harness h;
        QVERIFY(h.load());
        auto bad = h.home() / "bad.xls";
        WriteBytes(bad, {'P', 'K', 3, 4});
        FileChooserSeam::queueAnswers({Q(bad)});
        h.form().Command9->click();
        QVERIFY(!h.form().Command2->isEnabled());
        QCOMPARE(ReadBytes(bad), (std::vector<std::uint8_t>{'P', 'K', 3, 4}));
        FileChooserSeam::queueAnswers({Q(h.defaultDataFile())});
        h.form().Command9->click();
        QVERIFY(h.form().Command2->isEnabled());
    }

    void aFileInTheRootFolderOpensTheChooserInTheProgramFolder() {
        Form1Harness h;
        QVERIFY(h.load());
        h.form().Text6->setText("/bm.xls");
        h.form().Command9->click();
        QCOMPARE(FileChooserSeam::asked().back().folder, Q(h.home()) + "/");
        QCOMPARE(FileChooserSeam::asked().back().fileName, QString());
    }
};

QTEST_MAIN(DataFileTest)
#include "form1_datafile_test.moc"
