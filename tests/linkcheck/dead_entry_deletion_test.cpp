#include "link_check_fixture.h"
#include "linkcheck/dead_entry_deletion.h"
#include "linkcheck/link_targets.h"
#include "store/files/data_file_lock.h"
#include "support/temp_dir.h"

#include <future>
#include <gtest/gtest.h>

namespace tomorine::test {

using namespace std::chrono_literals;

// Serials match as whole values (1 never finds 11); an entry with any
// column changed since the check, or gone, is left alone and named; with
// nothing to remove the file is not written; the deletion waits for
// another writer's lock.
TEST(DeadEntryDeletion, RemovesOnlyEntriesStillAsCheckedUnderTheLock) {
    TempDir dir;
    const auto file = dir / "データ.xls";
    std::vector<Entry> entries{UrlEntry(1, "http://a/1", u"一"),
                               UrlEntry(11, "http://a/11", u"十一"),
                               UrlEntry(2, "http://a/2", u"二"), UrlEntry(3, "http://a/3", u"三"),
                               UrlEntry(4, "http://a/4", u"四")};
    WriteEntries(file, entries);
    const std::vector<LinkTarget> checked = ReadLinkTargets(file);
    entries[2].comment = u"あとで読む";
    entries.pop_back();
    WriteEntries(file, entries);
    const auto before = ReadBytes(file);
    EXPECT_EQ(DeleteDeadEntries(file, {checked[2], checked[4]}).changed,
              (std::vector<std::int32_t>{2, 4}));
    EXPECT_EQ(ReadBytes(file), before);

    std::promise<void> locked;
    std::thread writer([&] {
        DataFileLock lock(file);
        locked.set_value();
        std::this_thread::sleep_for(500ms);
    });
    locked.get_future().wait();
    const auto start = std::chrono::steady_clock::now();
    const DeadEntryDeletion done = DeleteDeadEntries(file, {checked[2], checked[3], checked[0]});
    EXPECT_EQ(done.deleted, (std::vector<std::int32_t>{3, 1}));
    EXPECT_EQ(done.changed, (std::vector<std::int32_t>{2}));
    EXPECT_GE(std::chrono::steady_clock::now() - start, 400ms);
    writer.join();
    EXPECT_EQ(SerialsByXlrd(file), (std::vector<int>{11, 2}));
}

} // namespace tomorine::test
