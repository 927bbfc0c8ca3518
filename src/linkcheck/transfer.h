#pragma once

#include "linkcheck/link_check_options.h"
#include "linkcheck/link_verdict.h"
#include "web/curl_handles.h"

#include <chrono>
#include <cstddef>
#include <optional>
#include <string>

namespace tomorine {

// One GET of one row's URL (one hop of its redirect chain), set up on an
// easy handle: bounded in time, redirects not followed by libcurl (the check
// follows them itself, so that each hop passes its rules and limits), the
// body read up to a limit and dropped.
class Transfer {
public:
    Transfer(std::size_t row, std::string url, std::string host, const LinkCheckOptions& options,
             curl_slist* resolve, std::chrono::milliseconds timeLeft);
    Transfer(const Transfer&) = delete;
    Transfer& operator=(const Transfer&) = delete;

    std::size_t row() const { return row_; }
    const std::string& host() const { return host_; }
    const EasyHandle& easy() const { return easy_; }

    struct Outcome {
        std::optional<LinkVerdict> verdict; // decided
        std::string redirect;               // otherwise the next hop's URL
        bool answered = false;              // a status line came, even if the rest failed
    };
    // What the finished exchange says, given libcurl's result code.
    Outcome finish(CURLcode result) const;

private:
    static std::size_t Discard(char* data, std::size_t size, std::size_t count, void* self);

    std::size_t row_;
    std::string url_;
    std::string host_;
    EasyHandle easy_;
    std::size_t limit_;
    std::size_t read_ = 0;
    bool limitReached_ = false;
};

} // namespace tomorine
