#include "linkcheck/host_scheduler.h"

#include <algorithm>

namespace tomorine {

HostScheduler::HostScheduler(int maxTotal, int maxPerHost)
    : maxTotal_(std::max(1, maxTotal)), maxPerHost_(std::max(1, maxPerHost)) {}

void HostScheduler::refresh(const std::string& name, Host& host) {
    if (host.readyKey) {
        ready_.erase({*host.readyKey, name});
        host.readyKey.reset();
    }
    if (host.running < maxPerHost_ && !host.waiting.empty()) {
        host.readyKey = *host.waiting.begin();
        ready_.emplace(*host.readyKey, name);
    }
}

void HostScheduler::add(std::size_t row, const std::string& host) {
    Host& entry = hosts_[host];
    if (entry.waiting.insert(row).second) {
        ++waiting_;
    }
    refresh(host, entry);
}

std::optional<std::pair<std::size_t, std::string>> HostScheduler::next() {
    if (running_ >= maxTotal_ || ready_.empty()) {
        return std::nullopt;
    }
    auto [row, name] = *ready_.begin();
    Host& host = hosts_.at(name);
    host.waiting.erase(host.waiting.begin());
    --waiting_;
    ++host.running;
    ++running_;
    refresh(name, host);
    return std::pair{row, std::move(name)};
}

void HostScheduler::finished(const std::string& name) {
    auto found = hosts_.find(name);
    if (found == hosts_.end() || found->second.running == 0) {
        return;
    }
    Host& host = found->second;
    --host.running;
    --running_;
    if (host.running == 0 && host.waiting.empty()) {
        hosts_.erase(found);
        return;
    }
    refresh(name, host);
}

} // namespace tomorine
