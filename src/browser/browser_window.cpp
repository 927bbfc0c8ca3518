#include "browser/browser_window.h"

#include "store/workbook/ascii_case.h"

#include <array>
#include <string_view>
#include <utility>

namespace tomorine {

namespace {

// Window class (lower case) and the folder its profiles live in.
constexpr std::array<std::pair<std::string_view, std::string_view>, 7> kChromiumFamily{{
    {"chromium", "chromium"},
    {"google-chrome-beta", "google-chrome-beta"},
    {"google-chrome", "google-chrome"},
    {"brave-browser", "BraveSoftware/Brave-Browser"},
    {"vivaldi", "vivaldi"},
    {"microsoft-edge", "microsoft-edge"},
    {"chrome", "google-chrome"},
}};

constexpr std::array<std::string_view, 6> kFirefoxNames{
    "Mozilla Firefox Private Browsing", "Mozilla Firefox",
    "Firefox ESR Private Browsing",     "Firefox ESR",
    "Firefox Private Browsing",         "Firefox"};
// Edge writes a zero-width space inside its own name.
constexpr std::array<std::string_view, 8> kChromiumNames{
    "Chromium", "Google Chrome Beta",   "Google Chrome",  "Brave",
    "Vivaldi",  "Microsoft\u200B Edge", "Microsoft Edge", "Chrome"};

template <std::size_t N>
std::string WithoutSuffix(const std::string& title, const std::array<std::string_view, N>& names) {
    for (std::string_view name : names) {
        if (title == name) {
            return {};
        }
        for (std::string_view dash : {" \u2014 ", " - ", " \u2013 "}) {
            const std::string suffix = std::string(dash) + std::string(name);
            if (title.size() > suffix.size() && title.ends_with(suffix)) {
                return title.substr(0, title.size() - suffix.size());
            }
        }
    }
    return title;
}

} // namespace

std::string ChromiumConfigName(const ForeignWindow& window) {
    for (const std::string& name :
         {AsciiLower(window.className), AsciiLower(window.instanceName)}) {
        for (const auto& [windowClass, folder] : kChromiumFamily) {
            if (name.starts_with(windowClass)) {
                return std::string(folder);
            }
        }
    }
    return {};
}

BrowserKind BrowserOf(const ForeignWindow& window) {
    if (window.id == 0) {
        return BrowserKind::None;
    }
    for (const std::string& name :
         {AsciiLower(window.className), AsciiLower(window.instanceName)}) {
        if (name.starts_with("firefox")) {
            return BrowserKind::Firefox;
        }
    }
    return ChromiumConfigName(window).empty() ? BrowserKind::None : BrowserKind::Chromium;
}

std::string PageTitleOf(const std::string& windowTitle, BrowserKind kind) {
    switch (kind) {
    case BrowserKind::Firefox:
        return WithoutSuffix(windowTitle, kFirefoxNames);
    case BrowserKind::Chromium:
        return WithoutSuffix(windowTitle, kChromiumNames);
    case BrowserKind::None:
        break;
    }
    return windowTitle;
}

} // namespace tomorine
