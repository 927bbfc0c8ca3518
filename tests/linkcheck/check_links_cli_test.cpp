// tomorine-cli check-links run as a program against a server of the test's
// own on 127.0.0.1.
#include "cli/cli_process.h"
#include "link_check_fixture.h"
#include "support/temp_dir.h"

#include <csignal>
#include <cstdlib>
#include <gtest/gtest.h>
#include <nlohmann/json.hpp>
#include <thread>

namespace tomorine::test {
namespace {

namespace fs = std::filesystem;
using namespace std::chrono_literals;
using Clock = std::chrono::steady_clock;

// check-links --data FILE ARGS with no proxy, so that every request goes to
// loopback as it stands; with `interruptWhen`, Ctrl-C once that holds.
CliOutcome RunCheckLinks(const fs::path& data, std::vector<std::string> args,
                         const std::function<bool()>& interruptWhen = {}) {
    for (const char* proxy :
         {"http_proxy", "https_proxy", "all_proxy", "HTTP_PROXY", "HTTPS_PROXY", "ALL_PROXY"}) {
        unsetenv(proxy);
    }
    args.insert(args.begin(), {"check-links", "--data", data.string()});
    CliProcess process({args, data.parent_path() / "home"});
    if (interruptWhen) {
        const auto deadline = Clock::now() + 10s;
        while (!interruptWhen() && Clock::now() < deadline) {
            std::this_thread::sleep_for(10ms);
        }
        std::this_thread::sleep_for(100ms);
        process.signal(SIGINT);
        const auto signalled = Clock::now();
        CliOutcome outcome = process.wait();
        EXPECT_LT(Clock::now() - signalled, 1s);
        return outcome;
    }
    return process.wait();
}

// The dead lines, their JSON with reasons, then --delete removing them in one save.
TEST(CheckLinksCli, ListsAndDeletesExactlyTheDeadEntries) {
    LocalHttpServer server;
    TempDir dir;
    const fs::path data = dir / "データ.xls";
    WriteEntries(data,
                 {UrlEntry(1, server.url("/ok"), u"生きている"),
                  UrlEntry(2, server.url("/status/404"), u"無い"),
                  UrlEntry(3, server.url("/status/500"), u"壊れ中"),
                  UrlEntry(4, server.refusedUrl(), u"拒否"),
                  UrlEntry(5, server.url("/status/404"), u"削除済み"),
                  UrlEntry(6, server.url("/slow/300"), u"遅い"),
                  UrlEntry(7, server.url("/slow/300"), u"遅い")},
                 {5});
    CliOutcome run = RunCheckLinks(data, {});
    EXPECT_EQ(run.status, 0) << run.err;
    EXPECT_EQ(run.out, "[00002]:無い\n[00004]:拒否\n");
    EXPECT_EQ(run.err, "[2件]\nリンクチェック完了\n") << "no progress bar off a terminal";
    EXPECT_EQ(server.maxInFlightOfHost("127.0.0.1"), 2);

    run = RunCheckLinks(data, {"--json"});
    ASSERT_EQ(run.status, 0) << run.err;
    EXPECT_EQ(nlohmann::json::parse(run.out)["dead"][0],
              (nlohmann::json{{"serial", 2},
                              {"url", server.url("/status/404")},
                              {"title", "無い"},
                              {"reason", "HTTP 404"}}));

    run = RunCheckLinks(data, {"--delete"});
    EXPECT_EQ(run.status, 0) << run.err;
    EXPECT_EQ(run.err, "[2件]\nリンクチェック完了\n削除完了\n");
    EXPECT_EQ(SerialsByXlrd(data), (std::vector<int>{1, 3, 5, 6, 7}));
}

// Ctrl-C stops the check at once, abandoning the requests in flight;
// nothing is printed and nothing deleted.
TEST(CheckLinksCli, CtrlCStopsCleanlyAndDeletesNothing) {
    LocalHttpServer server;
    TempDir dir;
    const fs::path data = dir / "data.xls";
    WriteEntries(data, {UrlEntry(1, "http://x.invalid/", u"dead"),
                        UrlEntry(2, server.url("/hang"), u"h1"),
                        UrlEntry(3, server.url("/hang"), u"h2")});
    const auto before = ReadBytes(data);
    CliOutcome run = RunCheckLinks(data, {"--delete"}, [&] { return server.requests() >= 2; });
    EXPECT_EQ(run.status, 1);
    EXPECT_EQ(run.out, "");
    EXPECT_EQ(run.err, "tomorine-cli: 中止\n");
    EXPECT_EQ(ReadBytes(data), before);
}

} // namespace
} // namespace tomorine::test
