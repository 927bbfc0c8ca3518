// The broken-link check window through the real main window, against a loopback server.
#include "link_check_fixture.h"
#include "linkcheck/link_check_messages.h"
#include "main_window_harness.h"
#include "mainwindow/link_check_dialog.h"
#include "mainwindow/qt_text.h"
#include "store/message_style.h"

#include <QLineEdit>
#include <QPushButton>
#include <QStatusBar>
#include <QTest>
#include <QTimer>
#include <QTreeWidget>
#include <QUrl>

using namespace tomorine;
using namespace tomorine::test;
using namespace std::chrono_literals;
using Clock = std::chrono::steady_clock;

static QStringList Lines(const QTreeWidget* list) {
    QStringList lines;
    for (int i = 0; i < list->topLevelItemCount(); ++i) {
        lines << list->topLevelItem(i)->text(0);
    }
    return lines;
}

static bool Finished(const LinkCheckDialog& dialog) {
    return dialog.statusBar->currentMessage() == QStringLiteral("リンクチェック完了");
}

// Presses リンクチェック; once `ready` holds while the window is open, runs
// `act` on it and presses OK (unless `act` hid the window). Returns when the
// modal display has ended.
static void WhileOpen(MainWindow& mainWindow, const std::function<bool(LinkCheckDialog&)>& ready,
                      const std::function<void(LinkCheckDialog&)>& act) {
    LinkCheckDialog& dialog = *mainWindow.linkCheckDialog;
    bool acted = false;
    QTimer poll;
    QObject::connect(&poll, &QTimer::timeout, [&] {
        if (!acted && dialog.isVisible() && ready(dialog)) {
            acted = true;
            act(dialog);
            if (dialog.isVisible()) {
                dialog.okButton->click();
            }
        }
    });
    poll.start(10);
    QTimer::singleShot(30000, &dialog, [&] { dialog.okButton->click(); }); // a failing test ends
    mainWindow.linkCheckButton->click();
    QVERIFY(acted);
}

class LinkCheckDialogTest : public QObject {
    Q_OBJECT
    std::vector<QString> opened;

private slots:
    void init() {
        LinkCheckDialog::setStartDelayMilliseconds(0);
        opened.clear();
        LinkCheckDialog::setOpenUrl([this](const QUrl& url) {
            opened.push_back(url.toString());
            return true;
        });
    }

    // The dead lines in row order with their reasons, shown and, once the
    // question is answered, deleted; after the refresh the lines still name
    // their own entries (row 4 at the check is row 3 now).
    void listsTheDeadLinesAndDeletesTheSelected() {
        LocalHttpServer server;
        MainWindowHarness h;
        WriteEntries(h.defaultDataFile(),
                     {UrlEntry(1, server.url("/ok"), u"生"),
                      UrlEntry(2, server.url("/status/404"), u"四〇四"),
                      UrlEntry(3, server.refusedUrl(), u"拒否"),
                      UrlEntry(4, server.url("/status/404"), u"削除済み"),
                      UrlEntry(5, server.url("/redirect/2/status/410"), u"四一〇"),
                      UrlEntry(6, "http://gone.invalid/ページ", u"名前なし"),
                      UrlEntry(7, "", u"空")},
                     {4});
        QVERIFY(h.load());
        h.window().linkCheckDialog->checkOptions = LoopbackOptions(server);
        WhileOpen(h.window(), Finished, [&](LinkCheckDialog& dialog) {
            QCOMPARE(Lines(dialog.deadLinkList),
                     QStringList({"[00002]:四〇四", "[00003]:拒否", "[00005]:四一〇",
                                  "[00006]:名前なし", "[00007]:空"}));
            QCOMPARE(dialog.progressLabel->text(), QStringLiteral("6 / 6"));
            QCOMPARE(dialog.deadLinkList->topLevelItem(1)->text(1),
                     QStringLiteral("接続不可: 接続できません"));
            QTest::mouseClick(
                dialog.deadLinkList->viewport(), Qt::LeftButton, {},
                dialog.deadLinkList->visualItemRect(dialog.deadLinkList->topLevelItem(3)).center());
            QCOMPARE(dialog.urlField->text(), QStringLiteral("http://gone.invalid/ページ"));
            dialog.lineDoubleClicked();
            QCOMPARE(opened.size(), size_t(1));

            for (int line : {1, 3, 4}) {
                dialog.deadLinkList->topLevelItem(line)->setSelected(true);
            }
            MessageBoxSeam::queueAnswers({AnswerCancel});
            dialog.deleteButton->click();
            const auto asked = h.takeShown();
            QCOMPARE(asked.size(), size_t(1));
            QCOMPARE(asked[0].text, QStringLiteral("3件のデータを削除しますか\n"
                                                   "(接続不可 2件、無効なURL 1件)"));
            QCOMPARE(asked[0].style, MessageStyle::OkCancel);
            QCOMPARE(h.liveSerials(), (std::vector<std::int32_t>{1, 2, 3, 5, 6, 7}));
            dialog.deleteButton->click();
            QCOMPARE(h.takeMessages().size(), 1);
            QCOMPARE(Lines(dialog.deadLinkList), QStringList({"[00002]:四〇四", "[00005]:四一〇"}));
            QCOMPARE(h.liveSerials(), (std::vector<std::int32_t>{1, 2, 5}));
            dialog.deselectAllButton->click();
            dialog.deadLinkList->topLevelItem(1)->setSelected(true);
            dialog.deleteButton->click();
            QCOMPARE(h.liveSerials(), (std::vector<std::int32_t>{1, 2}));
        });
    }

    // OK, and Esc as OK, stop a running check at once; the close box only
    // says so. The foreground watch was paused for the check and resumed.
    void okStopsARunningCheckWithinASecond() {
        for (bool byEsc : {false, true}) {
            LocalHttpServer server;
            MainWindowHarness h;
            QVERIFY(
                h.loadWith({UrlEntry(1, "", u"空"), UrlEntry(2, server.url("/hang"), u"待ち")}));
            std::vector<bool> watch;
            h.window().linkCheckDialog->setForegroundWatchEnabled = [&](bool on) {
                watch.push_back(on);
            };
            h.window().linkCheckDialog->checkOptions = LoopbackOptions(server, {}, 60s);
            Clock::time_point pressed;
            WhileOpen(
                h.window(),
                [&](LinkCheckDialog& dialog) {
                    return dialog.deadLinkList->topLevelItemCount() == 1 && server.requests() >= 1;
                },
                [&](LinkCheckDialog& dialog) {
                    QCOMPARE(dialog.progressLabel->text(), QStringLiteral("1 / 2"));
                    dialog.close();
                    QVERIFY(dialog.isVisible());
                    QTest::qWait(100);
                    QCOMPARE(dialog.statusBar->currentMessage(),
                             QStringLiteral("チェック中です。中止するにはOKを押してください"));
                    QVERIFY(h.window().linkCheckDialog->isRunning());
                    pressed = Clock::now();
                    if (byEsc) {
                        QTest::keyClick(dialog.urlField, Qt::Key_Escape);
                    } else {
                        dialog.okButton->click();
                    }
                });
            QVERIFY(Clock::now() - pressed < 1s);
            QCOMPARE(h.window().linkCheckDialog->statusBar->currentMessage(),
                     QStringLiteral("中止"));
            QVERIFY(!h.window().linkCheckDialog->isRunning());
            QCOMPARE(watch, (std::vector<bool>{false, true}));
        }
    }

    // A deletion that cannot be saved is reported naming the file; with no
    // answer from anywhere the check says the network is down and 削除実行
    // deletes nothing, asking nothing. The file and the lines stay as they were.
    void aDeletionThatCannotBeDoneChangesNothing() {
        for (bool offline : {false, true}) {
            LocalHttpServer server;
            MainWindowHarness h;
            const auto file = h.defaultDataFile();
            QVERIFY(h.loadWith(
                {UrlEntry(1, offline ? server.refusedUrl() : "", u"一"), UrlEntry(2, "", u"空")}));
            h.window().linkCheckDialog->checkOptions = LoopbackOptions(server);
            WhileOpen(h.window(), Finished, [&](LinkCheckDialog& dialog) {
                QCOMPARE(h.takeMessages(),
                         offline ? QStringList{ToQString(LinkCheckMessages::NetworkDown)}
                                 : QStringList{});
                if (!offline) {
                    WriteBytes(file, std::vector<std::uint8_t>(4096, 0x42));
                }
                const auto before = ReadBytes(file);
                dialog.selectAllButton->click();
                dialog.deleteButton->click();
                const auto shown = h.takeShown();
                if (offline) {
                    QCOMPARE(shown.size(), size_t(1));
                    QCOMPARE(shown[0].text, ToQString(LinkCheckMessages::NothingDeletedOffline));
                } else { // the question, then the failure
                    QVERIFY(shown.size() >= 2);
                    QVERIFY2(shown[1].text.contains(QStringLiteral("トモリネ.xls")),
                             qPrintable(shown[1].text));
                    QCOMPARE(shown[1].style, MessageStyle::Critical);
                }
                QCOMPARE(dialog.deadLinkList->topLevelItemCount(), 2);
                QVERIFY(ReadBytes(file) == before);
            });
        }
    }
};

QTEST_MAIN(LinkCheckDialogTest)
#include "link_check_dialog_test.moc"
