#include "browser/chromium_records.h"

#include "store/files/whole_file.h"

#include <algorithm>
#include <nlohmann/json.hpp>

namespace tomorine {

namespace fs = std::filesystem;

namespace {

constexpr const char* kConfigs[] = {
    "chromium", "google-chrome", "google-chrome-beta", "BraveSoftware/Brave-Browser",
    "vivaldi",  "microsoft-edge"};

// Far above any profile list; a pipe or device in its place is not read.
constexpr std::uint64_t kMaxBrowserListBytes = std::uint64_t{16} << 20;

// Chromium counts microseconds from 1601.
constexpr std::int64_t kEpochDelta = 11'644'473'600'000'000;

constexpr const char* kUrlForTitle =
    "SELECT url, title, COALESCE((SELECT MAX(visit_time) FROM visits WHERE visits.url = urls.id), "
    "last_visit_time) AS seen FROM urls "
    "WHERE title = ?1 AND (url LIKE 'http://%' OR url LIKE 'https://%') "
    "ORDER BY seen DESC LIMIT 1";

constexpr const char* kLatestPage =
    "SELECT u.url, u.title, v.visit_time FROM visits v JOIN urls u ON u.id = v.url "
    "WHERE u.url LIKE 'http://%' OR u.url LIKE 'https://%' "
    "ORDER BY v.visit_time DESC LIMIT 1";

void AddOnce(std::vector<fs::path>& profiles, const fs::path& profile) {
    std::error_code error;
    if (fs::is_regular_file(profile / "History", error) &&
        std::find(profiles.begin(), profiles.end(), profile) == profiles.end()) {
        profiles.push_back(profile);
    }
}

void AddProfilesOf(const fs::path& config, std::vector<fs::path>& profiles) {
    std::string text;
    ReadWholeFile(config / "Local State", text, kMaxBrowserListBytes); // else no profile list
    const auto state = nlohmann::json::parse(text, nullptr, false);
    std::vector<std::string> names;
    if (state.is_object() && state.contains("profile") && state["profile"].is_object()) {
        const auto& profile = state["profile"];
        if (profile.contains("last_used") && profile["last_used"].is_string()) {
            names.push_back(profile["last_used"].get<std::string>());
        }
        if (profile.contains("info_cache") && profile["info_cache"].is_object()) {
            for (const auto& item : profile["info_cache"].items()) {
                names.push_back(item.key());
            }
        }
    }
    names.push_back("Default");
    for (const std::string& name : names) {
        // A name from the file must stay a folder of this browser.
        if (!name.empty() && name.find('/') == std::string::npos && name != ".." && name != ".") {
            AddOnce(profiles, config / name);
        }
    }
}

} // namespace

std::vector<fs::path> ChromiumProfiles(const fs::path& configHome,
                                       const std::string& preferredConfig) {
    std::vector<fs::path> profiles;
    if (!preferredConfig.empty()) {
        AddProfilesOf(configHome / preferredConfig, profiles);
    }
    for (const char* config : kConfigs) {
        AddProfilesOf(configHome / config, profiles);
    }
    return profiles;
}

std::optional<std::string> ChromiumUrlForTitle(const fs::path& profile, const std::string& title) {
    return HistoryUrlForTitle(profile / "History", kUrlForTitle, title);
}

std::optional<VisitedPage> ChromiumLatestPage(const fs::path& profile) {
    HistoryCopy history(profile / "History");
    auto page = history.firstRow(kLatestPage, nullptr);
    if (page) {
        page->visitedAt -= kEpochDelta;
    }
    return page;
}

} // namespace tomorine
