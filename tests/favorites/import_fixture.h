#pragma once
// The entry rows as xlrd reads them back, for the Favorites and browser bookmark imports.
#include "support/entry_rows.h"
#include "support/xls_peer.h"

namespace tomorine::test {

// xlrd reads in `file` the cells that adding `entries` to a new data file stores, and no others.
inline ::testing::AssertionResult StoresAsAdded(const std::filesystem::path& file,
                                                const std::vector<Entry>& entries) {
    return SameAsXlrd(EntriesBook(entries), XlrdValues(file));
}

} // namespace tomorine::test
