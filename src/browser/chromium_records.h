#pragma once

#include "browser/history_copy.h"

#include <filesystem>
#include <optional>
#include <string>
#include <vector>

namespace tomorine {

// The profile folders of the Chromium-family browsers under the user's
// configuration folder (~/.config), those of `preferredConfig` (e.g.
// "chromium") first, each browser's last used profile before its others.
std::vector<std::filesystem::path> ChromiumProfiles(const std::filesystem::path& configHome,
                                                    const std::string& preferredConfig);

// The http(s) URL of a page with exactly this title in the profile's History,
// most recent visit first.
std::optional<std::string> ChromiumUrlForTitle(const std::filesystem::path& profile,
                                               const std::string& title);

// The most recently visited http(s) page of the profile (time in
// microseconds since 1970).
std::optional<VisitedPage> ChromiumLatestPage(const std::filesystem::path& profile);

} // namespace tomorine
