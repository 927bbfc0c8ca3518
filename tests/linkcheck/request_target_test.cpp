#include "linkcheck/request_target.h"

#include <gtest/gtest.h>

namespace tomorine {
namespace {

struct Row {
    const char* url;
    const char* host;   // expected host, when a request is made
    const char* reason; // expected refusal, when none is made
};

TEST(PrepareRequest, RefusesWhatNoRequestCanReach) {
    const Row rows[] = {
        {"http://Example.COM/a", "example.com", nullptr},
        {"HTTPS://example.com:8443/", "example.com", nullptr},
        {" \thttp://example.com/ \r\n", "example.com", nullptr},
        {"http://127.0.0.1:1/x", "127.0.0.1", nullptr},
        {"http://[::1]:80/", "[::1]", nullptr},
        {"", nullptr, DeadReason::EmptyUrl},
        {"ftp://example.com/", nullptr, DeadReason::Scheme},
        {"file:///etc/passwd", nullptr, DeadReason::Scheme},
        {"javascript:alert(1)", nullptr, DeadReason::Scheme},
        {"mailto:a@example.com", nullptr, DeadReason::Scheme},
        {"example.com/page", nullptr, DeadReason::Malformed},
        {"http://", nullptr, DeadReason::Malformed},
        {"http://a b/", nullptr, DeadReason::Malformed},
        {"http://x.invalid/", nullptr, DeadReason::NotResolved},
        {"http://X.INVALID./", nullptr, DeadReason::NotResolved},
        {"http://invalid/", nullptr, DeadReason::NotResolved},
        {"https://a.b.invalid:443/p?q", nullptr, DeadReason::NotResolved},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.url);
        RequestTarget target = PrepareRequest(row.url, LinkCheckOptions{});
        if (row.reason != nullptr) {
            ASSERT_TRUE(target.refusal.has_value());
            EXPECT_EQ(target.refusal->reason, row.reason);
        } else {
            ASSERT_FALSE(target.refusal.has_value()) << target.refusal->reason;
            EXPECT_EQ(target.host, row.host);
        }
    }
}

TEST(PrepareRequest, EncodesSpacesAndNonAsciiCharacters) {
    RequestTarget target = PrepareRequest("http://example.com/日本 語?q=a b", {});
    ASSERT_FALSE(target.refusal.has_value());
    EXPECT_EQ(target.url.find(' '), std::string::npos) << target.url;
    EXPECT_EQ(target.url.find("\xe6"), std::string::npos) << target.url;
}

TEST(PrepareRequest, AHostFilterRefusesBeforeAnyLookUp) {
    LinkCheckOptions options;
    options.hostAllowed = [](std::string_view host) { return host == "ok.test"; };
    EXPECT_FALSE(PrepareRequest("http://ok.test/", options).refusal.has_value());
    EXPECT_EQ(PrepareRequest("http://other.test/", options).refusal->reason,
              DeadReason::HostNotAllowed);
}

} // namespace
} // namespace tomorine
