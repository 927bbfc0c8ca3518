#include "linkcheck/host_scheduler.h"
#include "linkcheck/ordered_verdicts.h"

#include <gtest/gtest.h>

namespace tomorine {
namespace {

std::vector<std::size_t> Drain(HostScheduler& scheduler) {
    std::vector<std::size_t> rows;
    while (auto next = scheduler.next()) {
        rows.push_back(next->first);
    }
    return rows;
}

TEST(HostScheduler, StartsTheLowestRowsTheLimitsAllow) {
    HostScheduler scheduler(3, 2);
    const char* hosts[] = {"a", "a", "a", "b", "a", "c", "b"};
    for (std::size_t row = 0; row < 7; ++row) {
        scheduler.add(row, hosts[row]);
    }
    EXPECT_EQ(Drain(scheduler), (std::vector<std::size_t>{0, 1, 3})); // total limit 3
    scheduler.finished("a");
    EXPECT_EQ(Drain(scheduler), (std::vector<std::size_t>{2}));
    scheduler.finished("b");
    scheduler.finished("a");
    EXPECT_EQ(Drain(scheduler), (std::vector<std::size_t>{4, 5}));
    EXPECT_EQ(scheduler.waiting(), 1u);
    scheduler.add(1, "a"); // a redirect of row 1, back in the queue in row order
    scheduler.finished("c");
    scheduler.finished("a");
    EXPECT_EQ(Drain(scheduler), (std::vector<std::size_t>{1, 6}));
    scheduler.finished("a");
    scheduler.finished("a");
    scheduler.finished("b");
    EXPECT_TRUE(scheduler.idle());
}

TEST(OrderedVerdicts, ReleasesContiguousRowsOnly) {
    OrderedVerdicts verdicts(4);
    verdicts.decide(2, DeadVerdict("x"));
    verdicts.decide(1, AliveVerdict());
    EXPECT_TRUE(verdicts.takeReleased().empty());
    EXPECT_EQ(verdicts.oldestOpen(), 0u);
    verdicts.decide(0, DeadVerdict("y"));
    verdicts.decide(0, AliveVerdict()); // a second verdict changes nothing
    auto released = verdicts.takeReleased();
    ASSERT_EQ(released.size(), 3u);
    EXPECT_EQ(released[2].row, 2u);
    EXPECT_TRUE(released[0].verdict.dead);
    EXPECT_EQ(verdicts.oldestOpen(), 3u);
    EXPECT_EQ(verdicts.dead(), 2u);
    EXPECT_EQ(verdicts.decided(), 3u);
}

} // namespace
} // namespace tomorine
