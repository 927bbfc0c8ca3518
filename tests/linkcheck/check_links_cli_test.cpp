// tomorine-cli check-links as a program, against a loopback server of the test's own.
#include "cli/cli_process.h"
#include "link_check_fixture.h"

#include <csignal>
#include <cstdlib>
#include <gtest/gtest.h>
#include <nlohmann/json.hpp>
#include <thread>

namespace tomorine::test {

using namespace std::chrono_literals;
using Clock = std::chrono::steady_clock;
using nlohmann::json;

class CheckLinksCli : public ::testing::Test {
protected:
    // check-links --data FILE ARGS with no proxy, so that every request goes
    // to loopback as it stands.
    CliLaunch launch(std::vector<std::string> args, bool offline = false) const {
        for (const char* proxy :
             {"http_proxy", "https_proxy", "all_proxy", "HTTP_PROXY", "HTTPS_PROXY", "ALL_PROXY"}) {
            unsetenv(proxy);
        }
        args.insert(args.begin(), {"check-links", "--data", data.string()});
        return {args, dir / "home", -1, {}, {}, offline};
    }
    // Once `count` requests have reached the server.
    void awaitRequests(int count) const {
        const auto deadline = Clock::now() + 10s;
        while (server.requests() < count && Clock::now() < deadline) {
            std::this_thread::sleep_for(10ms);
        }
        std::this_thread::sleep_for(100ms);
    }

    LocalHttpServer server;
    TempDir dir;
    const std::filesystem::path data = dir / "データ.xls";
};

// Every line with its class and reason; --delete takes the gone entries
// only, --delete-unreachable the unreachable and invalid ones too.
TEST_F(CheckLinksCli, ListsEachClassAndDeletesByClass) {
    WriteEntries(data,
                 {UrlEntry(1, server.url("/ok"), u"生きている"),
                  UrlEntry(2, server.url("/status/404"), u"無い"),
                  UrlEntry(3, server.url("/status/503"), u"壊れ中"),
                  UrlEntry(4, server.refusedUrl(), u"拒否"),
                  UrlEntry(5, server.url("/status/404"), u"削除済み"),
                  UrlEntry(6, "javascript:void(0)", u"スクリプト"),
                  UrlEntry(7, server.url("/status/410"), u"消去"),
                  UrlEntry(8, "ftp://127.0.0.1/a", u"FTP"),
                  UrlEntry(9, server.url("/slow/300"), u"遅い"),
                  UrlEntry(10, server.url("/slow/300"), u"遅い")},
                 {5});
    CliOutcome run = RunCliProcess(launch({}));
    EXPECT_EQ(run.status, 0) << run.err;
    EXPECT_EQ(run.out, "[00002]:無い\tリンク切れ: ページがありません (404)\n"
                       "[00004]:拒否\t接続不可: 接続できません\n"
                       "[00006]:スクリプト\t無効なURL: リンクではありません\n"
                       "[00007]:消去\tリンク切れ: ページは削除されました (410)\n");
    EXPECT_EQ(run.err, "[4件]\nリンクチェック完了\n") << "no progress bar off a terminal";
    EXPECT_EQ(server.maxInFlightOfHost("127.0.0.1"), 2);

    run = RunCliProcess(launch({"--json"}));
    ASSERT_EQ(run.status, 0) << run.err;
    const json listed = json::parse(run.out);
    EXPECT_EQ(std::tuple(listed["network"], listed["deleted"]), std::tuple("ok", json::array()));
    json refused = json::parse(R"({"serial": 4, "title": "拒否", "class": "unreachable",
        "reason": "refused", "message": "接続不可: 接続できません"})");
    refused["url"] = server.refusedUrl();
    EXPECT_EQ(listed["dead"][1], refused);

    run = RunCliProcess(launch({"--delete"}));
    EXPECT_EQ(std::tie(run.status, run.err),
              std::tuple(0, "[4件]\nリンクチェック完了\n削除完了: 2件\n"));
    EXPECT_EQ(SerialsByXlrd(data), (std::vector<int>{1, 3, 4, 5, 6, 8, 9, 10}));
    run = RunCliProcess(launch({"--delete-unreachable", "--json"}));
    EXPECT_EQ(run.status, 0) << run.err;
    EXPECT_EQ(json::parse(run.out)["deleted"], json::array({4, 6}));
    EXPECT_EQ(SerialsByXlrd(data), (std::vector<int>{1, 3, 5, 8, 9, 10}));
}

// The entry is left alone and named as changed.
TEST_F(CheckLinksCli, AnEntryEditedDuringTheCheckSurvivesDelete) {
    WriteEntries(data, {UrlEntry(1, server.url("/status/404"), u"消える"),
                        UrlEntry(2, server.url("/status/404"), u"書き換え"),
                        UrlEntry(3, server.url("/slow/1500"), u"遅い")});
    CliProcess process(launch({"--delete", "--json"}));
    awaitRequests(3);
    ASSERT_EQ(RunOn(data, {"update", "2", "--comment", "まだ読む"}).status, 0);
    const CliOutcome run = process.wait();
    EXPECT_EQ(run.status, 0) << run.err;
    EXPECT_EQ(json::parse(run.out)["deleted"], json::array({1}));
    EXPECT_EQ(json::parse(run.out)["changed"], json::array({2}));
    EXPECT_NE(run.err.find("変更されていたため削除しませんでした: [00002]:書き換え"),
              std::string::npos)
        << run.err;
    EXPECT_EQ(SerialsByXlrd(data), (std::vector<int>{2, 3}));
}

// Nothing answers: the check says so, and neither deletion removes anything.
TEST_F(CheckLinksCli, OfflineDeletesNothing) {
    WriteEntries(data, {UrlEntry(1, "http://127.0.0.1:9/", u"a"),
                        UrlEntry(2, "http://bookmarks.test/", u"b"),
                        UrlEntry(3, "javascript:x", u"c"), UrlEntry(4, "ftp://a.test/", u"d")});
    const auto before = ReadBytes(data);
    for (const char* option : {"--delete", "--delete-unreachable"}) {
        const CliOutcome run = RunCliProcess(launch({option, "--json"}, true));
        if (run.status == 127) {
            GTEST_SKIP() << "unshare -n is not permitted here";
        }
        EXPECT_EQ(run.status, 1) << option;
        EXPECT_NE(run.err.find("network down"), std::string::npos) << run.err;
        const json result = json::parse(run.out);
        EXPECT_EQ(std::tuple(result["network"], result["deleted"]),
                  std::tuple("down", json::array()));
        EXPECT_EQ(ReadBytes(data), before);
    }
}

// At once, abandoning the requests in flight; nothing is printed.
TEST_F(CheckLinksCli, CtrlCStopsCleanlyAndDeletesNothing) {
    WriteEntries(data, {UrlEntry(1, server.url("/status/404"), u"dead"),
                        UrlEntry(2, server.url("/hang"), u"h1"),
                        UrlEntry(3, server.url("/hang"), u"h2")});
    const auto before = ReadBytes(data);
    CliProcess process(launch({"--delete"}));
    awaitRequests(3);
    process.signal(SIGINT);
    const auto signalled = Clock::now();
    const CliOutcome run = process.wait();
    EXPECT_LT(Clock::now() - signalled, 1s);
    EXPECT_EQ(std::tie(run.status, run.out, run.err), std::tuple(1, "", "tomorine-cli: 中止\n"));
    EXPECT_EQ(ReadBytes(data), before);
}

} // namespace tomorine::test
