// The HTML export dialog through the real main window: opening it, its
// settings, its run, its failures and its close box.
#include "form1_harness.h"
#include "mainwindow/file_chooser.h"
#include "mainwindow/form2.h"
#include "mainwindow/window_menu.h"
#include "store/settings/cp932.h"
#include "store/settings/ini_functions.h"
#include "store/settings/settings_file.h"

#include <QCheckBox>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QProgressBar>
#include <QPushButton>
#include <QTest>

using namespace tomorine;
using namespace tomorine::test;

namespace {

namespace fs = std::filesystem;

std::string Setting(const fs::path& ini, std::string_view key) {
    return ReadIniString(ini, kSettingsSection, key, "<missing>", kIniBufferSize);
}

QString Q(const fs::path& path) {
    return QString::fromStdString(path.string());
}

// A CP932 text file as UTF-8.
std::string PageText(const fs::path& path) {
    const std::vector<std::uint8_t> bytes = ReadBytes(path);
    return Cp932ToUtf8(std::string(bytes.begin(), bytes.end()));
}

bool ControlsEnabled(Form2& dialog) {
    return dialog.Command1->isEnabled() && dialog.Command2->isEnabled() &&
           dialog.Label1->isEnabled() && dialog.Text1->isEnabled() && dialog.Check1->isEnabled();
}

bool ControlsDisabled(Form2& dialog) {
    return !dialog.Command1->isEnabled() && !dialog.Command2->isEnabled() &&
           !dialog.Label1->isEnabled() && !dialog.Text1->isEnabled() && !dialog.Check1->isEnabled();
}

// A main window on a data file in a folder of its own (so that the two
// settings files differ), with three entries, after a search of all of them.
struct Searched {
    Form1Harness h;
    fs::path data = h.home().parent_path() / "データ" / "bm.xls";
    fs::path dataIni = data.parent_path() / "トモリネ.ini";
    fs::path page = h.home().parent_path() / "リスト.htm";

    Searched() {
        fs::create_directories(data.parent_path());
        Form1Harness::WriteDataFile(data,
                                    {MakeEntry(1, u"http://a.jp/", u"りんご", u"", u"甘い"),
                                     MakeEntry(2, u"http://b.jp/", u"みかん", u"", u"酸っぱい"),
                                     MakeEntry(3, u"http://c.jp/", u"りんご飴", u"", u"")});
        h.setDataFileSetting(data.string());
    }
    bool loadAndSearch() {
        if (!h.load()) {
            return false;
        }
        h.form().Command1->click();
        h.takeMessages();
        return h.form().List1->count() == 3;
    }
    Form2& dialog() { return *h.form().form2; }
};

} // namespace

class Form2Test : public QObject {
    Q_OBJECT
private slots:
    void beforeAnySearchThereIsNoDialog() {
        Form1Harness h;
        QVERIFY(h.load());
        h.form().Command7->click();
        QCOMPARE(h.takeMessages(), QStringList{"データがありません"});
        QVERIFY(!h.form().form2->isVisible());
    }

    void startUpFillsTheDialogFromTheDataFoldersSettings() {
        Searched s;
        WriteIniString(s.dataIni, kSettingsSection, kOutputFileKey, "/srv/一覧.htm");
        WriteIniString(s.dataIni, kSettingsSection, kCommentOutputKey, "1");
        QVERIFY(s.loadAndSearch());
        QCOMPARE(s.dialog().Text1->text(), QString("/srv/一覧.htm"));
        QVERIFY(s.dialog().Check1->isChecked());
        QVERIFY(!s.dialog().isVisible());
        QCOMPARE(s.dialog().minimumSize(), s.dialog().maximumSize()); // no size item
        QCOMPARE(s.dialog().windowTitle(), QString("トモリネ"));
    }

    void aRunStoresTheSettingsWritesThePageAndSaysSo() {
        Searched s;
        QVERIFY(s.loadAndSearch());
        s.h.form().List1->setCurrentRow(0);
        QCOMPARE(s.h.form().Command2->text(), QString("更新"));
        s.h.form().Command7->click();
        QCOMPARE(s.h.form().Command2->text(), QString("登録"));
        QVERIFY(s.dialog().isVisible());
        QVERIFY(!s.dialog().isModal());

        s.dialog().Text1->setText(Q(s.page));
        s.dialog().Check1->setChecked(true);
        std::vector<bool> busy; // what the run looked like while it went through the rows
        QObject::connect(s.dialog().ProgressBar1, &QProgressBar::valueChanged, [&](int value) {
            if (value > 0) {
                busy.push_back(ControlsDisabled(s.dialog()) && IsCloseRemoved(&s.dialog()));
            }
        });
        s.dialog().Command2->click();

        QVERIFY(!busy.empty());
        QVERIFY(std::all_of(busy.begin(), busy.end(), [](bool b) { return b; }));
        QCOMPARE(s.h.takeMessages(), QStringList{"作成完了"});
        QVERIFY(!s.dialog().isVisible());
        QVERIFY(ControlsEnabled(s.dialog()));
        QVERIFY(!IsCloseRemoved(&s.dialog()));
        QCOMPARE(s.h.state().CommentOutput, 1);
        for (const fs::path& ini : {s.h.appIni(), s.dataIni}) {
            QCOMPARE(Setting(ini, kCommentOutputKey), std::string("1"));
            QCOMPARE(Setting(ini, kOutputFileKey), s.page.string());
        }
        const std::string iniText = PageText(s.dataIni); // a new file: keys in written order
        QVERIFY(iniText.find("COMMOUT=1") < iniText.find("OUTPUTFILE="));
        const std::string page = PageText(s.page);
        // Picking the line filled the fields with entry 1, which alone matches them now.
        QVERIFY(page.find(">甘い</td>") != std::string::npos);
        QVERIFY(page.find("りんご飴") == std::string::npos);
        QVERIFY(page.find("みかん") == std::string::npos);
        QVERIFY(s.h.state().ConnectionOpen && s.h.state().HasSearchResult);
    }

    // The rows of the last search that match the fields as they are now.
    void theMainWindowsFieldsAtTheRunPickTheRows() {
        Searched s;
        QVERIFY(s.loadAndSearch());
        s.h.form().Command7->click();
        s.h.setFields({}, "りんご");
        s.dialog().Text1->setText(Q(s.page));
        s.dialog().Command2->click();
        const std::string page = PageText(s.page);
        QVERIFY(page.find("りんご飴") != std::string::npos);
        QVERIFY(page.find("みかん") == std::string::npos);
        QVERIFY(page.find("甘い") == std::string::npos); // comments off
    }

    // The bookmark format writes the same rows for a browser and keeps the search open.
    void theBookmarkFormatWritesTheRowsForABrowser() {
        Searched s;
        QVERIFY(s.loadAndSearch());
        s.h.form().Command7->click();
        s.h.setFields({}, "りんご");
        s.dialog().Text1->setText(Q(s.page));
        s.dialog().Check2->setChecked(true);
        s.dialog().Command2->click();
        QCOMPARE(s.h.takeMessages(), QStringList{"作成完了"});
        const std::vector<std::uint8_t> bytes = ReadBytes(s.page);
        const std::string page(bytes.begin(), bytes.end()); // UTF-8
        QVERIFY(page.starts_with("<!DOCTYPE NETSCAPE-Bookmark-file-1>"));
        QVERIFY(page.find("<A HREF=\"http://c.jp/\"") != std::string::npos);
        QVERIFY(page.find(">りんご飴</A>") != std::string::npos);
        QVERIFY(page.find("みかん") == std::string::npos);
        QVERIFY(s.h.state().ConnectionOpen && s.h.state().HasSearchResult);
    }

    void anEmptyPathStoresNothing() {
        Searched s;
        QVERIFY(s.loadAndSearch());
        s.h.form().Command7->click();
        s.dialog().Text1->clear();
        s.dialog().Command2->click();
        QCOMPARE(s.h.takeMessages(), QStringList{"ファイルパスを指定してください"});
        QVERIFY(s.dialog().isVisible());
        QVERIFY(ControlsEnabled(s.dialog()));
        QCOMPARE(Setting(s.dataIni, kOutputFileKey), std::string("<missing>"));
    }

    // A search whose statement returned no rows: the writer says so, the run
    // still stores the settings and reports it is done; the old page stays.
    void noRowsLeaveTheOldPage() {
        Searched s;
        QVERIFY(s.h.load());
        s.h.setFields("http://nowhere.jp/", {});
        s.h.form().Command1->click();
        QCOMPARE(s.h.takeMessages(), QStringList{"見つかりません"});
        s.h.form().Command7->click();
        WriteBytes(s.page, {'o', 'l', 'd'});
        s.dialog().Text1->setText(Q(s.page));
        s.dialog().Command2->click();
        QCOMPARE(s.h.takeMessages(), (QStringList{"データがありません", "作成完了"}));
        QCOMPARE(ReadBytes(s.page), (std::vector<std::uint8_t>{'o', 'l', 'd'}));
        QCOMPARE(Setting(s.dataIni, kOutputFileKey), s.page.string());
    }

    // A page that cannot be written: its reason in a critical message, the
    // dialog stays open with its controls and close box back.
    void aFailureIsShownAndTheDialogComesBack() {
        Searched s;
        QVERIFY(s.loadAndSearch());
        s.h.form().Command7->click();
        const fs::path folder = s.h.home().parent_path() / "フォルダ.htm";
        fs::create_directory(folder);
        for (const fs::path& target : {folder, s.h.home().parent_path() / "無い" / "a.htm"}) {
            s.dialog().Text1->setText(Q(target));
            s.dialog().Command2->click();
            const std::vector<MessageBoxSeam::Shown> shown = s.h.takeShown();
            QCOMPARE(shown.size(), 1u);
            QVERIFY2(shown[0].text.contains(Q(target)), qPrintable(shown[0].text));
            QCOMPARE(shown[0].style, 16);
            QVERIFY(s.dialog().isVisible());
            QVERIFY(ControlsEnabled(s.dialog()));
            QVERIFY(!IsCloseRemoved(&s.dialog()));
        }
        QVERIFY(fs::is_empty(folder));
    }

    void theCloseBoxPutsBackTheStartUpValues() {
        Searched s;
        WriteIniString(s.dataIni, kSettingsSection, kOutputFileKey, "/srv/start.htm");
        QVERIFY(s.loadAndSearch());
        s.h.form().Command7->click();
        s.dialog().Text1->setText(Q(s.page));
        s.dialog().Check1->setChecked(true);
        s.dialog().Command2->click(); // stores another path and comments on
        s.h.form().Command7->click();
        s.dialog().Text1->setText("/tmp/edited.htm");
        s.dialog().Check1->setChecked(false);
        QVERIFY(!s.dialog().close());
        QVERIFY(!s.dialog().isVisible());
        QCOMPARE(s.dialog().Text1->text(), QString("/srv/start.htm"));
        QVERIFY(s.dialog().Check1->isChecked()); // the current CommentOutput
    }

    void browseOpensBesideThePathAndCancelKeepsIt() {
        Searched s;
        QVERIFY(s.loadAndSearch());
        s.h.form().Command7->click();
        s.dialog().Text1->setText("/srv/www/list.htm");
        FileChooserSeam::queueAnswers({QString()});
        s.dialog().Command1->click();
        const FileChooserSeam::Asked asked = FileChooserSeam::asked().back();
        QCOMPARE(asked.folder, QString("/srv/www/"));
        QCOMPARE(asked.fileName, QString("list.htm"));
        QCOMPARE(asked.title, QString("出力ファイルの指定"));
        QCOMPARE(asked.filters,
                 (QStringList{"HTML ファイル (*.htm *.html)", "すべてのファイル (*)"}));
        QCOMPARE(s.dialog().Text1->text(), QString("/srv/www/list.htm"));

        s.dialog().Text1->setText("/list.htm"); // the root folder: the program folder instead
        FileChooserSeam::queueAnswers({Q(s.page)});
        s.dialog().Command1->click();
        QCOMPARE(FileChooserSeam::asked().back().folder, Q(s.h.home()) + "/");
        QCOMPARE(FileChooserSeam::asked().back().fileName, QString());
        QCOMPARE(s.dialog().Text1->text(), Q(s.page));
    }

    void shutdownWritesTheDialogsPathAndUnloadsIt() {
        Searched s;
        QVERIFY(s.loadAndSearch());
        s.h.form().Command7->click();
        s.dialog().Text1->setText("/srv/typed.htm");
        s.h.form().close();
        QVERIFY(!s.dialog().isVisible());
        for (const fs::path& ini : {s.h.appIni(), s.dataIni}) {
            QCOMPARE(Setting(ini, kOutputFileKey), std::string("/srv/typed.htm"));
            QCOMPARE(Setting(ini, kCommentOutputKey), std::string("0"));
        }
    }
};

QTEST_MAIN(Form2Test)
#include "form2_test.moc"
