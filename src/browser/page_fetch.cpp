#include "browser/page_fetch.h"

#include "web/curl_handles.h"

#include <exception>

namespace tomorine {

namespace {

struct Sink {
    std::string* body;
    std::size_t maxBytes;
    bool truncated = false;
    std::string failure; // what went wrong inside the callback
};

// libcurl calls this through C frames: nothing may be thrown out of it.
std::size_t Write(char* data, std::size_t size, std::size_t count, void* user) noexcept {
    auto* sink = static_cast<Sink*>(user);
    const std::size_t bytes = size * count;
    try {
        const std::size_t room = sink->maxBytes - sink->body->size();
        if (bytes > room) {
            sink->body->append(data, room);
            sink->truncated = true;
            return 0; // ends the transfer: the rest is not wanted
        }
        sink->body->append(data, bytes);
        return bytes;
    } catch (const std::exception& e) {
        sink->failure = e.what();
    } catch (...) {
        sink->failure = "unknown failure";
    }
    return 0;
}

void Perform(const std::string& url, const FetchOptions& options, FetchedPage& page) {
    EasyHandle easy;
    Sink sink{&page.body, options.maxBytes, false, {}};
    char message[CURL_ERROR_SIZE] = {};
    SetUpGet(easy, {url.c_str(), options.timeoutMilliseconds,
                    "Mozilla/5.0 (X11; Linux x86_64) tomorine", &Write, &sink});
    easy.set(CURLOPT_REDIR_PROTOCOLS_STR, "http,https");
    easy.set(CURLOPT_FOLLOWLOCATION, 1L);
    easy.set(CURLOPT_MAXREDIRS, 10L);
    easy.set(CURLOPT_ERRORBUFFER, message);
    const CURLcode code = curl_easy_perform(easy.get());
    page.truncated = sink.truncated;
    long status = 0;
    curl_easy_getinfo(easy.get(), CURLINFO_RESPONSE_CODE, &status);
    char* type = nullptr;
    if (curl_easy_getinfo(easy.get(), CURLINFO_CONTENT_TYPE, &type) == CURLE_OK && type) {
        page.contentType = type;
    }
    if (!sink.failure.empty()) {
        page.error = sink.failure;
    } else if (code != CURLE_OK && !(code == CURLE_WRITE_ERROR && sink.truncated)) {
        page.error = message[0] ? message : curl_easy_strerror(code);
    } else if (status >= 400) {
        page.error = "HTTP " + std::to_string(status);
    } else {
        page.ok = true;
    }
}

} // namespace

FetchedPage FetchPage(const std::string& url, const FetchOptions& options) {
    FetchedPage page;
    try {
        Perform(url, options, page);
    } catch (const std::exception& e) {
        page = {};
        page.error = e.what();
    }
    return page;
}

} // namespace tomorine
