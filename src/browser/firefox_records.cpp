#include "browser/firefox_records.h"

#include "browser/mozlz4.h"
#include "store/files/whole_file.h"
#include "store/workbook/workbook_error.h"

#include <algorithm>
#include <map>
#include <nlohmann/json.hpp>
#include <sstream>

namespace tomorine {

namespace fs = std::filesystem;

namespace {

// Far above any profile list; a pipe or device in its place is not read.
constexpr std::uint64_t kMaxBrowserListBytes = std::uint64_t{16} << 20;

using Section = std::map<std::string, std::string>;

std::vector<std::pair<std::string, Section>> ReadIni(const fs::path& path) {
    std::vector<std::pair<std::string, Section>> sections;
    std::string text;
    ReadWholeFile(path, text, kMaxBrowserListBytes); // else no profile
    std::istringstream file(text);
    std::string line;
    while (std::getline(file, line)) {
        if (!line.empty() && line.back() == '\r') {
            line.pop_back();
        }
        if (line.starts_with('[') && line.ends_with(']')) {
            sections.emplace_back(line.substr(1, line.size() - 2), Section{});
        } else if (const auto equals = line.find('=');
                   equals != std::string::npos && !sections.empty()) {
            sections.back().second[line.substr(0, equals)] = line.substr(equals + 1);
        }
    }
    return sections;
}

fs::path ProfilePath(const fs::path& base, const std::string& path, bool relative) {
    return relative ? base / path : fs::path(path);
}

void AddOnce(std::vector<fs::path>& profiles, const fs::path& profile) {
    std::error_code error;
    if (fs::is_directory(profile, error) &&
        std::find(profiles.begin(), profiles.end(), profile) == profiles.end()) {
        profiles.push_back(profile);
    }
}

void AddProfilesOf(const fs::path& base, std::vector<fs::path>& profiles) {
    const auto sections = ReadIni(base / "profiles.ini");
    // The install's own default is the one it opens; then the marked default.
    for (const auto& [name, values] : sections) {
        if (name.starts_with("Install") && values.contains("Default")) {
            AddOnce(profiles, ProfilePath(base, values.at("Default"), true));
        }
    }
    for (bool defaultOnly : {true, false}) {
        for (const auto& [name, values] : sections) {
            if (!name.starts_with("Profile") || !values.contains("Path")) {
                continue;
            }
            const bool isDefault = values.contains("Default") && values.at("Default") == "1";
            if (defaultOnly && !isDefault) {
                continue;
            }
            const bool relative = !values.contains("IsRelative") || values.at("IsRelative") != "0";
            AddOnce(profiles, ProfilePath(base, values.at("Path"), relative));
        }
    }
}

constexpr const char* kUrlForTitle =
    "SELECT url, title, COALESCE((SELECT MAX(visit_date) FROM moz_historyvisits "
    "WHERE place_id = moz_places.id), last_visit_date, 0) AS seen FROM moz_places "
    "WHERE title = ?1 AND (url LIKE 'http://%' OR url LIKE 'https://%') "
    "ORDER BY seen DESC LIMIT 1";

constexpr const char* kLatestPage = "SELECT p.url, p.title, v.visit_date FROM moz_historyvisits v "
                                    "JOIN moz_places p ON p.id = v.place_id "
                                    "WHERE p.url LIKE 'http://%' OR p.url LIKE 'https://%' "
                                    "ORDER BY v.visit_date DESC LIMIT 1";

bool IsWebUrl(const std::string& url) {
    return url.starts_with("http://") || url.starts_with("https://");
}

std::string ReadSession(const fs::path& profile) {
    for (const char* name : {"sessionstore-backups/recovery.jsonlz4", "sessionstore.jsonlz4"}) {
        try {
            return ReadMozLz4File(profile / name);
        } catch (const WorkbookError&) {
            // The older session file or the history answers instead.
        }
    }
    return {};
}

// The open tabs' pages of a session file's JSON, selected tabs first, then
// by last use; each with its tab's last use (microseconds since 1970).
std::vector<VisitedPage> SessionPages(const std::string& sessionJson) {
    using nlohmann::json;
    const json session = json::parse(sessionJson, nullptr, false);
    std::vector<std::pair<bool, VisitedPage>> tabs;
    if (!session.is_object() || !session.contains("windows") || !session["windows"].is_array()) {
        return {};
    }
    for (const json& window : session["windows"]) {
        const json tabList = window.value("tabs", json::array());
        if (!tabList.is_array()) {
            continue;
        }
        const long selected = window.value("selected", 1L);
        for (std::size_t t = 0; t < tabList.size(); ++t) {
            const json& tab = tabList[t];
            const json entries = tab.value("entries", json::array());
            if (!entries.is_array() || entries.empty()) {
                continue;
            }
            std::size_t index = static_cast<std::size_t>(tab.value("index", 0L));
            if (index < 1 || index > entries.size()) {
                index = entries.size();
            }
            const json& entry = entries[index - 1];
            VisitedPage page{entry.value("url", ""), entry.value("title", ""),
                             tab.value("lastAccessed", 0LL) * 1000};
            tabs.emplace_back(static_cast<long>(t + 1) == selected, std::move(page));
        }
    }
    std::stable_sort(tabs.begin(), tabs.end(), [](const auto& a, const auto& b) {
        return a.first != b.first ? a.first : a.second.visitedAt > b.second.visitedAt;
    });
    std::vector<VisitedPage> pages;
    for (auto& tab : tabs) {
        pages.push_back(std::move(tab.second));
    }
    return pages;
}

} // namespace

std::vector<fs::path> FirefoxProfiles(const fs::path& home) {
    std::vector<fs::path> profiles;
    for (const char* base : {".mozilla/firefox", "snap/firefox/common/.mozilla/firefox",
                             ".var/app/org.mozilla.firefox/.mozilla/firefox"}) {
        AddProfilesOf(home / base, profiles);
    }
    return profiles;
}

std::optional<std::string> FirefoxUrlForTitle(const fs::path& profile, const std::string& title) {
    if (title.empty()) {
        return std::nullopt;
    }
    const std::string session = ReadSession(profile);
    if (!session.empty()) {
        for (const VisitedPage& page : SessionPages(session)) {
            if (page.title == title && IsWebUrl(page.url)) {
                return page.url;
            }
        }
    }
    return HistoryUrlForTitle(profile / "places.sqlite", kUrlForTitle, title);
}

std::optional<VisitedPage> FirefoxLatestPage(const fs::path& profile) {
    HistoryCopy places(profile / "places.sqlite");
    return places.firstRow(kLatestPage, nullptr);
}

} // namespace tomorine
