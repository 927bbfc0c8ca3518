// tomorine-cli capture: a given URL's page read for its title and keywords,
// and without one the browsers' most recent page.
#include "cli/command_options.h"
#include "cli/commands.h"
#include "local_http_server.h"
#include "support/temp_dir.h"

#include <cstdlib>
#include <fstream>
#include <gtest/gtest.h>
#include <nlohmann/json.hpp>
#include <sqlite3.h>
#include <sstream>

namespace tomorine::test {
namespace {

struct CliResult {
    int status;
    std::string out, err;
};

CliResult Capture(std::vector<std::string> args) {
    std::ostringstream out, err;
    std::istringstream in;
    cli::Invocation call{std::move(args), out, err, in};
    try {
        return {cli::CaptureCommand(call), out.str(), err.str()};
    } catch (const cli::UsageError& e) {
        return {cli::ExitUsage, out.str(), e.what()};
    }
}

class CaptureCommandTest : public ::testing::Test {
protected:
    void SetUp() override {
        server.serve("/p", {"text/html; charset=EUC-JP",
                            "<title>\xA5\xDA\xA1\xBC\xA5\xB8</title>" // ページ
                            "<meta content=a,b name=keywords>"});
        const char* home = std::getenv("HOME");
        savedHome = home ? home : "";
        setenv("HOME", dir.path().c_str(), 1);
        unsetenv("XDG_CONFIG_HOME");
    }
    void TearDown() override { setenv("HOME", savedHome.c_str(), 1); }

    TempDir dir;
    LocalHttpServer server;
    std::string savedHome;
};

TEST_F(CaptureCommandTest, printsTheGivenPagesTitleAndKeywords) {
    CliResult run = Capture({server.url("/p")});
    EXPECT_EQ(run.status, cli::ExitOk) << run.err;
    EXPECT_EQ(run.out, "URL: " + server.url("/p") + "\nタイトル: ページ\nキーワード: A B\n");
    run = Capture({"--json", server.url("/p")});
    EXPECT_EQ(run.status, cli::ExitOk) << run.err;
    EXPECT_EQ(
        nlohmann::json::parse(run.out),
        (nlohmann::json{{"url", server.url("/p")}, {"title", "ページ"}, {"keywords", "A B"}}));
}

TEST_F(CaptureCommandTest, withoutAUrlTakesTheBrowsersLatestPage) {
    EXPECT_EQ(Capture({}).status, cli::ExitFailure);
    const auto profile = dir / ".config/chromium/Default";
    std::filesystem::create_directories(profile);
    sqlite3* db = nullptr;
    sqlite3_open((profile / "History").c_str(), &db);
    const std::string sql =
        "CREATE TABLE urls(id INTEGER PRIMARY KEY, url TEXT, title TEXT, last_visit_time INTEGER);"
        "CREATE TABLE visits(id INTEGER PRIMARY KEY, url INTEGER, visit_time INTEGER);"
        "INSERT INTO urls VALUES (1, '" +
        server.url("/p") +
        "', '閲覧した題', 13300000000000000);"
        "INSERT INTO visits VALUES (1, 1, 13300000000000000);";
    ASSERT_EQ(sqlite3_exec(db, sql.c_str(), nullptr, nullptr, nullptr), SQLITE_OK);
    sqlite3_close(db);
    const CliResult run = Capture({"--json"});
    EXPECT_EQ(run.status, cli::ExitOk) << run.err;
    EXPECT_EQ(nlohmann::json::parse(run.out)["title"], "閲覧した題");
    EXPECT_EQ(nlohmann::json::parse(run.out)["keywords"], "A B");
}

TEST_F(CaptureCommandTest, namesAPageItCouldNotRead) {
    const CliResult run = Capture({server.url("/missing")});
    EXPECT_EQ(run.status, cli::ExitOk);
    EXPECT_EQ(run.out, "URL: " + server.url("/missing") + "\nタイトル: \nキーワード: \n");
    EXPECT_NE(run.err.find("404"), std::string::npos) << run.err;
}

TEST_F(CaptureCommandTest, refusesWhatIsNotOneWebUrl) {
    for (const std::vector<std::string>& args : {std::vector<std::string>{"file:///etc/passwd"},
                                                 {"--xml"},
                                                 {server.url("/p"), server.url("/p")}}) {
        EXPECT_EQ(Capture(args).status, cli::ExitUsage) << args.front();
    }
}

} // namespace
} // namespace tomorine::test
