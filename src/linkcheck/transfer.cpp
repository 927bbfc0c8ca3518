#include "linkcheck/transfer.h"

#include <algorithm>

namespace tomorine {

Transfer::Transfer(std::size_t row, std::string url, std::string host,
                   const LinkCheckOptions& options, curl_slist* resolve,
                   std::chrono::milliseconds timeLeft)
    : row_(row), url_(std::move(url)), host_(std::move(host)), limit_(options.bodyLimit) {
    const long total = static_cast<long>(std::max<std::int64_t>(1, timeLeft.count()));
    const long connect = std::min(
        total, static_cast<long>(std::max<std::int64_t>(1, options.connectTimeout.count())));
    SetUpGet(easy_, {url_.c_str(), total, options.userAgent.c_str(), &Transfer::Discard,
                     static_cast<void*>(this)});
    easy_.set(CURLOPT_FOLLOWLOCATION, 0L);
    easy_.set(CURLOPT_CONNECTTIMEOUT_MS, connect);
    easy_.set(CURLOPT_PRIVATE, static_cast<void*>(this));
    if (resolve != nullptr) {
        easy_.set(CURLOPT_RESOLVE, resolve);
    }
    if (options.noProxy) {
        easy_.set(CURLOPT_PROXY, "");
    }
}

std::size_t Transfer::Discard(char*, std::size_t size, std::size_t count, void* self) {
    auto* transfer = static_cast<Transfer*>(self);
    const std::size_t bytes = size * count;
    transfer->read_ += bytes;
    if (transfer->read_ > transfer->limit_) {
        // Enough is known; ending the transfer here is no failure.
        transfer->limitReached_ = true;
        return 0;
    }
    return bytes;
}

Transfer::Outcome Transfer::finish(CURLcode result) const {
    long status = 0;
    curl_easy_getinfo(easy_.get(), CURLINFO_RESPONSE_CODE, &status);
    const bool answered = status != 0;
    if (result != CURLE_OK && !(result == CURLE_WRITE_ERROR && limitReached_)) {
        return {VerdictOfFailure(result), {}, answered};
    }
    if (status >= 300 && status < 400) {
        char* location = nullptr;
        curl_easy_getinfo(easy_.get(), CURLINFO_REDIRECT_URL, &location);
        if (location != nullptr && *location != '\0') {
            return {std::nullopt, location, answered};
        }
    }
    return {VerdictOfStatus(status), {}, answered};
}

} // namespace tomorine
