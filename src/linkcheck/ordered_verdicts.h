#pragma once

#include "linkcheck/link_verdict.h"

#include <cstddef>
#include <optional>
#include <vector>

namespace tomorine {

struct RowVerdict {
    std::size_t row = 0;
    LinkVerdict verdict;
};

// Verdicts arrive in any order; they are handed on in row order, a row once
// every earlier row is decided.
class OrderedVerdicts {
public:
    explicit OrderedVerdicts(std::size_t rows) : verdicts_(rows) {}

    // A second verdict for a row is ignored.
    void decide(std::size_t row, LinkVerdict verdict);
    // The rows not handed on yet whose earlier rows are all decided.
    std::vector<RowVerdict> takeReleased();

    std::size_t rows() const { return verdicts_.size(); }
    // The first row not decided yet; rows() when all are.
    std::size_t oldestOpen() const { return firstOpen_; }
    std::size_t decided() const { return decided_; }
    std::size_t dead() const { return dead_; } // listed, of any class
    std::size_t unreachable() const { return unreachable_; }

private:
    std::vector<std::optional<LinkVerdict>> verdicts_;
    std::size_t firstOpen_ = 0;
    std::size_t released_ = 0;
    std::size_t decided_ = 0;
    std::size_t dead_ = 0;
    std::size_t unreachable_ = 0;
};

} // namespace tomorine
