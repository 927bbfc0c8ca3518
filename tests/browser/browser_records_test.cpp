// The browsers' own records as the capture reads them: Firefox's mozLz4 session file and
// places.sqlite, Chromium's History, both databases locked as a running browser holds them.
#include "browser/capture.h"
#include "browser/chromium_session.h"
#include "local_http_server.h"
#include "support/bounded_run.h"
#include "support/hostile_files.h"
#include "support/temp_dir.h"

#include <bit>
#include <gtest/gtest.h>
#include <lz4.h>
#include <nlohmann/json.hpp>
#include <span>
#include <sqlite3.h>

namespace tomorine::test {

namespace fs = std::filesystem;
using nlohmann::json;

// A number as `bytes` little-endian bytes, the order of the machines we test on.
static_assert(std::endian::native == std::endian::little);
static std::string Le(std::uint64_t value, int bytes) {
    return {reinterpret_cast<const char*>(&value), static_cast<std::size_t>(bytes)};
}

static std::string MozLz4(const std::string& text) {
    const int size = static_cast<int>(text.size());
    std::string block(static_cast<std::size_t>(LZ4_compressBound(size)), '\0');
    block.resize(static_cast<std::size_t>(
        LZ4_compress_default(text.data(), block.data(), size, static_cast<int>(block.size()))));
    return std::string("mozLz40\0", 8) + Le(text.size(), 4) + block;
}

// A Chromium session file: a record of another kind, then a tab navigation
// record (tab, index, URL, title, state, transition, post, referrer, policy,
// original URL, user agent flag, time since 1970 in microseconds) each.
static std::string Snss(const std::vector<std::pair<std::string, long long>>& navigations) {
    std::string file("SNSS\3\0\0\0\x05\0\x0c\1\0\0\0", 15);
    for (const auto& [url, when] : navigations) {
        const std::string fields =
            std::string(8, '\0') + Le(url.size(), 4) + url + std::string(-url.size() & 3, '\0') +
            std::string(32, '\0') +
            Le(static_cast<std::uint64_t>(when + 11'644'473'600'000'000LL), 8);
        file += Le(fields.size() + 5, 2) + '\x06' + Le(fields.size(), 4) + fields;
    }
    return file;
}

using Visits = std::vector<std::tuple<std::string, std::string, long long>>;

using Database = std::unique_ptr<sqlite3, int (*)(sqlite3*)>;

// A history database of a page table (id, url, title, last visit) and a
// visit table (page, time), as little of the browser's as the capture reads,
// held open with an exclusive lock and its changes left in the -wal file.
static Database LockedHistory(const fs::path& path, const std::string& pages,
                              const std::string& visits, const Visits& rows, long long epoch) {
    fs::create_directories(path.parent_path());
    sqlite3* db = nullptr;
    EXPECT_EQ(sqlite3_open(path.c_str(), &db), SQLITE_OK);
    std::string sql = "PRAGMA journal_mode=WAL; PRAGMA wal_autocheckpoint=0;"
                      "PRAGMA locking_mode=EXCLUSIVE; CREATE TABLE " +
                      pages + ";CREATE TABLE " + visits + ";";
    int id = 0;
    for (const auto& [url, title, when] : rows) {
        const std::string n = std::to_string(++id), time = std::to_string(when + epoch);
        sql += "INSERT INTO " + pages.substr(0, pages.find('(')) + " VALUES (" + n + ",'" + url +
               "','" + title + "'," + time + ");INSERT INTO " + visits.substr(0, visits.find('(')) +
               " VALUES (" + n + "," + time + ");";
    }
    EXPECT_EQ(sqlite3_exec(db, sql.c_str(), nullptr, nullptr, nullptr), SQLITE_OK);
    return {db, sqlite3_close};
}

// A home folder with a Firefox and a Chromium profile, pages on a local server.
class BrowserRecordsTest : public ::testing::Test {
protected:
    void SetUp() override {
        WriteText(home / ".mozilla/firefox/profiles.ini",
                  "[Profile1]\nName=other\nIsRelative=1\nPath=other.profile\n\n"
                  "[Profile0]\nName=default\nIsRelative=1\nPath=abc.default\nDefault=1\n");
        fs::create_directories(home / ".mozilla/firefox/other.profile");
        env.home = home.path();
        env.configHome = home / ".config";
        for (const char* page : {"/news", "/old", "/chromium", "/clip"}) {
            server.serve(page, {"text/html; charset=utf-8",
                                std::string("<title>own</title><meta content=\"") + (page + 1) +
                                    ",x\" name=\"keywords\">"});
        }
    }

    fs::path firefox() const { return home / ".mozilla/firefox/abc.default"; }
    Database firefoxHistory(const Visits& rows) const {
        return LockedHistory(firefox() / "places.sqlite",
                             "moz_places(id, url, title, last_visit_date)",
                             "moz_historyvisits(place_id, visit_date)", rows, 0);
    }
    // The URL captured from a Firefox window showing `title`.
    std::string firefoxUrl(const std::string& title) {
        return CaptureFromBrowser(Window(title + " — Mozilla Firefox", "firefox"), env).url;
    }
    fs::path chromium() const { return home / ".config/chromium/Profile 1"; }

    void session(const json& windows) {
        WriteText(firefox() / "sessionstore-backups/recovery.jsonlz4",
                  MozLz4(json{{"version", json::array({"sessionrestore", 1})}, {"windows", windows}}
                             .dump()));
    }

    // A tab showing the second page of its history.
    static json Tab(const std::string& url, const std::string& title) {
        return {{"entries", json::array({{{"url", "http://127.0.0.1:1/back"}, {"title", "back"}},
                                         {{"url", url}, {"title", title}}})},
                {"index", 2}};
    }

    static ForeignWindow Window(const std::string& title, const std::string& windowClass) {
        return {0x1200007, 4242, title, "Navigator", windowClass};
    }

    TempDir home;
    LocalHttpServer server;
    CaptureEnvironment env;
};

// The tab in whichever window holds it; the history read from a copy, the
// browser's locked files left as they were.
TEST_F(BrowserRecordsTest, firefoxTakesTheOpenTabThenTheNewestVisitOfTheTitle) {
    auto db = firefoxHistory({{server.url("/old"), "ニュース", 1'000'000},
                              {server.url("/old"), "同じ題", 1'000'000},
                              {server.url("/clip"), "同じ題", 2'000'000},
                              {"file:///tmp/x", "同じ題", 3'000'000}});
    const auto wal = ReadBytes(firefox() / "places.sqlite-wal");
    session(json::array({{{"tabs", json::array({Tab(server.url("/news"), "ニュース")})}},
                         {{"tabs", json::array({Tab(server.url("/chromium"), "二つ目")})}}}));
    const CapturedPage page =
        CaptureFromBrowser(Window("ニュース — Mozilla Firefox", "firefox-esr"), env);
    EXPECT_EQ(std::tie(page.url, page.title, page.keywords),
              std::tuple(server.url("/news"), "ニュース", "NEWS X"));
    EXPECT_EQ(firefoxUrl("二つ目"), server.url("/chromium"));
    EXPECT_EQ(firefoxUrl("同じ題"), server.url("/clip"));
    EXPECT_EQ(ReadBytes(firefox() / "places.sqlite-wal"), wal);
    EXPECT_FALSE(fs::exists(firefox() / "places.sqlite-shm"));
}

// A session file that is no file, or claims more than it holds, is passed over
// at once, within a bounded memory; a profile list that is no file is no list.
TEST_F(BrowserRecordsTest, hostileSessionFilesGiveWayToTheHistory) {
    auto db = firefoxHistory({{server.url("/old"), "題", 1'000'000}});
    const std::string claims512Mb = MozLz4(std::string(4096, 'x')).replace(8, 4, "\0\0\0\x20", 4);
    const std::string truncated = MozLz4(std::string(99, 'y')).substr(0, 16);
    const std::tuple<Hostile, std::uintmax_t, std::string> files[] = {
        {Hostile::Fifo, 0, ""},
        {Hostile::DevZero, 0, ""},
        {Hostile::Huge, kHugeBytes, "mozLz40"},
        {Hostile::Huge, claims512Mb.size(), claims512Mb},
        {Hostile::Huge, truncated.size(), truncated}};
    const fs::path session = firefox() / "sessionstore-backups/recovery.jsonlz4";
    fs::create_directories(session.parent_path());
    for (const auto& [kind, bytes, head] : files) {
        fs::remove(session);
        MakeHostile(kind, session, bytes, head);
        ExpectWithinBounds(
            [&] { EXPECT_EQ(firefoxUrl("題"), server.url("/old")) << HostileName(kind) << bytes; },
            256);
    }
    fs::remove(home / ".mozilla/firefox/profiles.ini");
    MakeHostile(Hostile::Fifo, home / ".mozilla/firefox/profiles.ini");
    EXPECT_EQ(firefoxUrl("題"), "");
}

TEST_F(BrowserRecordsTest, brokenRecordsAreSkipped) {
    WriteText(firefox() / "places.sqlite", "not a database at all, just text");
    WriteText(home / ".config/chromium/Local State", "{not json");
    WriteText(home / ".config/chromium/Default/History", "");
    EXPECT_EQ(firefoxUrl("x"), "");
    EXPECT_EQ(CaptureFromBrowser(ForeignWindow{}, env).url, "");
    session(json::array({{{"tabs", "not an array"}}}));
    EXPECT_EQ(firefoxUrl("x"), "");
}

// Chromium's History gives the newest visit of the title; its session file
// has the page seconds before History: the window's page found in neither
// is waited for, then the newest taken.
TEST_F(BrowserRecordsTest, chromiumTakesTheNewerOfSessionFileAndHistory) {
    WriteText(home / ".config/chromium/Local State",
              R"({"profile":{"last_used":"Profile 1","info_cache":{"Profile 1":{}}}})");
    auto db = LockedHistory(
        chromium() / "History", "urls(id, url, title, last_visit_time)", "visits(url, visit_time)",
        {{server.url("/clip"), "前の頁", 4'000'000}, {server.url("/old"), "前の頁", 5'000'000}},
        11'644'473'600'000'000LL);
    WriteText(chromium() / "Sessions/Session_13300000000000000",
              Snss({{server.url("/old"), 5'000'000},
                    {server.url("/news"), 7'000'000},
                    {"chrome://newtab/", 9'000'000}}));
    env.recordWait = std::chrono::milliseconds(300);
    int waits = 0;
    env.waiting = [&] { ++waits; };
    const CapturedPage old = CaptureFromBrowser(Window("前の頁 - Chromium", "Chromium"), env);
    EXPECT_EQ(std::tie(old.url, old.title, waits), std::tuple(server.url("/old"), "前の頁", 0));
    const CapturedPage page = CaptureFromBrowser(Window("新しい頁 - Chromium", "Chromium"), env);
    EXPECT_EQ(std::tie(page.url, page.title, waits),
              std::tuple(server.url("/news"), "新しい頁", 1));
    EXPECT_EQ(CaptureFromBrowser(ForeignWindow{}, env).url, server.url("/news"));
}

TEST(SessionNavigations, readsNothingBeyondAWellFormedRecord) {
    const std::string good = Snss({{"http://a.example/", 1}});
    auto count = [](const std::string& bytes) {
        return SessionNavigations(
                   {reinterpret_cast<const std::uint8_t*>(bytes.data()), bytes.size()})
            .size();
    };
    const std::size_t url = 30; // header, another record, size, id, payload, tab, index
    auto patched = [&](std::size_t at, std::int64_t value, int bytes) {
        return std::string(good).replace(at, static_cast<std::size_t>(bytes),
                                         Le(static_cast<std::uint64_t>(value), bytes));
    };
    const std::pair<std::string, std::size_t> cases[] = {
        {"SNSX" + good.substr(4), 0},
        {patched(15, 0, 2), 0},                // a record of no bytes
        {patched(url, -4, 4), 0},              // a negative length
        {patched(url, 0x7FFFFFFF, 4), 0},      // far beyond the record
        {patched(url + 24, 0x7FFFFFFF, 4), 0}, // the title's units overflow as bytes
        {patched(url - 12, 0x7FFFFFF0, 4), 0}, // a payload size beyond the record
        {good + good.substr(15), 2},
    };
    for (const auto& [bytes, navigations] : cases) {
        EXPECT_EQ(count(bytes), navigations) << testing::PrintToString(bytes);
    }
    for (std::size_t size = 0; size < good.size(); ++size) {
        EXPECT_EQ(count(good.substr(0, size)), 0u) << size;
    }
}

} // namespace tomorine::test
