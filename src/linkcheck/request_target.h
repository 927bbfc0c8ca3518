#pragma once

#include "linkcheck/link_check_options.h"
#include "linkcheck/link_verdict.h"

#include <optional>
#include <string>

namespace tomorine {

// What the check makes of a URL (stored or redirected to) before any
// request: the URL to send and its host, or the verdict that no request
// is needed to reach.
struct RequestTarget {
    std::string url;  // spaces and non-ASCII characters percent-encoded
    std::string host; // lower case, the key of the per-host limit
    std::optional<LinkVerdict> refusal;
};

// Empty, malformed and non-http(s) URLs are refused (ftp: and file: as
// unjudged), and so is a host of the reserved top-level domain "invalid",
// which no resolver may be asked about, and a host that options.hostAllowed
// refuses. Surrounding blanks are dropped.
RequestTarget PrepareRequest(const std::string& url, const LinkCheckOptions& options);

} // namespace tomorine
