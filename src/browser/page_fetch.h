#pragma once

#include <cstddef>
#include <string>

namespace tomorine {

struct FetchOptions {
    long timeoutMilliseconds = 10'000;      // the whole transfer
    std::size_t maxBytes = 2 * 1024 * 1024; // more is not read
};

struct FetchedPage {
    bool ok = false;         // a page arrived (possibly cut at maxBytes)
    bool truncated = false;  // the page was longer than maxBytes
    std::string body;        // the bytes as sent
    std::string contentType; // the Content-Type header, "" without one
    std::string error;       // why not, when !ok
};

// GET of an http or https URL, redirects followed. Safe to call from any
// thread; an error status (400 and over) is no page.
FetchedPage FetchPage(const std::string& url, const FetchOptions& options = {});

} // namespace tomorine
