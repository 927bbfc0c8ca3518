// Which names are a sync tool's conflict copies of the data file: a wrong
// yes merges a stranger's workbook, a wrong no hides the other machine's entries.
#include "merge/conflict_copies.h"

#include <gtest/gtest.h>

namespace tomorine::test {
namespace {

TEST(ConflictCopies, OnlyEachSyncToolsOwnNamesAreCopies) {
    const struct {
        const char *data, *name;
        std::optional<SyncTool> kind;
    } cases[] = {
        {"bm.xls", "bm.sync-conflict-20261206-134501-ABCDEF1.xls", SyncTool::Syncthing},
        {"bm.xls", "bm (conflicted copy 2026-12-06 134501).xls", SyncTool::Nextcloud},
        {"bm.xls", "bm (laptop's conflicted copy 2026-12-06).xls", SyncTool::Dropbox},
        {"bm.xls", "bm (Taro’s MacBook's conflicted copy 2026-12-06) (1).xls", SyncTool::Dropbox},
        {"my.bm.xls", "my.bm (conflicted copy 2026-12-06 134501).xls", SyncTool::Nextcloud},
        // Alike, but not copies of bm.xls.
        {"bm.xls", "bm.xls", std::nullopt},
        {"bm.xls", "bmx.sync-conflict-20261206-134501-ABCDEF1.xls", std::nullopt},
        {"bm.xls", "bm.sync-conflict-2026126-134501-ABCDEF1.xls", std::nullopt},
        {"bm.xls", "bm.sync-conflict-20261206-134501-abcdef1.xls", std::nullopt},
        {"bm.xls", "bm.sync-conflict-20261206-134501-ABCDEF1.xls.tmp", std::nullopt},
        {"bm.xls", "bm (conflicted copy 2026-12-06 134501).ods", std::nullopt},
        {"bm.xls", "bm (conflicted copy 2026-12-06).xls", std::nullopt},
        {"bm.xls", "bn (conflicted copy 2026-12-06 134501).xls", std::nullopt},
        {"bm.xls", "bm (laptop's conflicted copy).xls", std::nullopt},
        {"bm.xls", "bm (conflicted copy 2026-12-06 134501) ().xls", std::nullopt},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(ConflictCopyKind(c.data, c.name), c.kind) << c.data << " / " << c.name;
    }
}

} // namespace
} // namespace tomorine::test
