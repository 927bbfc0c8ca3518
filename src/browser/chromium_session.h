#pragma once

#include "browser/history_copy.h"

#include <cstdint>
#include <filesystem>
#include <optional>
#include <span>
#include <vector>

namespace tomorine {

// The tab navigations of a Chromium session file ("SNSS"), in file order,
// http(s) pages only, times in microseconds since 1970. Chromium writes them
// seconds before its History commits the visit. A file cut short, of another
// version or with a malformed record gives the navigations before the fault.
std::vector<VisitedPage> SessionNavigations(std::span<const std::uint8_t> bytes);

// The newest navigation of the profile's newest session file (Sessions/Session_*
// or the older "Current Session"); nothing when there is none or it cannot be
// read. A file over 32 MiB, a pipe or a device is not read.
std::optional<VisitedPage> ChromiumSessionLatestPage(const std::filesystem::path& profile);

} // namespace tomorine
