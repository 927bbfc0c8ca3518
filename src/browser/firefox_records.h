#pragma once

#include "browser/history_copy.h"

#include <filesystem>
#include <optional>
#include <string>
#include <vector>

namespace tomorine {

// Firefox's profile folders under a home folder (the usual, snap and flatpak
// places), each place's default profile first, as profiles.ini lists them.
std::vector<std::filesystem::path> FirefoxProfiles(const std::filesystem::path& home);

// The http(s) URL of a page with exactly this title: first from the open
// tabs of the session file (selected tabs, then the most recently used),
// then from places.sqlite, most recent visit first.
std::optional<std::string> FirefoxUrlForTitle(const std::filesystem::path& profile,
                                              const std::string& title);

// The most recently visited http(s) page of the profile.
std::optional<VisitedPage> FirefoxLatestPage(const std::filesystem::path& profile);

} // namespace tomorine
