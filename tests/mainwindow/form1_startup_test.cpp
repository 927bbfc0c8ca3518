// Start-up and shutdown of the real main window.
#include "form1_harness.h"
#include "store/settings/ini_functions.h"
#include "store/settings/settings_file.h"

#include <QLineEdit>
#include <QPushButton>
#include <QTest>
#include <algorithm>

using namespace tomorine;
using namespace tomorine::test;

namespace {

std::string Setting(const std::filesystem::path& ini, std::string_view key) {
    return ReadIniString(ini, kSettingsSection, key, "<missing>", kIniBufferSize);
}

QList<QPushButton*> DisabledButtons(Form1& form) {
    QList<QPushButton*> disabled;
    for (QPushButton* button : form.findChildren<QPushButton*>()) {
        if (!button->isEnabled()) {
            disabled << button;
        }
    }
    return disabled;
}

} // namespace

class StartupTest : public QObject {
    Q_OBJECT
private slots:
    void firstStartCreatesTheWorkbookAndTheSettings() {
        Form1Harness h;
        QVERIFY(h.load());
        QVERIFY(std::filesystem::is_regular_file(h.defaultDataFile()));
        QCOMPARE(h.form().Text6->text(), QString::fromStdString(h.defaultDataFile().string()));
        QVERIFY(DisabledButtons(h.form()).isEmpty());
        QCOMPARE(h.takeMessages(), QStringList());
        QCOMPARE(Form1Harness::ReadLiveEntries(h.defaultDataFile()).size(), 0u);
        QCOMPARE(h.form().minimumSize(), h.form().maximumSize()); // no size item
        QVERIFY(!(h.form().windowFlags() & Qt::WindowMaximizeButtonHint));

        h.form().close();
        QCOMPARE(Setting(h.appIni(), kDataFileKey), h.defaultDataFile().string());
        QCOMPARE(Setting(h.appIni(), kCommentOutputKey), std::string("0"));
        QCOMPARE(Setting(h.appIni(), kOutputFileKey), std::string());
        QCOMPARE(Setting(h.appIni(), kReferFileKey), std::string());
    }

    void anExistingWorkbookIsUsedAsItIs() {
        Form1Harness h;
        auto data = h.home() / "other" / "bm.xls";
        std::filesystem::create_directories(data.parent_path());
        Form1Harness::WriteDataFile(data, {MakeEntry(1, u"http://a.jp/", u"題")});
        auto before = ReadBytes(data);
        h.setDataFileSetting(data.string());
        QVERIFY(h.load());
        QCOMPARE(ReadBytes(data), before);
        QVERIFY(!std::filesystem::exists(h.defaultDataFile()));

        // Both folders get the four settings at shutdown.
        h.form().close();
        auto dataIni = data.parent_path() / "トモリネ.ini";
        for (auto key : {kDataFileKey, kOutputFileKey, kReferFileKey, kCommentOutputKey}) {
            QCOMPARE(Setting(dataIni, key), Setting(h.appIni(), key));
        }
        QCOMPARE(Setting(dataIni, kDataFileKey), data.string());
    }

    void aRelativeDataFileIsShownAbsolute() {
        Form1Harness h;
        std::filesystem::current_path(h.home());
        std::filesystem::create_directory(h.home() / "rel");
        h.setDataFileSetting("rel/../rel/x.xls");
        QVERIFY(h.load());
        QCOMPARE(h.form().Text6->text(),
                 QString::fromStdString((h.home() / "rel" / "x.xls").string()));
        QVERIFY(std::filesystem::is_regular_file(h.home() / "rel" / "x.xls"));
    }

    void aFileThatIsNotAWorkbookDisablesTheCommands() {
        Form1Harness h;
        const std::vector<std::uint8_t> junk{'n', 'o', 't', ' ', 'x', 'l', 's'};
        WriteBytes(h.defaultDataFile(), junk);
        QVERIFY(h.load());
        auto shown = h.takeShown();
        QVERIFY(shown.size() == 1 && shown[0].style == 16);
        QVERIFY(shown[0].text.contains(QString::fromStdString(h.defaultDataFile().string())));
        QList<QPushButton*> disabled = DisabledButtons(h.form());
        std::sort(disabled.begin(), disabled.end());
        Form1& f = h.form();
        QList<QPushButton*> expected{f.Command1,  f.Command2,  f.Command3,  f.Command4,
                                     f.Command6,  f.Command7,  f.Command8,  f.Command10,
                                     f.Command11, f.Command12, f.Command13,
                                     f.Command14}; // not 9 or 5
        std::sort(expected.begin(), expected.end());
        QCOMPARE(disabled, expected);
        QCOMPARE(ReadBytes(h.defaultDataFile()), junk);
    }
};

QTEST_MAIN(StartupTest)
#include "form1_startup_test.moc"
