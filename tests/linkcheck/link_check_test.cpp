// The link check engine against a server of the test's own on 127.0.0.1, and
// the deletion of the entries it found dead.
#include "link_check_fixture.h"
#include "linkcheck/dead_entry_deletion.h"
#include "linkcheck/link_check.h"
#include "linkcheck/link_targets.h"
#include "store/files/data_file_lock.h"
#include "support/temp_dir.h"

#include <algorithm>
#include <future>
#include <gtest/gtest.h>

namespace tomorine::test {

using namespace std::chrono_literals;
using Clock = std::chrono::steady_clock;

TEST(LinkCheck, DecidesEveryKindOfAnswerInRowOrder) {
    using enum LinkClass;
    using enum LinkReason;
    LocalHttpServer server;
    server.serve("/to-ftp", {.status = 302, .location = "ftp://127.0.0.1/f"});
    server.serve("/big", {"", std::string(16 << 20, 'b')});
    const struct Case {
        std::string url;
        LinkClass linkClass;
        LinkReason reason = None;
    } cases[] = {
        {server.url("/ok"), Alive},
        {server.url("/redirect/10/ok"), Alive},
        {server.url("/redirect/11/ok"), Unreachable, Redirects},
        {server.url("/redirect/2/status/404"), Gone, Http404},
        {server.url("/status/410"), Gone, Http410},
        {server.url("/status/403"), Alive},
        {server.url("/status/301"), Alive}, // a redirect that names no target
        {server.url("/hang"), Unreachable, Timeout},
        {server.url("/drip"), Unreachable, Timeout},
        {server.url("/reset"), Unreachable, Reset},
        {server.url("/empty"), Unreachable, EmptyReply},
        {server.url("/reset-once/status/410"), Gone, Http410}, // the second try decides
        {server.refusedUrl(), Unreachable, Refused},
        {"https://127.0.0.1:" + std::to_string(server.port()) + "/ok", Unreachable, Tls},
        {"http://nowhere.invalid/", Unreachable, Dns},
        {server.url("elsewhere.test", "/ok"), Unreachable, Refused},
        {"", Invalid, Malformed},
        {"javascript:alert(1)", Invalid, Scheme},
        {"http://", Invalid, Malformed},
        {"file:///home/a/page.html", Unjudged},
        {server.url("/to-ftp"), Unjudged},
        {"  " + server.url("/ok") + " ", Alive},
        {server.url("named.test", "/redirect/1/ok"), Alive},
        {server.url("/日本 語"), Gone, Http404}, // encoded, sent and answered
        {server.url("/big"), Alive},
    };
    std::vector<std::string> urls(std::size(cases));
    std::ranges::transform(cases, urls.begin(), &Case::url);
    LinkCheck check(urls, LoopbackOptions(server, {"named.test"}, 1000ms));
    const std::vector<RowVerdict> verdicts = RunToEnd(check);
    ASSERT_EQ(verdicts.size(), urls.size());
    for (size_t row = 0; row < urls.size(); ++row) {
        const auto& [at, verdict] = verdicts[row];
        EXPECT_EQ(std::tuple(at, verdict.linkClass, verdict.reason),
                  std::tuple(row, cases[row].linkClass, cases[row].reason))
            << urls[row];
    }
    EXPECT_EQ(check.progress().dead, 16u);
    EXPECT_FALSE(NetworkDown(check.progress()));
    EXPECT_EQ(check.progress().error, "");
    EXPECT_LT(server.bytesSent(), 8LL << 20) << "the body is not read to its end";

    // Transport failures and no answer at all: the network is down.
    LinkCheck offline({server.refusedUrl(), "", "ftp://127.0.0.1/file"}, LoopbackOptions(server));
    RunToEnd(offline);
    EXPECT_TRUE(NetworkDown(offline.progress()));
}

// Even requests that would wait for their time-out; nothing more is decided.
TEST(LinkCheck, StopAbandonsRequestsInFlightWithinASecond) {
    LocalHttpServer server;
    LinkCheck check(std::vector<std::string>(40, server.url("/hang")),
                    LoopbackOptions(server, {}, 60s));
    const auto deadline = Clock::now() + 5s;
    while (server.requests() < 2 && Clock::now() < deadline) {
        std::this_thread::sleep_for(10ms);
    }
    ASSERT_GE(server.requests(), 2);
    const auto start = Clock::now();
    check.stop();
    EXPECT_LT(Clock::now() - start, 1s);
    EXPECT_TRUE(check.progress().finished);
    EXPECT_EQ(check.progress().decided, 0u);
    EXPECT_TRUE(check.takeReleased().empty());
}

// At most two requests to one host name and sixteen in all at once, and
// about that many in use; a redirect counts against the host it goes to.
TEST(LinkCheck, KeepsThePerHostAndTotalLimits) {
    LocalHttpServer server;
    std::vector<std::string> names, urls;
    for (int host = 0; host < 20; ++host) {
        names.push_back("host" + std::to_string(host) + ".test");
    }
    for (int round = 0; round < 3; ++round) {
        for (const std::string& name : names) {
            urls.push_back(server.url(name, round % 2 ? "/slow/200" : "/redirect/2/slow/150"));
        }
    }
    LinkCheckOptions options = LoopbackOptions(server, names, 10s);
    options.maxRequests = 16; // fewer than twenty hosts could take at two each
    LinkCheck check(urls, options);
    EXPECT_EQ(RunToEnd(check).size(), urls.size());
    EXPECT_EQ(check.progress().dead, 0u);
    for (const std::string& name : names) {
        EXPECT_LE(server.maxInFlightOfHost(name), 2) << name;
    }
    EXPECT_LE(server.maxInFlight(), 16);
    EXPECT_GE(server.maxInFlight(), 12);
}

// Serials match as whole values (1 never finds 11); an entry with any
// column changed since the check, or gone, is left alone and named; with
// nothing to remove the file is not written; the deletion waits for
// another writer's lock.
TEST(DeadEntryDeletion, RemovesOnlyEntriesStillAsCheckedUnderTheLock) {
    TempDir dir;
    const auto file = dir / "データ.xls";
    std::vector<Entry> entries{UrlEntry(1, "http://a/1", u"一"),
                               UrlEntry(11, "http://a/11", u"十一"),
                               UrlEntry(2, "http://a/2", u"二"), UrlEntry(3, "http://a/3", u"三"),
                               UrlEntry(4, "http://a/4", u"四")};
    WriteEntries(file, entries);
    const std::vector<LinkTarget> checked = ReadLinkTargets(file);
    entries[2].comment = u"あとで読む";
    entries.pop_back();
    WriteEntries(file, entries);
    const auto before = ReadBytes(file);
    EXPECT_EQ(DeleteDeadEntries(file, {checked[2], checked[4]}).changed,
              (std::vector<std::int32_t>{2, 4}));
    EXPECT_EQ(ReadBytes(file), before);

    std::promise<void> locked;
    std::thread writer([&] {
        DataFileLock lock(file);
        locked.set_value();
        std::this_thread::sleep_for(500ms);
    });
    locked.get_future().wait();
    const auto start = Clock::now();
    const DeadEntryDeletion done = DeleteDeadEntries(file, {checked[2], checked[3], checked[0]});
    EXPECT_EQ(done.deleted, (std::vector<std::int32_t>{3, 1}));
    EXPECT_EQ(done.changed, (std::vector<std::int32_t>{2}));
    EXPECT_GE(Clock::now() - start, 400ms);
    writer.join();
    EXPECT_EQ(SerialsByXlrd(file), (std::vector<int>{11, 2}));
}

} // namespace tomorine::test
