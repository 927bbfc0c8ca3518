#include "browser/capture.h"

#include "browser/browser_window.h"
#include "browser/chromium_records.h"
#include "browser/chromium_session.h"
#include "browser/firefox_records.h"
#include "browser/meta_keywords.h"
#include "browser/page_charset.h"
#include "browser/page_markup.h"
#include "store/entry.h"
#include "store/workbook/utf.h"

#include <chrono>
#include <cstdlib>
#include <optional>
#include <pwd.h>
#include <thread>
#include <unistd.h>

namespace tomorine {

namespace fs = std::filesystem;

namespace {

void KeepNewer(std::optional<VisitedPage>& latest, std::optional<VisitedPage> page) {
    if (page && (!latest || page->visitedAt > latest->visitedAt)) {
        latest = std::move(page);
    }
}

std::optional<VisitedPage> NewestSessionPage(const std::vector<fs::path>& profiles) {
    std::optional<VisitedPage> newest;
    for (const fs::path& profile : profiles) {
        KeepNewer(newest, ChromiumSessionLatestPage(profile));
    }
    return newest;
}

// Chromium records a page in its session file a few seconds after loading it
// (often before its title) and in its History seconds later still. A page
// not found under its title in either is waited for until a newer navigation
// turns up in the session file, at most env.recordWait; then the newest page
// of both is taken, unless its title says it is another page.
std::optional<std::string> ChromiumUrlFor(const ForeignWindow& window, const std::string& title,
                                          const CaptureEnvironment& env) {
    const auto profiles = ChromiumProfiles(env.configHome, ChromiumConfigName(window));
    auto found = [&](const std::optional<VisitedPage>& page) {
        return page && page->title == title && !title.empty();
    };
    auto maybe = [&](const std::optional<VisitedPage>& page) {
        return page && (page->title.empty() || page->title == title);
    };
    const std::optional<VisitedPage> before = NewestSessionPage(profiles);
    if (found(before)) {
        return before->url;
    }
    for (const fs::path& profile : profiles) {
        if (auto url = ChromiumUrlForTitle(profile, title)) {
            return url;
        }
    }
    if (env.waiting) {
        env.waiting();
    }
    const auto deadline = std::chrono::steady_clock::now() + env.recordWait;
    while (std::chrono::steady_clock::now() < deadline) {
        std::this_thread::sleep_for(std::chrono::milliseconds(200));
        const std::optional<VisitedPage> now = NewestSessionPage(profiles);
        if (found(now) || (maybe(now) && (!before || now->visitedAt > before->visitedAt))) {
            return now->url;
        }
    }
    std::optional<VisitedPage> newest = NewestSessionPage(profiles);
    for (const fs::path& profile : profiles) {
        if (auto url = ChromiumUrlForTitle(profile, title)) {
            return url;
        }
        KeepNewer(newest, ChromiumLatestPage(profile));
    }
    return maybe(newest) ? std::optional(newest->url) : std::nullopt;
}

std::optional<std::string> UrlForTitle(BrowserKind kind, const ForeignWindow& window,
                                       const std::string& title, const CaptureEnvironment& env) {
    if (kind == BrowserKind::Chromium) {
        return ChromiumUrlFor(window, title, env);
    }
    for (const fs::path& profile : FirefoxProfiles(env.home)) {
        if (auto url = FirefoxUrlForTitle(profile, title)) {
            return url;
        }
    }
    return std::nullopt;
}

std::optional<VisitedPage> LatestPage(const CaptureEnvironment& env) {
    std::optional<VisitedPage> latest;
    for (const fs::path& profile : FirefoxProfiles(env.home)) {
        KeepNewer(latest, FirefoxLatestPage(profile));
    }
    for (const fs::path& profile : ChromiumProfiles(env.configHome, "")) {
        KeepNewer(latest, ChromiumLatestPage(profile));
        KeepNewer(latest, ChromiumSessionLatestPage(profile));
    }
    return latest;
}

CapturedPage FetchedCapture(const std::string& url, const std::string& title,
                            const FetchOptions& fetch) {
    CapturedPage captured{url, title, {}, {}};
    const FetchedPage page = FetchPage(url, fetch);
    if (!page.ok) {
        captured.fetchError = page.error;
        return captured;
    }
    const PageMarkup markup = ParsePageMarkup(DecodePage(page.body, page.contentType));
    if (auto keywords = KeywordsFromMarkup(markup.markup)) {
        captured.keywords = *keywords;
    }
    if (captured.title.empty()) {
        captured.title = markup.title;
    }
    return captured;
}

} // namespace

CaptureEnvironment DefaultCaptureEnvironment() {
    CaptureEnvironment env;
    const char* home = std::getenv("HOME");
    if (home && *home) {
        env.home = home;
    } else if (const passwd* user = getpwuid(getuid()); user && user->pw_dir) {
        env.home = user->pw_dir; // never the current folder
    }
    const char* config = std::getenv("XDG_CONFIG_HOME");
    env.configHome = config && *config && fs::path(config).is_absolute() ? fs::path(config)
                                                                         : env.home / ".config";
    return env;
}

std::string WebUrlOf(const std::string& clipboardText) {
    constexpr const char* kSpaces = " \t\r\n";
    const std::size_t begin = clipboardText.find_first_not_of(kSpaces);
    if (begin == std::string::npos) {
        return {};
    }
    const std::string text =
        clipboardText.substr(begin, clipboardText.find_last_not_of(kSpaces) + 1 - begin);
    const bool web = text.starts_with("http://") || text.starts_with("https://");
    if (!web || text.find_first_of(kSpaces) != std::string::npos) {
        return {};
    }
    return text;
}

CapturedPage CapturePage(const std::string& url, const std::string& title,
                         const FetchOptions& fetch) {
    CapturedPage captured = FetchedCapture(url, title, fetch);
    // The entry keeps no more; a page's endless title is not shown either.
    captured.title = ToUtf8(FittedText(FromUtf8(captured.title), FieldGroup::Title));
    return captured;
}

CapturedPage CaptureFromBrowser(const ForeignWindow& window, const CaptureEnvironment& env) {
    const BrowserKind kind = BrowserOf(window);
    if (window.id != 0 && kind == BrowserKind::None) {
        return {};
    }
    std::string url;
    std::string title;
    if (kind != BrowserKind::None) {
        title = PageTitleOf(window.title, kind);
        url = UrlForTitle(kind, window, title, env).value_or("");
    } else if (auto latest = LatestPage(env)) {
        url = latest->url;
        title = latest->title;
    }
    if (url.empty() && env.clipboardText) {
        url = WebUrlOf(env.clipboardText());
    }
    if (url.empty()) {
        return {};
    }
    return CapturePage(url, title, env.fetch);
}

} // namespace tomorine
