#include "link_check_fixture.h"
#include "linkcheck/dead_entry_deletion.h"
#include "store/files/data_file_lock.h"
#include "support/temp_dir.h"

#include <future>
#include <gtest/gtest.h>

namespace tomorine::test {
namespace {

namespace fs = std::filesystem;
using namespace std::chrono_literals;

// Serials match as whole values (1 never finds 11); an entry changed or gone
// since the check is left alone, with nothing to remove the file is not
// written, and the deletion waits for another writer's lock.
TEST(DeadEntryDeletion, RemovesOnlyUnchangedEntriesUnderTheLock) {
    TempDir dir;
    const fs::path file = dir / "データ.xls";
    WriteEntries(file, {UrlEntry(1, "http://a/1", u"一"), UrlEntry(11, "http://a/11", u"十一"),
                        UrlEntry(2, "http://a/2", u"二"), UrlEntry(3, "http://a/3", u"三")});
    const auto before = ReadBytes(file);
    EXPECT_TRUE(DeleteDeadEntries(file, {{2, u"http://a/changed"}, {99, u"http://a/99"}}).empty());
    EXPECT_EQ(ReadBytes(file), before);

    std::promise<void> locked;
    std::thread writer([&] {
        DataFileLock lock(file);
        locked.set_value();
        std::this_thread::sleep_for(500ms);
    });
    locked.get_future().wait();
    const auto start = std::chrono::steady_clock::now();
    EXPECT_EQ(
        DeleteDeadEntries(file, {{2, u"http://a/changed"}, {3, u"http://a/3"}, {1, u"http://a/1"}}),
        (std::vector<std::int32_t>{3, 1}));
    EXPECT_GE(std::chrono::steady_clock::now() - start, 400ms);
    writer.join();
    EXPECT_EQ(SerialsByXlrd(file), (std::vector<int>{11, 2}));
}

} // namespace
} // namespace tomorine::test
