// The main window's commands on the real window, its keys, and texts, links
// and shortcut files dropped on it and its fields.
#include "browser/capture.h"
#include "favorites_tree.h"
#include "local_http_server.h"
#include "main_window_harness.h"
#include "mainwindow/conversion_progress.h"
#include "mainwindow/file_chooser.h"
#include "mainwindow/html_export_dialog.h"
#include "mainwindow/merge_dialog.h"
#include "mainwindow/window_menu.h"
#include "store/settings/settings_file.h"
#include "store/xls/xls_file.h"
#include "upgrade_fixture.h"

#include <QApplication>
#include <QDropEvent>
#include <QImage>
#include <QInputMethodEvent>
#include <QMimeData>
#include <QScrollBar>
#include <QSignalSpy>
#include <QUrl>

using namespace tomorine;
using namespace tomorine::test;

namespace {

namespace fs = std::filesystem;

// Entries 1..count: "http://example.jp/N", "ページN".
std::vector<Entry> Numbered(int count) {
    std::vector<Entry> entries;
    for (int i = 1; i <= count; ++i) {
        const std::u16string n = QString::number(i).toStdU16String();
        entries.push_back(MakeEntry(i, u"http://example.jp/" + n, u"ページ" + n));
    }
    return entries;
}

bool ShowActive(MainWindow& form) {
    form.show();
    QApplication::setActiveWindow(&form);
    return QTest::qWaitForWindowActive(&form);
}

// Drags `data` over `target` and drops it there, as the window system does.
bool Drop(QWidget* target, QMimeData* data) {
    const QPointF at(target->width() / 2.0, target->height() / 2.0);
    QDragEnterEvent enter(at.toPoint(), Qt::CopyAction | Qt::LinkAction, data, Qt::LeftButton,
                          Qt::NoModifier);
    QApplication::sendEvent(target, &enter);
    if (!enter.isAccepted()) {
        return false;
    }
    QDropEvent drop(at, Qt::CopyAction | Qt::LinkAction, data, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(target, &drop);
    return drop.isAccepted();
}

// A browser offers a dragged link as a URL and as text; a file manager
// offers files as file URLs and their paths as text.
std::unique_ptr<QMimeData> Dragged(const QString& text, const QList<QUrl>& urls = {}) {
    auto data = std::make_unique<QMimeData>();
    if (!urls.isEmpty()) {
        data->setUrls(urls);
    }
    data->setText(text);
    return data;
}

std::unique_ptr<QMimeData> Files(const std::vector<std::filesystem::path>& paths) {
    QList<QUrl> urls;
    QStringList texts;
    for (const auto& path : paths) {
        urls << QUrl::fromLocalFile(Q(path));
        texts << Q(path);
    }
    return Dragged(texts.join('\n'), urls);
}

QWidget* Target(MainWindow& form, const QString& name) {
    if (name == "MainWindow") {
        return &form;
    }
    QWidget* widget = form.findChild<QWidget*>(name);
    auto* scrolled = qobject_cast<QAbstractScrollArea*>(widget);
    return scrolled != nullptr ? scrolled->viewport() : widget;
}

} // namespace

class MainWindowTest : public QObject {
    Q_OBJECT
private slots:
    // OK then re-saves the changed workbook, over a leftover temporary file.
    void registeringListsTheNewEntrySelectedAndOkSavesIt() {
        MainWindowHarness h;
        QVERIFY(h.load());
        h.setFields("http://a.jp/it's", "題名  ", {}, "ニュース 天気", "一行目\n二行目");
        h.window().registerButton->click();
        QCOMPARE(h.takeMessages(), QStringList{"登録しました"});
        QCOMPARE(h.listLines(), QStringList{"[00001]:題名  "});
        QCOMPARE(h.window().registerButton->text(), QString("更新")); // its line picked
        const auto leftover = h.home() / "bk_axbyczd0_トモリネ.xls";
        WriteBytes(leftover, {'o', 'l', 'd'});
        h.window().okButton->click();
        QVERIFY(!std::filesystem::exists(leftover));
        QCOMPARE(h.takeMessages(), QStringList());
        const std::vector<Entry> stored = MainWindowHarness::ReadLiveEntries(h.defaultDataFile());
        QVERIFY(stored.size() == 1 && stored[0].url == u"http://a.jp/it's");
        QVERIFY(stored[0].comment == u"一行目\r\n二行目");
    }

    // Each refusal puts the focus where the missing text goes.
    void refusedRegistrationsLeaveTheFileAsItWas() {
        for (const QStringList& row :
             {QStringList{"", "題", "urlField"}, QStringList{"http://a.jp/", "", "titleField"}}) {
            MainWindowHarness h;
            QVERIFY(h.loadWith({MakeEntry(1, u"http://a.jp/", u"一")}));
            const auto before = ReadBytes(h.defaultDataFile());
            h.window().show();
            h.setFields(row[0], row[1]);
            h.window().registerButton->click();
            QCOMPARE(h.takeMessages(), QStringList{"[ URL ] と [ タイトル ] は必須です"});
            QCOMPARE(ReadBytes(h.defaultDataFile()), before);
            QCOMPARE(h.window().focusWidget()->objectName(), row[2]);
        }
    }

    void updatingAScrolledListRestoresTopLineAndSelection() {
        MainWindowHarness h;
        QVERIFY(h.loadWith(Numbered(80)));
        h.window().show();
        h.search();
        QCoreApplication::processEvents(); // the user scrolls a list already laid out
        h.window().resultList->verticalScrollBar()->setValue(30);
        h.window().resultList->setCurrentRow(33);
        h.window().titleField->setText("書き換えた題");
        h.window().registerButton->click();
        QCOMPARE(h.takeMessages(), QStringList{"更新しました"});
        QCOMPARE(h.window().resultList->verticalScrollBar()->value(), 30);
        QCOMPARE(h.window().resultList->currentRow(), 33);
        // The list is read again from the file: what was stored, and its neighbour as it was.
        QCOMPARE(h.listLines().mid(32, 2),
                 (QStringList{"[00033]:ページ33", "[00034]:書き換えた題"}));
    }

    void deleteAsksFirstAndRefusesWhatItCannotDelete_data() {
        QTest::addColumn<int>("answer");
        QTest::addColumn<QString>("refusal"); // what else happened before the click
        QTest::addColumn<QString>("message"); // the last one shown
        const QString confirmation = "[ 二 ] を削除しますか";
        QTest::newRow("ok") << AnswerOk << "" << confirmation;
        QTest::newRow("cancel") << AnswerCancel << "" << confirmation;
        QTest::newRow("no pick") << AnswerOk << "new search"
                                 << "削除するデータを一覧から選んでください";
        QTest::newRow("no url") << AnswerOk << "no url"
                                << "URLが指定されていません";
        QTest::newRow("picked in another file")
            << AnswerOk << "other file"
            << "データファイルが検索の後で変わりました。検索し直してください";
    }
    void deleteAsksFirstAndRefusesWhatItCannotDelete() {
        QFETCH(int, answer);
        QFETCH(QString, refusal);
        QFETCH(QString, message);
        MainWindowHarness h;
        QVERIFY(
            h.loadWith({MakeEntry(1, u"http://a.jp/", u"一"), MakeEntry(2, u"http://b.jp/", u"二"),
                        MakeEntry(12, u"http://c.jp/", u"十二")}));
        h.search();
        h.window().resultList->setCurrentRow(1); // the second of three picked
        const auto other = h.home() / "other.xls";
        WriteEntries(other, {MakeEntry(2, u"http://x.jp/", u"別")});
        const auto before = std::pair{ReadBytes(h.defaultDataFile()), ReadBytes(other)};
        if (refusal == "new search") {
            h.window().clearButton->click();
            h.search();
            h.setFields("http://b.jp/", "二");
        } else if (refusal == "no url") {
            h.window().urlField->clear();
        } else if (refusal == "other file") {
            h.window().dataFileField->setText(Q(other));
        }
        MessageBoxSeam::queueAnswers({answer});
        h.window().deleteButton->click();
        const auto shown = h.takeShown();
        QCOMPARE(shown.back().text, message);
        QCOMPARE(ReadBytes(other), before.second);
        if (QTest::currentDataTag() == QByteArray("ok")) {
            QCOMPARE(shown.back().style, MessageStyle::OkCancel);
            QCOMPARE(h.listLines(), (QStringList{"[00001]:一", "[00012]:十二"}));
        } else {
            QCOMPARE(ReadBytes(h.defaultDataFile()), before.first);
        }
    }

    // A rejected file disables the commands; a cancel checks it again; a new
    // name gets a new workbook; another file, chosen while a search is open,
    // is used at once and recorded in both settings.
    void everyChoiceChecksTheFileAgain() {
        MainWindowHarness h;
        QVERIFY(h.load());
        const auto bad = h.home() / "bad.xls";
        WriteBytes(bad, {'P', 'K', 3, 4});
        FileChooserSeam::queueAnswers({Q(bad)});
        h.window().dataFileButton->click();
        QVERIFY(!h.window().registerButton->isEnabled() && h.window().dataFileButton->isEnabled());
        h.window().dataFileButton->click();
        QCOMPARE(h.window().dataFileField->text(), Q(bad));
        QCOMPARE(h.takeShown().size(), 2u);
        QCOMPARE(ReadBytes(bad), (std::vector<std::uint8_t>{'P', 'K', 3, 4}));
        QCOMPARE(Setting(h.appIni(), kDataFileKey), std::string("<missing>"));
        h.window().close(); // the refused file is not recorded, by the choice nor at shutdown
        QCOMPARE(Setting(h.appIni(), kDataFileKey), h.defaultDataFile().string());

        FileChooserSeam::queueAnswers({Q(h.home() / "新規.xls")});
        h.window().dataFileButton->click();
        QCOMPARE(MainWindowHarness::ReadLiveEntries(h.home() / "新規.xls").size(), 0u);
        QCOMPARE(h.takeMessages(), QStringList());

        const auto other = h.home() / "別のフォルダ" / "bm.xls";
        fs::create_directories(other.parent_path());
        WriteEntries(other, {MakeEntry(5, u"http://b.jp/", u"新")});
        h.search();
        FileChooserSeam::queueAnswers({Q(other)});
        h.window().dataFileButton->click();
        QCOMPARE(h.window().dataFileField->text(), Q(other));
        QCOMPARE(Setting(h.appIni(), kDataFileKey), other.string());
        QCOMPARE(Setting(other.parent_path() / "トモリネ.ini", kDataFileKey), other.string());
        QCOMPARE(h.search(), QStringList{"[00005]:新"});
    }

    void anOldWorkbookIsConvertedWithProgress() {
        MainWindowHarness h;
        WriteXlsFile(OldDataWorkbook(OldRows(250)), h.defaultDataFile());
        QVERIFY(h.load());
        const auto shown = h.takeShown();
        QCOMPARE(shown.size(), 2u);
        QCOMPARE(shown[0].style, MessageStyle::OkCancelExclamation);
        QVERIFY(h.window().searchButton->isEnabled());
    }

    // An entry another process deleted while it was picked for 更新.
    void updatingAnEntryDeletedMeanwhileSaysSo() {
        MainWindowHarness h;
        QVERIFY(h.loadWith(Numbered(2)));
        h.search();
        h.window().resultList->setCurrentRow(1);
        WriteEntries(h.defaultDataFile(), Numbered(1));
        const auto before = ReadBytes(h.defaultDataFile());
        h.window().registerButton->click();
        QCOMPARE(h.takeMessages(), QStringList{"更新するデータがデータファイルにありません"});
        QCOMPARE(ReadBytes(h.defaultDataFile()), before);
    }

    void typingThroughTheEditorNeverReachesTheDataFilePath() {
        for (bool usable : {true, false}) {
            MainWindowHarness h;
            QVERIFY(h.load());
            MainWindow& f = h.window();
            f.setCommandsEnabled(usable); // a rejected file leaves only the list between
            const QString path = f.dataFileField->text();
            QVERIFY(ShowActive(f));
            f.urlField->setFocus();
            const QImage unfocused = f.resultList->grab().toImage();
            f.resultList->setFocus();
            QVERIFY(f.resultList->grab().toImage() != unfocused); // the list shows its focus
            f.urlField->setFocus();
            QCoreApplication::processEvents();
            // As a user fills the form: a word, then Tab, field after field.
            for (int field = 0; field < 5; ++field) {
                QTest::keyClicks(QApplication::focusWidget(), "abc");
                QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
                QCoreApplication::processEvents(); // the fields select their text on focus
            }
            QCOMPARE(f.urlField->text(), QString("abc"));
            QCOMPARE(f.commentField->toPlainText(), QString("abc"));
            QVERIFY(QApplication::focusWidget() != f.dataFileField);
            QTest::keyClicks(QApplication::focusWidget(), "xyz");
            QCOMPARE(f.dataFileField->text(), path);
        }
    }

    void aBadDataFileIsLeftAsItWas_data() {
        QTest::addColumn<QString>("name");         // below the home folder
        QTest::addColumn<QStringList>("searched"); // each message shown contains its text
        QTest::newRow("not a workbook")
            << "bad.xls" << QStringList{"bad.xls", "キー指定に誤りがあります"};
        QTest::newRow("missing folder")
            << "gone/bad.xls" << QStringList{"データファイルがありません"};
    }
    void aBadDataFileIsLeftAsItWas() {
        QFETCH(QString, name);
        QFETCH(QStringList, searched);
        MainWindowHarness h;
        QVERIFY(h.loadWith({MakeEntry(1, u"http://a.jp/", u"一")}));
        const fs::path bad = h.home() / name.toStdString();
        WriteBytes(h.home() / "bad.xls", {'<', 'h', 't', 'm', 'l', '>'});
        const auto before = fs::exists(bad) ? ReadBytes(bad) : std::vector<std::uint8_t>{};
        h.window().dataFileField->setText(Q(bad));

        h.window().searchButton->click();
        QStringList shown = h.takeMessages();
        QVERIFY2(ContainEach(shown, searched), qPrintable(shown.join(" | ")));
        h.setFields("http://b.jp/", "二");
        h.window().registerButton->click();
        shown = h.takeMessages();
        QVERIFY2(ContainEach(shown, {"", "データに誤りがあります"}), qPrintable(shown.join(" | ")));
        QCOMPARE(fs::exists(bad) ? ReadBytes(bad) : std::vector<std::uint8_t>{}, before);
        QVERIFY(!fs::exists(h.home() / "gone"));
    }

    // The keyword list reads the file without writing it and searches a
    // clicked keyword; its lines are no entries, so nothing may act on one:
    // not 削除, and a clicked keyword arms no entry for 更新.
    void theKeywordListSearchesAClickedKeywordAndArmsNoEntry() {
        MainWindowHarness h;
        QVERIFY(h.loadWith({MakeEntry(1, u"http://a.jp/", u"一", u"news sports"),
                            MakeEntry(2, u"http://b.jp/", u"二", u"sports　weather")}));
        MainWindow& f = h.window();
        f.show(); // clicks land where the items are drawn
        QVERIFY(QTest::qWaitForWindowExposed(&f));
        const auto click = [](QWidget* widget) {
            QTest::mouseClick(widget, Qt::LeftButton, {}, widget->rect().center());
        };
        const auto clickLine = [&](int row) {
            QTest::mouseClick(f.resultList->viewport(), Qt::LeftButton, {},
                              f.resultList->visualItemRect(f.resultList->item(row)).center());
        };
        const auto bytes = ReadBytes(h.defaultDataFile());
        click(f.keywordListButton);
        QCOMPARE(h.takeMessages(), QStringList{});
        QCOMPARE(h.listLines(), (QStringList{"news", "sports", "weather"}));
        QCOMPARE(ReadBytes(h.defaultDataFile()), bytes);
        clickLine(0);
        QCOMPARE(h.search(), QStringList{"[00001]:一"}); // for the keyword clicked
        clickLine(0);
        QCOMPARE(f.registerButton->text(), QString("更新"));
        click(f.keywordListButton);
        clickLine(0);
        h.setFields("http://a.jp/", "一");
        click(f.deleteButton);
        QCOMPARE(h.takeMessages(), QStringList{"削除するデータを一覧から選んでください"});
        clickLine(0); // the refusal ended the keyword list; the line is still no entry
        f.urlField->setText("http://c.jp/");
        f.titleField->setText("新");
        click(f.registerButton);
        QCOMPARE(h.takeMessages(), QStringList{"登録しました"});
        const auto entries = MainWindowHarness::ReadLiveEntries(h.defaultDataFile());
        QCOMPARE(entries.size(), 3u);
        QVERIFY(entries[0].url == u"http://a.jp/" && entries[0].title == u"一");
        QVERIFY(entries[2].url == u"http://c.jp/" && entries[2].title == u"新");
    }

    // Enter searches from the one-line search fields and, with Ctrl, from the
    // comment; the data file path and a committed conversion press nothing.
    void enterSearchesFromTheSearchFields() {
        MainWindowHarness h;
        QVERIFY(h.load());
        MainWindow& f = h.window();
        QVERIFY(ShowActive(f));
        QSignalSpy searched(f.searchButton, &QPushButton::clicked);
        QSignalSpy ended(f.okButton, &QPushButton::clicked);
        struct Row {
            QWidget* field;
            Qt::Key key;
            Qt::KeyboardModifiers modifiers;
            int searches;
        };
        const Row rows[] = {{f.urlField, Qt::Key_Return, {}, 1},
                            {f.titleField, Qt::Key_Enter, Qt::KeypadModifier, 1},
                            {f.subtitleField, Qt::Key_Return, {}, 1},
                            {f.keywordsField, Qt::Key_Return, {}, 1},
                            {f.commentField, Qt::Key_Return, {}, 0},
                            {f.commentField, Qt::Key_Return, Qt::ControlModifier, 1},
                            {f.dataFileField, Qt::Key_Return, {}, 0}};
        for (const Row& row : rows) {
            searched.clear();
            row.field->setFocus();
            QTest::keyClick(row.field, row.key, row.modifiers);
            QCOMPARE(searched.size(), row.searches);
        }
        QCOMPARE(f.commentField->toPlainText(), QStringLiteral("\n"));
        QCOMPARE(ended.size(), 0);

        searched.clear();
        f.titleField->setFocus();
        QInputMethodEvent commit;
        commit.setCommitString(QStringLiteral("漢字"));
        QApplication::sendEvent(f.titleField, &commit);
        QCOMPARE(f.titleField->text(), QStringLiteral("漢字"));
        QCOMPARE(searched.size(), 0);
    }

    // Enter presses the default button; Esc closes an idle dialog and is
    // ignored while it works (its close item removed); the conversion
    // window ignores Esc.
    void enterAndEscInTheDialogs() {
        MainWindowHarness h;
        QVERIFY(h.load());
        MainWindow& f = h.window();
        struct Row {
            QWidget* dialog;
            QLineEdit* field;
            QPushButton* ok;
        };
        const Row rows[] = {
            {f.htmlExportDialog, f.htmlExportDialog->pathField, f.htmlExportDialog->okButton},
            {f.mergeDialog, f.mergeDialog->pathField, f.mergeDialog->okButton}};
        for (const Row& row : rows) {
            QSignalSpy pressed(row.ok, &QPushButton::clicked);
            row.field->clear();
            row.dialog->show();
            row.field->setFocus();
            QTest::keyClick(row.field, Qt::Key_Return);
            QCOMPARE(pressed.size(), 1);
            QVERIFY(row.ok->isDefault());
            for (bool busy : {true, false}) {
                RemoveSystemMenuItem(row.dialog, busy ? 5 : 0, !busy);
                row.dialog->show();
                QTest::keyClick(row.field, Qt::Key_Escape);
                QCOMPARE(row.dialog->isVisible(), busy);
            }
        }
        QCOMPARE(h.takeMessages().size(), 2); // the two empty paths
        f.conversionProgress->show();
        QTest::keyClick(f.conversionProgress, Qt::Key_Escape);
        QVERIFY(f.conversionProgress->isVisible());
        QVERIFY(!h.window().upgradeState().conversionCancelRequested);
    }

    void dropsFillTheEditorWhereverTheyLand_data() {
        QTest::addColumn<QString>("target");
        QTest::addColumn<QString>("kind"); // text, link, file, files, empty
        QTest::addColumn<QString>("url");
        QTest::addColumn<QString>("title");
        const QString url = "http://oreilly.example/it's", none;
        QTest::newRow("text") << "MainWindow"
                              << "text" << QString("ただのテキスト") << none;
        QTest::newRow("link") << "MainWindow"
                              << "link" << QString("http://example.jp/?q=1") << none;
        for (const char* where :
             {"MainWindow", "urlField", "titleField", "titleLabel", "dataFileLabel",
              "keywordsField", "commentField", "dataFileField", "resultList"}) {
            QTest::addRow("shortcut on %s", where) << where << "file" << url << "O'Reilly";
        }
        QTest::addRow("two shortcuts") << "MainWindow"
                                       << "files" << QString("http://example.jp/ab") << "a.b";
        QTest::addRow("no target") << "subtitleField"
                                   << "empty" << none << "empty";
    }
    void dropsFillTheEditorWhereverTheyLand() {
        QFETCH(QString, target);
        QFETCH(QString, kind);
        QFETCH(QString, url);
        QFETCH(QString, title);
        MainWindowHarness h;
        FavoritesTree tree(h.home() / "Favorites");
        QVERIFY(h.load());
        h.setFields("http://old.jp/", "古い", "副", "語", "注");
        h.window().registerButton->setText("更新");
        const auto data = kind == "text"   ? Dragged(url)
                          : kind == "link" ? Dragged(url, {QUrl(url)})
                          : kind == "file" ? Files({tree.root() / "O'Reilly.url"})
                          : kind == "files"
                              ? Files({tree.root() / "a.b.url", tree.root() / "A.URL"})
                              : Files({tree.root() / "empty.url"});
        QVERIFY(Drop(Target(h.window(), target), data.get()));
        QCOMPARE(h.window().urlField->text(), url);
        QCOMPARE(h.window().titleField->text(), title);
        QVERIFY(h.window().subtitleField->text().isEmpty() &&
                h.window().keywordsField->text().isEmpty());
        QVERIFY(h.window().commentField->toPlainText().isEmpty());
        QCOMPARE(h.window().registerButton->text(), QString("登録"));
        QCOMPARE(h.window().dropCounters().shortcutErrorCount, kind == "empty" ? 1 : 0);
        QCOMPARE(h.window().dropCounters().shortcutNoTargetCount, kind == "empty" ? 1 : 0);
        QCOMPARE(h.takeMessages(), QStringList()); // nothing stored: a silent search
    }

    // The URL is looked up alone: the stored title differs from the file's,
    // and from the captured page's.
    void aStoredUrlSelectsItsEntry() {
        MainWindowHarness h;
        FavoritesTree tree(h.home() / "Favorites");
        LocalHttpServer server;
        server.serve("/p",
                     {"text/html", "<title>新しい題</title><meta name=keywords content=new>"});
        const QString page = QString::fromStdString(server.url("/p"));
        QVERIFY(h.loadWith({MakeEntry(3, u"http://example.jp/a", u"登録済み", u"語"),
                            MakeEntry(4, page.toStdU16String(), u"古い題", u"古")}));
        MainWindow::setCaptureEnvironment([&] {
            CaptureEnvironment env;
            env.home = env.configHome = h.home();
            env.clipboardText = [&] { return page.toStdString(); };
            return env;
        });
        h.window().captureButton->click();
        MainWindow::setCaptureEnvironment({});
        QCOMPARE(h.listLines(), QStringList{"[00004]:古い題"});
        QCOMPARE(h.window().keywordsField->text(), QString("古"));
        QCOMPARE(h.window().registerButton->text(), QString("更新"));
        QVERIFY(Drop(h.window().titleField, Files({tree.root() / "A.URL"}).get()));
        QCOMPARE(h.listLines(), QStringList{"[00003]:登録済み"});
        QCOMPARE(h.window().titleField->text(), QString("登録済み"));
        QCOMPARE(h.window().registerButton->text(), QString("更新"));
        // A shortcut without a target after that search: still the file's name.
        QVERIFY(Drop(h.window().titleField, Files({tree.root() / "empty.url"}).get()));
        QCOMPARE(h.window().titleField->text(), QString("empty"));
        // Something else is not taken, and changes nothing.
        QMimeData image;
        image.setData("image/png", QByteArray("\x89PNG", 4));
        QVERIFY(!Drop(h.window().urlField, &image));
        QCOMPARE(h.window().titleField->text(), QString("empty"));
    }
};

QTEST_MAIN(MainWindowTest)
#include "main_window_test.moc"
