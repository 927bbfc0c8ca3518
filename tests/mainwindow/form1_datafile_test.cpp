// Choosing another data file through the real main window.
#include "form1_harness.h"
#include "mainwindow/file_chooser.h"
#include "store/settings/settings_file.h"

using namespace tomorine;
using namespace tomorine::test;

class DataFileTest : public QObject {
    Q_OBJECT
private slots:
    void anotherFileIsUsedAtOnceAndRecordedInBothSettings() {
        Form1Harness h;
        const auto other = h.home() / "別のフォルダ" / "bm.xls";
        std::filesystem::create_directories(other.parent_path());
        Form1Harness::WriteDataFile(other, {MakeEntry(5, u"http://b.jp/", u"新")});
        QVERIFY(h.loadWith({MakeEntry(1, u"http://a.jp/", u"旧")}));
        h.search();
        h.form().List1->setCurrentRow(0);

        FileChooserSeam::queueAnswers({Q(other)});
        h.form().Command9->click();
        QCOMPARE(h.form().Text6->text(), Q(other));
        QCOMPARE(Setting(h.appIni(), kDataFileKey), other.string());
        QCOMPARE(Setting(other.parent_path() / "トモリネ.ini", kDataFileKey), other.string());
        QCOMPARE(h.search(), QStringList{"[00005]:新"});
    }

    // A rejected file disables the commands; a cancel checks it again; a new
    // name gets a new workbook and the commands back.
    void everyChoiceChecksTheFileAgain() {
        Form1Harness h;
        QVERIFY(h.load());
        const auto bad = h.home() / "bad.xls";
        WriteBytes(bad, {'P', 'K', 3, 4});
        FileChooserSeam::queueAnswers({Q(bad)});
        h.form().Command9->click();
        QVERIFY(!h.form().Command2->isEnabled() && h.form().Command9->isEnabled());
        h.form().Command9->click();
        QCOMPARE(h.form().Text6->text(), Q(bad));
        QCOMPARE(h.takeShown().size(), 2u);
        QCOMPARE(ReadBytes(bad), (std::vector<std::uint8_t>{'P', 'K', 3, 4}));
        QCOMPARE(Setting(h.appIni(), kDataFileKey), std::string("<missing>"));
        h.form().close(); // the refused file is not recorded, by the choice nor at shutdown
        QCOMPARE(Setting(h.appIni(), kDataFileKey), h.defaultDataFile().string());

        FileChooserSeam::queueAnswers({Q(h.home() / "新規.xls")});
        h.form().Command9->click();
        QCOMPARE(Form1Harness::ReadLiveEntries(h.home() / "新規.xls").size(), 0u);
        QVERIFY(h.form().Command2->isEnabled());
        QCOMPARE(h.takeMessages(), QStringList());
        QCOMPARE(Setting(h.appIni(), kDataFileKey), (h.home() / "新規.xls").string());
    }
};

QTEST_MAIN(DataFileTest)
#include "form1_datafile_test.moc"
