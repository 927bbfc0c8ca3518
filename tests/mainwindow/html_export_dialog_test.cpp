// The HTML export dialog through the real main window: its run and its
// failures. The page itself is the HTML export engine's tests' concern.
#include "main_window_harness.h"
#include "mainwindow/html_export_dialog.h"
#include "mainwindow/window_menu.h"
#include "store/settings/cp932.h"
#include "store/settings/settings_file.h"

#include <QCheckBox>

using namespace tomorine;
using namespace tomorine::test;

namespace {

namespace fs = std::filesystem;

// A CP932 text file as UTF-8.
std::string PageText(const fs::path& path) {
    const std::vector<std::uint8_t> bytes = ReadBytes(path);
    return Cp932ToUtf8(std::string(bytes.begin(), bytes.end()));
}

// Whether every control and the close item are in `usable` state.
bool Usable(HtmlExportDialog& dialog, bool usable) {
    for (QWidget* control :
         std::initializer_list<QWidget*>{dialog.browseButton, dialog.okButton, dialog.pathLabel,
                                         dialog.pathField, dialog.commentsBox}) {
        if (control->isEnabled() != usable) {
            return false;
        }
    }
    return IsCloseRemoved(&dialog) != usable;
}

// A main window on a data file in a folder of its own (so that the two
// settings files differ), with three entries, after a search of all of them.
struct Searched {
    MainWindowHarness h;
    fs::path data = h.home().parent_path() / "データ" / "bm.xls";
    fs::path dataIni = data.parent_path() / "トモリネ.ini";
    fs::path page = h.home().parent_path() / "リスト.htm";

    Searched() {
        fs::create_directories(data.parent_path());
        WriteEntries(data, {MakeEntry(1, u"http://a.jp/", u"りんご", u"", u"甘い"),
                            MakeEntry(2, u"http://b.jp/", u"みかん", u"", u"酸っぱい"),
                            MakeEntry(3, u"http://c.jp/", u"りんご飴", u"", u"")});
        h.setDataFileSetting(data.string());
    }
    // Loads, searches, picks the first line and opens the dialog.
    HtmlExportDialog& open() {
        if (!h.load() || h.search().size() != 3) {
            throw std::runtime_error("no search");
        }
        h.window().resultList->setCurrentRow(0);
        h.takeMessages();
        h.window().htmlExportButton->click();
        return *h.window().htmlExportDialog;
    }
};

} // namespace

class HtmlExportDialogTest : public QObject {
    Q_OBJECT
private slots:
    void aRunStoresTheSettingsWritesThePageAndSaysSo() {
        Searched s;
        HtmlExportDialog& dialog = s.open();
        dialog.pathField->setText(Q(s.page));
        dialog.commentsBox->setChecked(true);
        dialog.okButton->click();

        QCOMPARE(s.h.takeMessages(), QStringList{"作成完了"});
        QCOMPARE(dialog.statusLabel->text(), QStringLiteral("作成完了 1件"));
        QVERIFY(!dialog.isVisible() && Usable(dialog, true));
        QVERIFY(s.h.window().settings().commentOutput);
        for (const fs::path& ini : {s.h.appIni(), s.dataIni}) {
            QCOMPARE(Setting(ini, kCommentOutputKey), std::string("1"));
            QCOMPARE(Setting(ini, kOutputFileKey), s.page.string());
        }
        // Picking the line filled the fields with entry 1, which alone matches them now.
        const std::string page = PageText(s.page);
        QVERIFY(page.find(">甘い</td>") != std::string::npos);
        QVERIFY(page.find("りんご飴") == std::string::npos);
        // An edit closed with × is not confirmed: neither shown again nor stored.
        s.h.window().htmlExportButton->click();
        dialog.pathField->setText("/未確定.htm");
        dialog.close();
        QCOMPARE(dialog.pathField->text(), Q(s.page));
        s.h.window().close();
        QCOMPARE(Setting(s.dataIni, kOutputFileKey), s.page.string());
    }

    // A page that cannot be written: its reason, the dialog stays open with
    // its controls and close box back, and nothing is written.
    void aFailureIsShownAndTheDialogComesBack_data() {
        QTest::addColumn<QString>("target"); // below the test's folder
        QTest::addColumn<QString>("message");
        QTest::addColumn<int>("style");
        QTest::newRow("no path") << ""
                                 << "ファイルパスを指定してください" << 0;
        QTest::newRow("a folder") << "フォルダ.htm"
                                  << "フォルダ.htm" << 16;
    }
    void aFailureIsShownAndTheDialogComesBack() {
        QFETCH(QString, target);
        QFETCH(QString, message);
        QFETCH(int, style);
        Searched s;
        HtmlExportDialog& dialog = s.open();
        const fs::path folder = s.h.home().parent_path() / "フォルダ.htm";
        fs::create_directory(folder);
        dialog.pathField->setText(target.isEmpty() ? QString()
                                                   : Q(folder.parent_path()) + "/" + target);
        dialog.okButton->click();
        const auto shown = s.h.takeShown();
        QCOMPARE(shown.size(), 1u);
        QVERIFY2(shown[0].text.contains(message), qPrintable(shown[0].text));
        QCOMPARE(shown[0].style, style);
        QVERIFY(dialog.isVisible() && Usable(dialog, true));
        QVERIFY(fs::is_empty(folder));
        if (target.isEmpty()) {
            QCOMPARE(Setting(s.dataIni, kOutputFileKey), std::string("<missing>"));
        }
    }
};

QTEST_MAIN(HtmlExportDialogTest)
#include "html_export_dialog_test.moc"
