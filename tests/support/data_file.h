#pragma once

#include "store/entry.h"

#include <filesystem>
#include <vector>

namespace tomorine::test {

// A data workbook holding `entries` as add stores them; those whose serials
// are in `deleted` flagged deleted.
void WriteEntries(const std::filesystem::path& path, const std::vector<Entry>& entries,
                  const std::vector<int>& deleted = {});

} // namespace tomorine::test
