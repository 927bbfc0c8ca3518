#include "linkcheck/link_check.h"

#include "linkcheck/host_scheduler.h"
#include "linkcheck/request_target.h"
#include "linkcheck/transfer.h"
#include "web/curl_handles.h"

#include <condition_variable>
#include <mutex>
#include <thread>
#include <unordered_map>
#include <utility>

namespace tomorine {

namespace {

using Clock = std::chrono::steady_clock;
using std::chrono::milliseconds;

// A poll never sleeps longer than this, so that a lost wake-up costs little.
constexpr milliseconds PollSlice{200};

struct RowState {
    std::string stored; // the URL as the row holds it
    std::string url;    // of the next hop
    bool retried = false;
    int redirects = 0;
    milliseconds spent{0}; // in flight, over all hops
};

} // namespace

class LinkCheck::Worker {
public:
    Worker(std::vector<std::string> urls, LinkCheckOptions options)
        : options_(std::move(options)), resolve_(options_.resolve), verdicts_(urls.size()),
          scheduler_(options_.maxRequests, options_.maxRequestsPerHost) {
        rows_.reserve(urls.size());
        for (std::string& url : urls) {
            rows_.push_back(RowState{url, url});
        }
        multi_.set(CURLMOPT_MAX_TOTAL_CONNECTIONS, static_cast<long>(options_.maxRequests));
        multi_.set(CURLMOPT_MAX_HOST_CONNECTIONS, static_cast<long>(options_.maxRequestsPerHost));
        thread_ = std::thread([this] { run(); });
    }

    ~Worker() { stop(); }

    void stop() {
        {
            std::lock_guard lock(mutex_);
            stopRequested_ = true;
        }
        multi_.wakeup();
        if (thread_.joinable()) {
            thread_.join();
        }
    }

    std::vector<RowVerdict> takeReleased() {
        std::lock_guard lock(mutex_);
        return verdicts_.takeReleased();
    }

    LinkCheckProgress progress() const {
        std::lock_guard lock(mutex_);
        return {verdicts_.rows(), verdicts_.decided(),    verdicts_.dead(), verdicts_.unreachable(),
                answers_,         verdicts_.oldestOpen(), finished_,        error_};
    }

    void waitForChange(milliseconds timeout) {
        std::unique_lock lock(mutex_);
        const std::size_t seen = verdicts_.decided();
        changed_.wait_for(lock, timeout, [&] { return finished_ || verdicts_.decided() != seen; });
    }

private:
    void run() {
        try {
            check();
        } catch (const std::exception& e) {
            std::lock_guard lock(mutex_);
            error_ = e.what();
        }
        abandonAll();
        {
            std::lock_guard lock(mutex_);
            finished_ = true;
        }
        changed_.notify_all();
    }

    void check() {
        for (std::size_t row = 0; row < rows_.size() && !stopRequested(); ++row) {
            queueHop(row);
        }
        runQueued();
        // A failure by transport may have been passing; the second try decides.
        for (std::size_t row : std::exchange(retries_, {})) {
            if (stopRequested()) {
                return;
            }
            RowState& state = rows_[row];
            state.url = state.stored;
            state.redirects = 0;
            state.spent = milliseconds{0};
            queueHop(row);
        }
        runQueued();
    }

    void runQueued() {
        while (!stopRequested() && !scheduler_.idle()) {
            startReady();
            int running = 0;
            curl_multi_perform(multi_.get(), &running);
            collectFinished();
            if (scheduler_.running() > 0 && !stopRequested()) {
                curl_multi_poll(multi_.get(), nullptr, 0, static_cast<int>(PollSlice.count()),
                                nullptr);
            }
        }
    }

    bool stopRequested() const {
        std::lock_guard lock(mutex_);
        return stopRequested_;
    }

    void decide(std::size_t row, LinkVerdict verdict) {
        {
            std::lock_guard lock(mutex_);
            verdicts_.decide(row, std::move(verdict));
        }
        changed_.notify_all();
    }

    // A transport failure on the first try waits for the second.
    void settle(std::size_t row, LinkVerdict verdict) {
        RowState& state = rows_[row];
        if (verdict.linkClass == LinkClass::Unreachable && !state.retried) {
            state.retried = true;
            retries_.push_back(row);
            return;
        }
        decide(row, std::move(verdict));
    }

    // The row's next hop waits for its host, or is decided without a request.
    void queueHop(std::size_t row) {
        RowState& state = rows_[row];
        RequestTarget target = PrepareRequest(state.url, options_);
        if (target.refusal) {
            decide(row, *target.refusal);
            return;
        }
        if (state.spent >= options_.requestTimeout) {
            settle(row, ListedVerdict(LinkClass::Unreachable, LinkReason::Timeout));
            return;
        }
        state.url = std::move(target.url);
        scheduler_.add(row, target.host);
    }

    void startReady() {
        while (auto next = scheduler_.next()) {
            const auto [row, host] = *next;
            RowState& state = rows_[row];
            auto transfer =
                std::make_unique<Transfer>(row, state.url, host, options_, resolve_.get(),
                                           options_.requestTimeout - state.spent);
            multi_.add(transfer->easy());
            started_[transfer->easy().get()] = Clock::now();
            CURL* easy = transfer->easy().get();
            transfers_.emplace(easy, std::move(transfer));
        }
    }

    void collectFinished() {
        int left = 0;
        while (CURLMsg* message = curl_multi_info_read(multi_.get(), &left)) {
            if (message->msg != CURLMSG_DONE) {
                continue;
            }
            auto found = transfers_.find(message->easy_handle);
            if (found == transfers_.end()) {
                continue;
            }
            std::unique_ptr<Transfer> transfer = std::move(found->second);
            transfers_.erase(found);
            multi_.remove(transfer->easy());
            finishHop(*transfer, message->data.result);
        }
    }

    void finishHop(const Transfer& transfer, CURLcode result) {
        const std::size_t row = transfer.row();
        RowState& state = rows_[row];
        auto started = started_.extract(transfer.easy().get());
        state.spent += std::chrono::duration_cast<milliseconds>(Clock::now() - started.mapped());
        scheduler_.finished(transfer.host());
        Transfer::Outcome outcome = transfer.finish(result);
        if (outcome.answered) {
            std::lock_guard lock(mutex_);
            ++answers_;
        }
        if (outcome.verdict) {
            settle(row, std::move(*outcome.verdict));
        } else if (++state.redirects > options_.maxRedirects) {
            settle(row, ListedVerdict(LinkClass::Unreachable, LinkReason::Redirects));
        } else {
            state.url = std::move(outcome.redirect);
            queueHop(row);
        }
    }

    void abandonAll() {
        for (auto& [easy, transfer] : transfers_) {
            multi_.remove(transfer->easy());
        }
        transfers_.clear();
    }

    const LinkCheckOptions options_;
    StringList resolve_;
    MultiHandle multi_;
    std::vector<RowState> rows_;
    std::vector<std::size_t> retries_;
    std::unordered_map<CURL*, std::unique_ptr<Transfer>> transfers_;
    std::unordered_map<CURL*, Clock::time_point> started_;

    mutable std::mutex mutex_;
    std::condition_variable changed_;
    OrderedVerdicts verdicts_;
    bool stopRequested_ = false;
    bool finished_ = false;
    std::string error_;
    std::size_t answers_ = 0;

    HostScheduler scheduler_;
    std::thread thread_;
};

LinkCheck::LinkCheck(std::vector<std::string> urls, LinkCheckOptions options)
    : worker_(std::make_unique<Worker>(std::move(urls), std::move(options))) {}

LinkCheck::~LinkCheck() = default;

void LinkCheck::stop() {
    worker_->stop();
}

std::vector<RowVerdict> LinkCheck::takeReleased() {
    return worker_->takeReleased();
}

LinkCheckProgress LinkCheck::progress() const {
    return worker_->progress();
}

void LinkCheck::waitForChange(milliseconds timeout) {
    worker_->waitForChange(timeout);
}

} // namespace tomorine
