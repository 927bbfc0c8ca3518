// The broken-link check window through the real main window, against a
// server of the test's own on 127.0.0.1.
#include "form1_harness.h"
#include "link_check_fixture.h"
#include "linkcheck/link_check_messages.h"
#include "mainwindow/form4.h"
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

namespace {

QStringList Lines(const QTreeWidget* list) {
    QStringList lines;
    for (int i = 0; i < list->topLevelItemCount(); ++i) {
        lines << list->topLevelItem(i)->text(0);
    }
    return lines;
}

bool Finished(const Form4& form4) {
    return form4.StatusBar1->currentMessage() == QStringLiteral("リンクチェック完了");
}

// Presses リンクチェック; once `ready` holds while the window is open, runs
// `act` on it and presses OK (unless `act` hid the window). Returns when the
// modal display has ended.
void WhileOpen(Form1& form1, const std::function<bool(Form4&)>& ready,
               const std::function<void(Form4&)>& act) {
    Form4& form4 = *form1.form4;
    bool acted = false;
    QTimer poll;
    QObject::connect(&poll, &QTimer::timeout, [&] {
        if (!acted && form4.isVisible() && ready(form4)) {
            acted = true;
            act(form4);
            if (form4.isVisible()) {
                form4.Command5->click();
            }
        }
    });
    poll.start(10);
    QTimer::singleShot(30000, &form4, [&] { form4.Command5->click(); }); // a failing test ends
    form1.Command12->click();
    QVERIFY(acted);
}

} // namespace

class Form4Test : public QObject {
    Q_OBJECT
    std::vector<QString> opened;

private slots:
    void init() {
        Form4::SetStartDelayMilliseconds(0);
        opened.clear();
        Form4::SetOpenUrl([this](const QUrl& url) {
            opened.push_back(url.toString());
            return true;
        });
    }

    // The dead lines in row order with their reasons, shown and, once the
    // question is answered, deleted; after the refresh the lines still name
    // their own entries (row 4 at the check is row 3 now).
    void listsTheDeadLinesAndDeletesTheSelected() {
        LocalHttpServer server;
        Form1Harness h;
        const auto file = h.defaultDataFile();
        WriteEntries(file,
                     {UrlEntry(1, server.url("/ok"), u"生"),
                      UrlEntry(2, server.url("/status/404"), u"四〇四"),
                      UrlEntry(3, server.refusedUrl(), u"拒否"),
                      UrlEntry(4, server.url("/status/404"), u"削除済み"),
                      UrlEntry(5, server.url("/redirect/2/status/410"), u"四一〇"),
                      UrlEntry(6, "http://gone.invalid/ページ", u"名前なし"),
                      UrlEntry(7, "", u"空")},
                     {4});
        QVERIFY(h.load());
        h.form().form4->checkOptions = LoopbackOptions(server);
        WhileOpen(h.form(), Finished, [&](Form4& form4) {
            QCOMPARE(Lines(form4.List1),
                     QStringList({"[00002]:四〇四", "[00003]:拒否", "[00005]:四一〇",
                                  "[00006]:名前なし", "[00007]:空"}));
            QCOMPARE(form4.Label3->text(), QStringLiteral("6 / 6"));
            QCOMPARE(form4.List1->topLevelItem(1)->text(1),
                     QStringLiteral("接続不可: 接続できません"));
            QTest::mouseClick(form4.List1->viewport(), Qt::LeftButton, {},
                              form4.List1->visualItemRect(form4.List1->topLevelItem(3)).center());
            QCOMPARE(form4.Text1->text(), QStringLiteral("http://gone.invalid/ページ"));
            form4.List1_DblClick();
            QCOMPARE(opened.size(), size_t(1));

            for (int line : {1, 3, 4}) {
                form4.List1->topLevelItem(line)->setSelected(true);
            }
            MessageBoxSeam::queueAnswers({AnswerCancel});
            form4.Command4->click();
            const auto asked = h.takeShown();
            QCOMPARE(asked.size(), size_t(1));
            QCOMPARE(asked[0].text, QStringLiteral("3件のデータを削除しますか\n"
                                                   "(接続不可 2件、無効なURL 1件)"));
            QCOMPARE(asked[0].style, MessageStyle::OkCancel);
            QCOMPARE(h.liveSerials(), (std::vector<std::int32_t>{1, 2, 3, 5, 6, 7}));
            form4.Command4->click();
            QCOMPARE(h.takeMessages().size(), 1);
            QCOMPARE(Lines(form4.List1), QStringList({"[00002]:四〇四", "[00005]:四一〇"}));
            QCOMPARE(h.liveSerials(), (std::vector<std::int32_t>{1, 2, 5}));
            form4.Command2->click();
            form4.List1->topLevelItem(1)->setSelected(true);
            form4.Command4->click();
            QCOMPARE(h.liveSerials(), (std::vector<std::int32_t>{1, 2}));
        });
        QVERIFY(!h.form().form4->isVisible());
    }

    // OK, and Esc as OK, stop a running check at once; the close box only
    // says so. The foreground watch was paused for the check and resumed.
    void okStopsARunningCheckWithinASecond() {
        for (bool byEsc : {false, true}) {
            LocalHttpServer server;
            Form1Harness h;
            WriteEntries(h.defaultDataFile(),
                         {UrlEntry(1, "", u"空"), UrlEntry(2, server.url("/hang"), u"待ち")});
            QVERIFY(h.load());
            std::vector<bool> watch;
            h.state().SetForegroundWatchEnabled = [&](bool on) { watch.push_back(on); };
            h.form().form4->checkOptions = LoopbackOptions(server, {}, 60s);
            Clock::time_point pressed;
            WhileOpen(
                h.form(),
                [&](Form4& form4) {
                    return form4.List1->topLevelItemCount() == 1 && server.requests() >= 1;
                },
                [&](Form4& form4) {
                    QCOMPARE(form4.Label3->text(), QStringLiteral("1 / 2"));
                    form4.close();
                    QVERIFY(form4.isVisible());
                    QTest::qWait(100);
                    QCOMPARE(form4.StatusBar1->currentMessage(),
                             QStringLiteral("チェック中です。中止するにはOKを押してください"));
                    QVERIFY(h.state().LinkCheckRunning);
                    pressed = Clock::now();
                    if (byEsc) {
                        QTest::keyClick(form4.Text1, Qt::Key_Escape);
                    } else {
                        form4.Command5->click();
                    }
                });
            QVERIFY(Clock::now() - pressed < 1s);
            QCOMPARE(h.form().form4->StatusBar1->currentMessage(), QStringLiteral("中止"));
            QVERIFY(!h.state().LinkCheckRunning);
            QCOMPARE(watch, (std::vector<bool>{false, true}));
        }
    }

    // A deletion that cannot be saved is reported naming the file; with no
    // answer from anywhere the check says the network is down and 削除実行
    // deletes nothing, asking nothing. The file and the lines stay as they were.
    void aDeletionThatCannotBeDoneChangesNothing() {
        for (bool offline : {false, true}) {
            LocalHttpServer server;
            Form1Harness h;
            const auto file = h.defaultDataFile();
            WriteEntries(file, {UrlEntry(1, offline ? server.refusedUrl() : "", u"一"),
                                UrlEntry(2, "", u"空")});
            QVERIFY(h.load());
            h.form().form4->checkOptions = LoopbackOptions(server);
            WhileOpen(h.form(), Finished, [&](Form4& form4) {
                QCOMPARE(h.takeMessages(),
                         offline ? QStringList{ToQString(LinkCheckMessages::NetworkDown)}
                                 : QStringList{});
                if (!offline) {
                    WriteBytes(file, std::vector<std::uint8_t>(4096, 0x42));
                }
                const auto before = ReadBytes(file);
                form4.Command1->click();
                form4.Command4->click();
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
                QCOMPARE(form4.List1->topLevelItemCount(), 2);
                QVERIFY(ReadBytes(file) == before);
            });
        }
    }
};

QTEST_MAIN(Form4Test)
#include "form4_test.moc"
