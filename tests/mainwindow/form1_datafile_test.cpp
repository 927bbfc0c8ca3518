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
        h.form().Text6->setText("/bm.xls"); // the root folder: chooser opens in the program's
        auto fresh = h.home() / "新規.xls";
        FileChooserSeam::queueAnswers({Q(fresh)});
        h.form().Command9->click();
        QCOMPARE(FileChooserSeam::asked().back().folder, Q(h.home()) + "/");
        QCOMPARE(FileChooserSeam::asked().back().fileName, QString());
        QCOMPARE(Form1Harness::ReadLiveEntries(fresh).size(), 0u);
        QVERIFY(h.form().Command1->isEnabled());
        QCOMPARE(h.takeMessages(), QStringList());
    }

    void everyChoiceChecksTheFileAgain() {
        Form1Harness h;
        QVERIFY(h.load());
        auto bad = h.home() / "bad.xls";
        const std::vector<std::uint8_t> junk{'P', 'K', 3, 4};
        WriteBytes(bad, junk);
        FileChooserSeam::queueAnswers({Q(bad)});
        h.form().Command9->click();
        QVERIFY(!h.form().Command2->isEnabled() && h.form().Command9->isEnabled());
        QCOMPARE(ReadBytes(bad), junk);
        h.form().Command9->click(); // cancel: the same file is checked again
        QCOMPARE(h.form().Text6->text(), Q(bad));
        QCOMPARE(h.takeShown().size(), 2u);
        FileChooserSeam::queueAnswers({Q(h.defaultDataFile())});
        h.form().Command9->click();
        QVERIFY(h.form().Command2->isEnabled());
    }
};

QTEST_MAIN(DataFileTest)
#include "form1_datafile_test.moc"
