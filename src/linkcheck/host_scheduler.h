#pragma once

#include <cstddef>
#include <optional>
#include <set>
#include <string>
#include <unordered_map>
#include <utility>

namespace tomorine {

// Picks which waiting request starts next: the lowest row among the hosts
// that are below their limit, while fewer than `maxTotal` run. Rows are
// handed out in row order as far as the limits allow, so that the earliest
// rows are decided first.
class HostScheduler {
public:
    HostScheduler(int maxTotal, int maxPerHost);

    // Puts a row in the queue of its host (again, after a redirect).
    void add(std::size_t row, const std::string& host);
    // The next row to start and its host, counted as running; none when the
    // limits are reached or nothing waits.
    std::optional<std::pair<std::size_t, std::string>> next();
    // A request to `host` ended.
    void finished(const std::string& host);

    bool idle() const { return waiting_ == 0 && running_ == 0; }
    int running() const { return running_; }
    std::size_t waiting() const { return waiting_; }

private:
    struct Host {
        std::set<std::size_t> waiting;
        int running = 0;
        std::optional<std::size_t> readyKey; // its entry in ready_
    };
    void refresh(const std::string& name, Host& host);

    int maxTotal_;
    int maxPerHost_;
    std::unordered_map<std::string, Host> hosts_;
    std::set<std::pair<std::size_t, std::string>> ready_; // (lowest waiting row, host)
    std::size_t waiting_ = 0;
    int running_ = 0;
};

} // namespace tomorine
