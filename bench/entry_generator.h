#pragma once

#include "store/entry.h"
#include "store/workbook/workbook.h"

#include <cstdint>
#include <filesystem>
#include <vector>

namespace tomorine::bench {

// Deterministic bookmarks with realistic Japanese texts: a URL of 40-160
// characters, a title of 10-60, a subtitle of 0-120, 2-8 keywords and a
// comment of 0-400 characters (so up to four comment chunks).
std::vector<Entry> GenerateEntries(int count, std::uint32_t seed = 20261206);

// A data workbook (header row, dummy row) holding the given entries as the
// insert statement would have stored them.
Workbook DataWorkbookWith(const std::vector<Entry>& entries);

// The process's peak resident memory so far, in MB, for a benchmark counter.
double PeakRssMb();

// Gives freed memory back and starts the peak anew from what is resident now,
// so that PeakRssMb() measures the work after it, not the set-up before.
void ResetPeakRss();

} // namespace tomorine::bench
