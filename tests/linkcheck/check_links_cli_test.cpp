// tomorine-cli check-links run as a program against a server of the test's
// own on 127.0.0.1.
#include "cli/cli_process.h"
#include "cli/link_check_progress_bar.h"
#include "link_check_fixture.h"
#include "support/temp_dir.h"
#include "support/xls_peer.h"

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

struct CliRun : CliOutcome {
    std::chrono::milliseconds afterSignal{0}; // from the Ctrl-C to the exit
};

// check-links --data FILE ARGS with no proxy, so that every request goes to
// loopback as it stands; with `interruptWhen`, Ctrl-C once that holds.
CliRun RunCheckLinks(const fs::path& data, std::vector<std::string> args,
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
    }
    const auto signalled = Clock::now();
    CliRun run{process.wait()};
    run.afterSignal =
        std::chrono::duration_cast<std::chrono::milliseconds>(Clock::now() - signalled);
    return run;
}

std::vector<int> SerialsByXlrd(const fs::path& file) {
    std::vector<int> serials;
    const nlohmann::json values = XlrdValues(file);
    EXPECT_TRUE(values.contains("sheets")) << values.dump();
    for (const auto& cell : values["sheets"][0]["cells"]) {
        if (cell[0].get<int>() >= 2 && cell[1].get<int>() == 0) {
            serials.push_back(static_cast<int>(cell[3].get<double>()));
        }
    }
    return serials;
}

TEST(CheckLinksCli, ListsExactlyTheDeadEntriesWithTheirReasons) {
    LocalHttpServer server;
    RefusingPort refusing;
    TempDir dir;
    const fs::path data = dir / "データ.xls";
    WriteEntries(data,
                 {UrlEntry(1, server.url("/ok"), u"生きている"),
                  UrlEntry(2, server.url("/status/404"), u"無い"),
                  UrlEntry(3, server.url("/redirect/3/ok"), u"転送"),
                  UrlEntry(4, server.url("/loop"), u"輪"),
                  UrlEntry(5, server.url("/status/410"), u"消えた"),
                  UrlEntry(6, server.url("/status/500"), u"壊れ中"),
                  UrlEntry(7, server.url("/status/403"), u"禁止"),
                  UrlEntry(8, "http://127.0.0.1:" + std::to_string(refusing.port()) + "/", u"拒否"),
                  UrlEntry(9, "http://gone.invalid/", u"名前なし"), UrlEntry(10, "", u"空"),
                  UrlEntry(11, "ftp://127.0.0.1/f", u"ftp"),
                  UrlEntry(12, server.url("/status/404"), u"削除済み"),
                  UrlEntry(13, server.url("/slow/300"), u"遅い"),
                  UrlEntry(14, server.url("/slow/300"), u"遅い"),
                  UrlEntry(15, server.url("/slow/300"), u"遅い")},
                 {12});
    CliRun text = RunCheckLinks(data, {});
    EXPECT_EQ(text.status, 0) << text.err;
    EXPECT_EQ(text.out, "[00002]:無い\n[00004]:輪\n[00005]:消えた\n[00008]:拒否\n"
                        "[00009]:名前なし\n[00010]:空\n[00011]:ftp\n");
    EXPECT_EQ(text.err, "[7件]\nリンクチェック完了\n") << "no progress bar off a terminal";

    CliRun json = RunCheckLinks(data, {"--json"});
    ASSERT_EQ(json.status, 0) << json.err;
    const nlohmann::json dead = nlohmann::json::parse(json.out)["dead"];
    ASSERT_EQ(dead.size(), 7u);
    EXPECT_EQ(dead[0], (nlohmann::json{{"serial", 2},
                                       {"url", server.url("/status/404")},
                                       {"title", "無い"},
                                       {"reason", "HTTP 404"}}));
    const char* reasons[] = {"HTTP 404",
                             DeadReason::TooManyRedirects,
                             "HTTP 410",
                             DeadReason::CannotConnect,
                             DeadReason::NotResolved,
                             DeadReason::EmptyUrl,
                             DeadReason::Scheme};
    for (size_t i = 0; i < dead.size(); ++i) {
        EXPECT_EQ(dead[i]["reason"], reasons[i]) << i;
    }
    EXPECT_EQ(server.maxInFlightOfHost("127.0.0.1"), 2);
}

// --delete removes the two dead entries of five in one save; the other three
// stay as they were.
TEST(CheckLinksCli, DeleteRemovesTheDeadEntries) {
    LocalHttpServer server;
    TempDir dir;
    const fs::path data = dir / "data.xls";
    WriteEntries(
        data, {UrlEntry(1, server.url("/ok"), u"a"), UrlEntry(2, server.url("/status/404"), u"b"),
               UrlEntry(3, server.url("/status/500"), u"c"), UrlEntry(4, "http://x.invalid/", u"d"),
               UrlEntry(5, server.url("/ok"), u"e")});
    CliRun run = RunCheckLinks(data, {"--delete"});
    EXPECT_EQ(run.status, 0) << run.err;
    EXPECT_EQ(run.out, "[00002]:b\n[00004]:d\n");
    EXPECT_EQ(run.err, "[2件]\nリンクチェック完了\n削除完了\n");
    EXPECT_EQ(SerialsByXlrd(data), (std::vector<int>{1, 3, 5}));
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
    CliRun run = RunCheckLinks(data, {"--delete"}, [&] { return server.requests() >= 2; });
    EXPECT_EQ(run.status, 1);
    EXPECT_EQ(run.out, "");
    EXPECT_EQ(run.err, "tomorine-cli: 中止\n");
    EXPECT_LT(run.afterSignal, 1s);
    EXPECT_EQ(ReadBytes(data), before);
}

TEST(ProgressLine, ShowsCountDeadAndRate) {
    LinkCheckProgress progress;
    progress.total = 200;
    progress.decided = 50;
    progress.dead = 3;
    EXPECT_EQ(cli::ProgressLine(progress, std::chrono::seconds(4), 8),
              "[##------] 50/200  リンク切れ 3  12.5 件/秒");
    EXPECT_EQ(cli::ProgressLine(LinkCheckProgress{}, std::chrono::seconds(0), 4),
              "[####] 0/0  リンク切れ 0  0.0 件/秒");
}

} // namespace
} // namespace tomorine::test
