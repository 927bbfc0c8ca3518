#include "linkcheck/ordered_verdicts.h"

namespace tomorine {

void OrderedVerdicts::decide(std::size_t row, LinkVerdict verdict) {
    if (row >= verdicts_.size() || verdicts_[row]) {
        return;
    }
    dead_ += verdict.listed() ? 1 : 0;
    unreachable_ += verdict.linkClass == LinkClass::Unreachable ? 1 : 0;
    ++decided_;
    verdicts_[row] = std::move(verdict);
    while (firstOpen_ < verdicts_.size() && verdicts_[firstOpen_]) {
        ++firstOpen_;
    }
}

std::vector<RowVerdict> OrderedVerdicts::takeReleased() {
    std::vector<RowVerdict> released;
    for (; released_ < firstOpen_; ++released_) {
        released.push_back({released_, *verdicts_[released_]});
    }
    return released;
}

} // namespace tomorine
