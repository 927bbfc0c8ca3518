// The foreground watch and IE取得 on the real main window: a fake desktop,
// a home folder with a browser's history, pages on a local server. What a
// capture reads and decodes is the browser engine's tests' concern.
#include "browser/capture.h"
#include "browser/foreground_watch.h"
#include "form1_harness.h"
#include "local_http_server.h"

#include <QClipboard>
#include <QGuiApplication>
#include <QTimer>
#include <fstream>
#include <sqlite3.h>

using namespace tomorine;
using namespace tomorine::test;

namespace {

class FakeDesktop : public Desktop {
public:
    explicit FakeDesktop(ForeignWindow* active) : active_(active) {}
    ForeignWindow ActiveWindow() override { return *active_; }

private:
    ForeignWindow* active_;
};

// A Firefox profile under `home` whose history holds one visit.
void FirefoxHistory(const std::filesystem::path& home, const std::string& url,
                    const std::string& title) {
    const auto base = home / ".mozilla/firefox";
    std::filesystem::create_directories(base / "p.default");
    std::ofstream(base / "profiles.ini") << "[Profile0]\nPath=p.default\nIsRelative=1\nDefault=1\n";
    sqlite3* db = nullptr;
    sqlite3_open((base / "p.default/places.sqlite").c_str(), &db);
    const std::string sql =
        "CREATE TABLE moz_places (id INTEGER PRIMARY KEY, url TEXT, title TEXT, "
        "last_visit_date INTEGER);"
        "CREATE TABLE moz_historyvisits (id INTEGER PRIMARY KEY, place_id INTEGER, "
        "visit_date INTEGER);"
        "INSERT INTO moz_places VALUES (1, '" +
        url + "', '" + title +
        "', 1);"
        "INSERT INTO moz_historyvisits VALUES (1, 1, 1);";
    sqlite3_exec(db, sql.c_str(), nullptr, nullptr, nullptr);
    sqlite3_close(db);
}

} // namespace

class CaptureTest : public QObject {
    Q_OBJECT
private:
    ForeignWindow active_;
    TempDir home_;
    LocalHttpServer server_;
    FetchOptions fetch_;

private slots:
    void init() {
        active_ = {};
        fetch_ = {};
        Form1::SetDesktop([this] { return std::make_unique<FakeDesktop>(&active_); });
        Form1::SetCaptureEnvironment([this] {
            CaptureEnvironment env;
            env.home = home_.path();
            env.configHome = home_ / ".config";
            env.fetch = fetch_;
            return env;
        });
        std::filesystem::remove_all(home_ / ".mozilla");
        QGuiApplication::clipboard()->clear();
        server_.serve("/news", {"text/html; charset=Shift_JIS",
                                "<html><head><title>x</title>"
                                "<meta content=\"news,sports\" name=\"keywords\"></head></html>"});
    }

    void cleanup() {
        Form1::SetDesktop({});
        Form1::SetCaptureEnvironment({});
    }

    void theWatchKeepsTheLastWindowOfAnotherProgram() {
        Form1Harness h;
        QVERIFY(h.load());
        QVERIFY(h.form().Timer1 && h.form().Timer1->isActive());
        QCOMPARE(h.form().Timer1->interval(), 100);
        QCOMPARE(h.state().LastForeignWindow.id, 0u);
        active_ = {0x400001, 77, "ニュース — Mozilla Firefox", "Navigator", "firefox-esr"};
        QTRY_COMPARE(h.state().LastForeignWindow.id, 0x400001u);
        QCOMPARE(h.state().LastForeignWindow.className, std::string("firefox-esr"));
        h.form().show();
        active_ = {static_cast<std::uint32_t>(h.form().winId()), 0, "トモリネ", "", ""};
        QTest::qWait(250);
        QCOMPARE(h.state().LastForeignWindow.id, 0x400001u);
        h.form().PauseForegroundWatch();
        active_ = {0x500001, 78, "b - Chromium", "chromium", "Chromium"};
        QTest::qWait(250);
        QCOMPARE(h.state().LastForeignWindow.id, 0x400001u);
        h.form().ResumeForegroundWatch();
        QTRY_COMPARE(h.state().LastForeignWindow.id, 0x500001u);
    }

    // A new page fills the fields in register mode; once registered, the
    // next capture of it finds and selects the stored entry; a window that is
    // no browser gives nothing.
    void captureFillsTheFieldsAndFindsTheStoredEntry() {
        const std::string url = server_.url("/news");
        FirefoxHistory(home_.path(), url, "今日のニュース");
        Form1Harness h;
        QVERIFY(h.load());
        h.setFields("old", "old", "sub", "kw", "comment");
        h.state().LastForeignWindow = {9, 77, "今日のニュース — Mozilla Firefox", "Navigator",
                                       "firefox-esr"};
        h.form().Command8->click();
        QCOMPARE(h.form().Text1->text(), QString::fromStdString(url));
        QCOMPARE(h.form().Text2->text(), QString("今日のニュース"));
        QCOMPARE(h.form().Text3->text(), QString());
        QCOMPARE(h.form().Text4->text(), QString("NEWS SPORTS"));
        QCOMPARE(h.form().Text5->toPlainText(), QString());
        QCOMPARE(h.form().Command2->text(), QString("登録"));
        QVERIFY(h.listLines().isEmpty());

        h.form().Text5->setPlainText("メモ");
        h.form().Command2->click();
        h.setFields("old", "old", "sub", "kw", "comment");
        h.form().Command8->click();
        QCOMPARE(h.listLines(), QStringList{"[00001]:今日のニュース"});
        QCOMPARE(h.form().List1->currentRow(), 0);
        QCOMPARE(h.form().Command2->text(), QString("更新"));
        QCOMPARE(h.form().Text5->toPlainText(), QString("メモ"));
        QCOMPARE(h.takeMessages(), QStringList{"登録しました"});

        // Nothing found: empty fields, no message.
        h.state().LastForeignWindow = {9, 77, "端末", "xterm", "XTerm"};
        h.form().Command8->click();
        for (QLineEdit* field : {h.form().Text1, h.form().Text2, h.form().Text3, h.form().Text4}) {
            QCOMPARE(field->text(), QString());
        }
        QVERIFY(h.takeMessages().isEmpty());
    }

    // A window unknown to the watch: the clipboard's URL, fetched off the
    // window's thread.
    void theWindowKeepsRunningWhileThePageIsFetched() {
        LocalHttpServer::Response silent;
        silent.silent = true;
        server_.serve("/silent", silent);
        fetch_.timeoutMilliseconds = 1500;
        QGuiApplication::clipboard()->setText(QString::fromStdString(server_.url("/silent")));
        Form1Harness h;
        QVERIFY(h.load());
        bool ticked = false;
        QTimer::singleShot(100, [&] { ticked = true; });
        h.form().Command8->click();
        QVERIFY(ticked);
        QCOMPARE(h.form().Text1->text(), QString::fromStdString(server_.url("/silent")));
        QCOMPARE(h.form().Text4->text(), QString());
    }
};

QTEST_MAIN(CaptureTest)
#include "form1_capture_test.moc"
