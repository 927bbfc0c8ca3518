#pragma once

#include <curl/curl.h>
#include <memory>
#include <string>
#include <vector>

namespace tomorine {

// Owning wrappers over libcurl's handles. Each one releases its handle in
// its destructor and can be moved but not copied.
//
// Contract:
// - CurlGlobal::Ensure() runs curl_global_init once per process; every
//   constructor here calls it first, so no caller needs to.
// - An EasyHandle must be removed from the MultiHandle it was added to before
//   it is destroyed (MultiHandle::remove); the multi handle does not own it.
// - A MultiHandle is driven by one thread; only wakeup() may be called from
//   another thread while it exists.
// - A StringList (curl_slist) must outlive every easy handle given it.
namespace CurlGlobal {
void Ensure();
}

struct EasyDeleter {
    void operator()(CURL* easy) const noexcept { curl_easy_cleanup(easy); }
};
struct MultiDeleter {
    void operator()(CURLM* multi) const noexcept { curl_multi_cleanup(multi); }
};
struct ListDeleter {
    void operator()(curl_slist* list) const noexcept { curl_slist_free_all(list); }
};
struct UrlDeleter {
    void operator()(CURLU* url) const noexcept { curl_url_cleanup(url); }
};

class EasyHandle {
public:
    // Throws std::bad_alloc when libcurl cannot make a handle.
    EasyHandle();
    CURL* get() const { return easy_.get(); }

    // curl_easy_setopt; a failure is a programming error and throws
    // std::logic_error naming the option.
    template <typename T>
    void set(CURLoption option, T value) {
        check(curl_easy_setopt(easy_.get(), option, value), option);
    }

private:
    static void check(CURLcode code, CURLoption option);
    std::unique_ptr<CURL, EasyDeleter> easy_;
};

class MultiHandle {
public:
    MultiHandle();
    CURLM* get() const { return multi_.get(); }

    template <typename T>
    void set(CURLMoption option, T value) {
        curl_multi_setopt(multi_.get(), option, value);
    }
    void add(const EasyHandle& easy);
    void remove(const EasyHandle& easy) noexcept;
    // Interrupts a curl_multi_poll of the driving thread; safe from any thread.
    void wakeup() noexcept { curl_multi_wakeup(multi_.get()); }

private:
    std::unique_ptr<CURLM, MultiDeleter> multi_;
};

// What every GET of ours sets: the URL (which must outlive the transfer),
// http and https only, no signals, a limit on the whole transfer, compressed
// bodies accepted, the user agent, and the callback that takes the body.
struct GetSetup {
    const char* url;
    long timeoutMilliseconds;
    const char* userAgent;
    curl_write_callback write;
    void* sink;
};
void SetUpGet(EasyHandle& easy, const GetSetup& setup);

// A list of strings as libcurl takes them (CURLOPT_RESOLVE, headers).
class StringList {
public:
    StringList() = default;
    explicit StringList(const std::vector<std::string>& items);
    curl_slist* get() const { return list_.get(); }

private:
    std::unique_ptr<curl_slist, ListDeleter> list_;
};

// A parsed URL (curl's own parser, the one the request uses).
class ParsedUrl {
public:
    ParsedUrl();
    // CURLUE_OK when the URL parsed. Spaces and non-ASCII characters are
    // percent-encoded; schemes curl does not speak still parse.
    CURLUcode parse(const std::string& url);
    // A part of the parsed URL; empty when it has none.
    std::string part(CURLUPart which) const;

private:
    std::unique_ptr<CURLU, UrlDeleter> url_;
};

} // namespace tomorine
