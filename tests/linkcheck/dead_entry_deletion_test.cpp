#include "link_check_fixture.h"
#include "linkcheck/dead_entry_deletion.h"
#include "store/workbook/workbook_error.h"
#include "support/temp_dir.h"

#include <gtest/gtest.h>

namespace tomorine::test {
namespace {

namespace fs = std::filesystem;

class DeadEntryDeletion : public ::testing::Test {
protected:
    void SetUp() override {
        WriteEntries(file,
                     {UrlEntry(1, "http://a/1", u"一"), UrlEntry(11, "http://a/11", u"十一"),
                      UrlEntry(2, "http://a/2", u"二"), UrlEntry(21, "http://a/21", u"二十一"),
                      UrlEntry(3, "http://a/3", u"三")});
    }

    TempDir dir;
    const fs::path file = dir / "データ.xls";
};

// Two of five go, in one save; the others stay in their order. Serials are
// matched as whole values (1 never finds 11 or 21).
TEST_F(DeadEntryDeletion, RemovesExactlyTheRowsNamed) {
    const auto removed = DeleteDeadEntries(file, {{2, u"http://a/2"}, {1, u"http://a/1"}});
    EXPECT_EQ(removed, (std::vector<std::int32_t>{2, 1}));
    EXPECT_EQ(SerialsByXlrd(file), (std::vector<int>{11, 21, 3}));
}

// An entry whose URL changed since the check, or that is gone, is left
// alone; with nothing left to remove the file is not written.
TEST_F(DeadEntryDeletion, LeavesEntriesChangedOrRemovedSinceTheCheck) {
    const auto before = ReadBytes(file);
    const auto time = fs::last_write_time(file);
    EXPECT_TRUE(DeleteDeadEntries(file, {{2, u"http://a/changed"}, {99, u"http://a/99"}}).empty());
    EXPECT_EQ(ReadBytes(file), before);
    EXPECT_EQ(fs::last_write_time(file), time);
    EXPECT_EQ(DeleteDeadEntries(file, {{2, u"http://a/changed"}, {3, u"http://a/3"}}),
              (std::vector<std::int32_t>{3}));
    EXPECT_EQ(SerialsByXlrd(file), (std::vector<int>{1, 11, 2, 21}));
}

// A file that cannot be read is reported by name and left as it was.
TEST_F(DeadEntryDeletion, AFileThatCannotBeReadIsLeftAsItWas) {
    const std::vector<std::uint8_t> garbage(3000, 0x41);
    WriteBytes(file, garbage);
    try {
        DeleteDeadEntries(file, {{1, u"http://a/1"}});
        FAIL() << "no error";
    } catch (const WorkbookError& e) {
        EXPECT_NE(std::string(e.what()).find("データ.xls"), std::string::npos) << e.what();
    }
    EXPECT_EQ(ReadBytes(file), garbage);
    EXPECT_THROW(DeleteDeadEntries(dir / "missing.xls", {{1, u"x"}}), WorkbookError);
    EXPECT_FALSE(fs::exists(dir / "missing.xls"));
}

} // namespace
} // namespace tomorine::test
