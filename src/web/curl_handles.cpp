#include "web/curl_handles.h"

#include <mutex>
#include <new>
#include <stdexcept>

namespace tomorine {

void CurlGlobal::Ensure() {
    static std::once_flag once;
    std::call_once(once, [] {
        if (curl_global_init(CURL_GLOBAL_DEFAULT) != CURLE_OK) {
            throw std::runtime_error("libcurl を初期化できません");
        }
    });
}

EasyHandle::EasyHandle() {
    CurlGlobal::Ensure();
    easy_.reset(curl_easy_init());
    if (!easy_) {
        throw std::bad_alloc();
    }
}

void EasyHandle::check(CURLcode code, CURLoption option) {
    if (code != CURLE_OK) {
        throw std::logic_error("curl_easy_setopt " + std::to_string(option) + ": " +
                               curl_easy_strerror(code));
    }
}

void SetUpGet(EasyHandle& easy, const GetSetup& setup) {
    easy.set(CURLOPT_URL, setup.url);
    easy.set(CURLOPT_PROTOCOLS_STR, "http,https");
    easy.set(CURLOPT_HTTPGET, 1L);
    easy.set(CURLOPT_NOSIGNAL, 1L);
    easy.set(CURLOPT_TIMEOUT_MS, setup.timeoutMilliseconds);
    easy.set(CURLOPT_ACCEPT_ENCODING, "");
    easy.set(CURLOPT_USERAGENT, setup.userAgent);
    easy.set(CURLOPT_WRITEFUNCTION, setup.write);
    easy.set(CURLOPT_WRITEDATA, setup.sink);
}

MultiHandle::MultiHandle() {
    CurlGlobal::Ensure();
    multi_.reset(curl_multi_init());
    if (!multi_) {
        throw std::bad_alloc();
    }
}

void MultiHandle::add(const EasyHandle& easy) {
    CURLMcode code = curl_multi_add_handle(multi_.get(), easy.get());
    if (code != CURLM_OK) {
        throw std::runtime_error(std::string("curl_multi_add_handle: ") +
                                 curl_multi_strerror(code));
    }
}

void MultiHandle::remove(const EasyHandle& easy) noexcept {
    curl_multi_remove_handle(multi_.get(), easy.get());
}

StringList::StringList(const std::vector<std::string>& items) {
    for (const std::string& item : items) {
        curl_slist* grown = curl_slist_append(list_.get(), item.c_str());
        if (grown == nullptr) {
            throw std::bad_alloc();
        }
        list_.release();
        list_.reset(grown);
    }
}

ParsedUrl::ParsedUrl() {
    CurlGlobal::Ensure();
    url_.reset(curl_url());
    if (!url_) {
        throw std::bad_alloc();
    }
}

CURLUcode ParsedUrl::parse(const std::string& url) {
    return curl_url_set(url_.get(), CURLUPART_URL, url.c_str(),
                        CURLU_URLENCODE | CURLU_NON_SUPPORT_SCHEME);
}

std::string ParsedUrl::part(CURLUPart which) const {
    char* text = nullptr;
    if (curl_url_get(url_.get(), which, &text, 0) != CURLUE_OK || text == nullptr) {
        return {};
    }
    std::string value(text);
    curl_free(text);
    return value;
}

} // namespace tomorine
