#include "browser/page_fetch.h"

#include <curl/curl.h>
#include <memory>
#include <mutex>

namespace tomorine {

namespace {

struct Sink {
    std::string* body;
    std::size_t maxBytes;
    bool truncated = false;
};

std::size_t Write(char* data, std::size_t size, std::size_t count, void* user) {
    auto* sink = static_cast<Sink*>(user);
    const std::size_t bytes = size * count;
    const std::size_t room = sink->maxBytes - sink->body->size();
    if (bytes > room) {
        sink->body->append(data, room);
        sink->truncated = true;
        return 0; // ends the transfer: the rest is not wanted
    }
    sink->body->append(data, bytes);
    return bytes;
}

void InitCurlOnce() {
    static std::once_flag once;
    std::call_once(once, [] { curl_global_init(CURL_GLOBAL_DEFAULT); });
}

} // namespace

FetchedPage FetchPage(const std::string& url, const FetchOptions& options) {
    InitCurlOnce();
    FetchedPage page;
    std::unique_ptr<CURL, decltype(&curl_easy_cleanup)> curl(curl_easy_init(), &curl_easy_cleanup);
    if (!curl) {
        page.error = "curl_easy_init failed";
        return page;
    }
    Sink sink{&page.body, options.maxBytes};
    char message[CURL_ERROR_SIZE] = {};
    CURL* c = curl.get();
    curl_easy_setopt(c, CURLOPT_URL, url.c_str());
    curl_easy_setopt(c, CURLOPT_PROTOCOLS_STR, "http,https");
    curl_easy_setopt(c, CURLOPT_REDIR_PROTOCOLS_STR, "http,https");
    curl_easy_setopt(c, CURLOPT_FOLLOWLOCATION, 1L);
    curl_easy_setopt(c, CURLOPT_MAXREDIRS, 10L);
    curl_easy_setopt(c, CURLOPT_TIMEOUT_MS, options.timeoutMilliseconds);
    curl_easy_setopt(c, CURLOPT_NOSIGNAL, 1L);
    curl_easy_setopt(c, CURLOPT_ACCEPT_ENCODING, "");
    curl_easy_setopt(c, CURLOPT_USERAGENT, "Mozilla/5.0 (X11; Linux x86_64) tomorine");
    curl_easy_setopt(c, CURLOPT_WRITEFUNCTION, &Write);
    curl_easy_setopt(c, CURLOPT_WRITEDATA, &sink);
    curl_easy_setopt(c, CURLOPT_ERRORBUFFER, message);
    const CURLcode code = curl_easy_perform(c);
    page.truncated = sink.truncated;
    long status = 0;
    curl_easy_getinfo(c, CURLINFO_RESPONSE_CODE, &status);
    char* type = nullptr;
    if (curl_easy_getinfo(c, CURLINFO_CONTENT_TYPE, &type) == CURLE_OK && type) {
        page.contentType = type;
    }
    if (code != CURLE_OK && !(code == CURLE_WRITE_ERROR && sink.truncated)) {
        page.error = message[0] ? message : curl_easy_strerror(code);
        return page;
    }
    if (status >= 400) {
        page.error = "HTTP " + std::to_string(status);
        return page;
    }
    page.ok = true;
    return page;
}

} // namespace tomorine
