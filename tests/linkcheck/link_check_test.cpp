// The link check engine against a server of the test's own on 127.0.0.1.
#include "link_check_fixture.h"
#include "linkcheck/link_check.h"

#include <gtest/gtest.h>

namespace tomorine::test {
namespace {

using namespace std::chrono_literals;
using Clock = std::chrono::steady_clock;

struct Case {
    std::string url;
    LinkVerdict expected;
};

LinkVerdict Dead(std::string reason) {
    return DeadVerdict(std::move(reason));
}

// Every kind of answer and failure in one check: the verdicts come back for
// every row, in row order, each as the rule says.
TEST(LinkCheck, DecidesEveryKindOfAnswerInRowOrder) {
    LocalHttpServer server;
    SilentListener silent;
    RefusingPort refusing;
    const std::string silentUrl = "http://127.0.0.1:" + std::to_string(silent.port()) + "/";
    const std::string refusedUrl = "http://127.0.0.1:" + std::to_string(refusing.port()) + "/";
    const std::vector<Case> cases = {
        {server.url("/ok"), AliveVerdict()},
        {server.url("/redirect/3/ok"), AliveVerdict()},
        {server.url("/redirect/10/ok"), AliveVerdict()},
        {server.url("/redirect/11/ok"), Dead(DeadReason::TooManyRedirects)},
        {server.url("/redirect/2/status/404"), Dead("HTTP 404")},
        {server.url("/loop"), Dead(DeadReason::TooManyRedirects)},
        {server.url("/status/404"), Dead("HTTP 404")},
        {server.url("/status/410"), Dead("HTTP 410")},
        {server.url("/status/500"), AliveVerdict()},
        {server.url("/status/403"), AliveVerdict()},
        {server.url("/status/429"), AliveVerdict()},
        {server.url("/status/301"), AliveVerdict()}, // a redirect that names no target
        {server.url("/hang"), Dead(DeadReason::TimedOut)},
        {silentUrl, Dead(DeadReason::TimedOut)},
        {refusedUrl, Dead(DeadReason::CannotConnect)},
        {"https://127.0.0.1:" + std::to_string(server.port()) + "/ok", Dead(DeadReason::Tls)},
        {"http://nowhere.invalid/", Dead(DeadReason::NotResolved)},
        {server.url("nowhere.invalid", "/ok"), Dead(DeadReason::NotResolved)},
        {"", Dead(DeadReason::EmptyUrl)},
        {"   ", Dead(DeadReason::EmptyUrl)},
        {"ftp://127.0.0.1/file", Dead(DeadReason::Scheme)},
        {"file:///etc/passwd", Dead(DeadReason::Scheme)},
        {"javascript:alert(1)", Dead(DeadReason::Scheme)},
        {server.url("/to-ftp"), Dead(DeadReason::Scheme)},
        {"http://", Dead(DeadReason::Malformed)},
        {"no url at all", Dead(DeadReason::Malformed)},
        {"http://a b/", Dead(DeadReason::Malformed)},
        {"http://X.INVALID./", Dead(DeadReason::NotResolved)},
        {"  " + server.url("/ok") + " ", AliveVerdict()},
        {server.url("named.test", "/redirect/1/ok"), AliveVerdict()},
        {server.url("elsewhere.test", "/ok"), Dead(DeadReason::HostNotAllowed)},
        {server.url("/日本 語"), Dead("HTTP 404")}, // encoded, sent and answered
        {server.url("/big"), AliveVerdict()},
    };
    std::vector<std::string> urls;
    for (const Case& c : cases) {
        urls.push_back(c.url);
    }
    LinkCheck check(urls, LoopbackOptions(server, {"named.test"}, 1500ms));
    const std::vector<RowVerdict> verdicts = RunToEnd(check);
    ASSERT_EQ(verdicts.size(), cases.size());
    for (size_t row = 0; row < cases.size(); ++row) {
        SCOPED_TRACE(cases[row].url);
        EXPECT_EQ(verdicts[row].row, row);
        EXPECT_EQ(verdicts[row].verdict, cases[row].expected) << verdicts[row].verdict.reason;
    }
    const LinkCheckProgress progress = check.progress();
    EXPECT_EQ(progress.decided, cases.size());
    EXPECT_EQ(progress.oldestOpen, cases.size());
    EXPECT_EQ(progress.dead, 23u);
    EXPECT_EQ(progress.error, "");
    EXPECT_LT(server.bigBytesSent(), 8LL << 20) << "the body is not read to its end";
    EXPECT_TRUE(server.lastUserAgent().starts_with("Tomorine-LinkCheck/"))
        << server.lastUserAgent();
}

// A row is handed on once every earlier row is decided; the oldest open row
// is the one a slow answer holds up.
TEST(LinkCheck, HandsOnRowsOnlyWhenEveryEarlierRowIsDecided) {
    LocalHttpServer server;
    LinkCheck check({server.url("/slow/600"), server.url("nope.invalid", "/"), "", ""},
                    LoopbackOptions(server));
    const auto deadline = Clock::now() + 5s;
    while (check.progress().decided < 3 && Clock::now() < deadline) {
        check.waitForChange(100ms);
    }
    LinkCheckProgress early = check.progress();
    ASSERT_EQ(early.decided, 3u);
    EXPECT_EQ(early.oldestOpen, 0u);
    EXPECT_TRUE(check.takeReleased().empty());
    const std::vector<RowVerdict> all = RunToEnd(check);
    ASSERT_EQ(all.size(), 4u);
    EXPECT_FALSE(all[0].verdict.dead);
    EXPECT_TRUE(all[3].verdict.dead);
}

// Stopping abandons the requests in flight at once, even ones that would
// wait for their time-out, and decides nothing more.
TEST(LinkCheck, StopAbandonsRequestsInFlightWithinASecond) {
    LocalHttpServer server;
    std::vector<std::string> urls(40, server.url("/hang"));
    LinkCheck check(urls, LoopbackOptions(server, {}, 60s));
    const auto deadline = Clock::now() + 5s;
    while (server.requests() < 2 && Clock::now() < deadline) {
        std::this_thread::sleep_for(10ms);
    }
    ASSERT_GE(server.requests(), 2);
    const auto start = Clock::now();
    check.stop();
    EXPECT_LT(Clock::now() - start, 1s);
    const LinkCheckProgress progress = check.progress();
    EXPECT_TRUE(progress.finished);
    EXPECT_EQ(progress.decided, 0u);
    EXPECT_TRUE(check.takeReleased().empty());
}

std::vector<std::string> HostNames(int count) {
    std::vector<std::string> names;
    for (int host = 0; host < count; ++host) {
        names.push_back("host" + std::to_string(host) + ".test");
    }
    return names;
}

// At most two requests to one host name at once, whatever the rows ask for;
// a redirect counts against the host it goes to. The limit is used, not
// just kept.
TEST(LinkCheck, KeepsThePerHostLimit) {
    LocalHttpServer server;
    const std::vector<std::string> names = HostNames(3);
    std::vector<std::string> urls;
    for (int round = 0; round < 8; ++round) {
        for (const std::string& name : names) {
            urls.push_back(server.url(name, round % 2 ? "/slow/150" : "/redirect/2/slow/100"));
        }
    }
    LinkCheck check(urls, LoopbackOptions(server, names, 10s));
    const std::vector<RowVerdict> verdicts = RunToEnd(check);
    ASSERT_EQ(verdicts.size(), urls.size());
    for (const RowVerdict& verdict : verdicts) {
        EXPECT_FALSE(verdict.verdict.dead) << verdict.verdict.reason;
    }
    for (const std::string& name : names) {
        EXPECT_EQ(server.maxInFlightOfHost(name), 2) << name;
    }
}

// At most sixteen requests at once over many hosts, and about that many in use.
TEST(LinkCheck, KeepsTheTotalLimit) {
    LocalHttpServer server;
    const std::vector<std::string> names = HostNames(20);
    std::vector<std::string> urls;
    for (int round = 0; round < 3; ++round) {
        for (const std::string& name : names) {
            urls.push_back(server.url(name, "/slow/200"));
        }
    }
    LinkCheck check(urls, LoopbackOptions(server, names, 10s));
    EXPECT_EQ(RunToEnd(check).size(), urls.size());
    EXPECT_LE(server.maxInFlight(), 16);
    EXPECT_GE(server.maxInFlight(), 12);
    for (const std::string& name : names) {
        EXPECT_LE(server.maxInFlightOfHost(name), 2) << name;
    }
}

TEST(LinkCheck, AnEmptyListFinishesAtOnce) {
    LinkCheck check({});
    EXPECT_TRUE(RunToEnd(check).empty());
    EXPECT_EQ(check.progress().total, 0u);
}

} // namespace
} // namespace tomorine::test
