#pragma once

#include <chrono>
#include <cstddef>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

namespace tomorine {

// How the link check makes its requests. The defaults are the program's.
struct LinkCheckOptions {
    int maxRequests = 64;       // requests in flight at once
    int maxRequestsPerHost = 2; // of them to one host name
    std::chrono::milliseconds connectTimeout{10'000};
    std::chrono::milliseconds requestTimeout{30'000}; // the whole request, redirects included
    int maxRedirects = 10;
    std::size_t bodyLimit = 64 * 1024; // bytes of a response body read before it is dropped
    std::string userAgent = "Tomorine-LinkCheck/0.1 (bookmark link check)";
    // "host:port:address" entries put into the name cache before any lookup
    // (CURLOPT_RESOLVE), so that names reach the given addresses.
    std::vector<std::string> resolve;
    // When set, a host for which it returns false is never looked up nor
    // connected to: the request fails at once. Tests keep to loopback so.
    std::function<bool(std::string_view host)> hostAllowed;
    // Ignore the proxy of the environment (http_proxy and the like).
    bool noProxy = false;
};

} // namespace tomorine
