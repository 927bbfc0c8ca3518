#pragma once

#include "browser/foreign_window.h"
#include "browser/page_fetch.h"

#include <chrono>
#include <filesystem>
#include <functional>
#include <string>

namespace tomorine {

// What the capture fills in: URL, title and keyword fields (UTF-8). An empty
// URL is no capture.
struct CapturedPage {
    std::string url;
    std::string title;
    std::string keywords;
    std::string fetchError; // why the page could not be read, "" when it was
};

// Where the capture looks.
struct CaptureEnvironment {
    std::filesystem::path home;                 // Firefox's profiles live under it
    std::filesystem::path configHome;           // Chromium's: ~/.config or $XDG_CONFIG_HOME
    std::function<std::string()> clipboardText; // may be empty
    FetchOptions fetch;
    // How long a Chromium page not yet in its records is waited for, and
    // what is called (on the capturing thread) when the wait begins.
    std::chrono::milliseconds recordWait{3000};
    std::function<void()> waiting;
};

// The user's folders from $HOME and $XDG_CONFIG_HOME; no clipboard.
CaptureEnvironment DefaultCaptureEnvironment();

// The page a browser window shows. Its URL comes from the browser's records
// of the page with the window's title (for Chromium, waited for a moment);
// for no window (id 0), the most recently visited page of all profiles; when that finds nothing, an
// http or https URL on the clipboard. A window that is not a browser's gives nothing. Then the page
// is fetched for its keywords (and its title, when the browser gave none).
CapturedPage CaptureFromBrowser(const ForeignWindow& window, const CaptureEnvironment& env);

// The fetch and the keyword rule alone: the page at `url` with its keywords,
// `title` or else the page's own title, cut to what an entry's title keeps.
CapturedPage CapturePage(const std::string& url, const std::string& title,
                         const FetchOptions& fetch);

// The clipboard's text when it is one http or https URL (spaces around it
// dropped), else "".
std::string WebUrlOf(const std::string& clipboardText);

} // namespace tomorine
