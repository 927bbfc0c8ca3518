// Serials through registration, update and deletion on a real data file.
#include "data_file.h"
#include "store/data_connection.h"
#include "store/data_workbook.h"
#include "store/entry_deletion.h"
#include "store/entry_statements.h"
#include "support/temp_dir.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

namespace tomorine::test {
namespace {

namespace fs = std::filesystem;
using ::testing::ElementsAre;
using ::testing::ElementsAreArray;

Entry Page(std::u16string_view name) {
    return {0,  u"http://" + std::u16string(name) + u".jp/", u"題" + std::u16string(name), u"", u"",
            u""};
}

std::vector<std::int32_t> Serials(const fs::path& file) {
    std::vector<std::int32_t> serials;
    for (const Entry& e : LiveEntries(file)) {
        serials.push_back(e.serial);
    }
    return serials;
}

class ThreeEntries : public ::testing::Test {
protected:
    void SetUp() override {
        CreateDataWorkbook(path);
        for (std::u16string_view name : {u"a", u"b", u"c"}) {
            const std::int32_t serial = Register(path, Page(name));
            EXPECT_EQ(QueryMaxSerial(path), serial);
        }
    }

    TempDir dir;
    fs::path path = dir / "data.xls";
};

TEST_F(ThreeEntries, EachRegistrationTakesTheNextSerial) {
    EXPECT_THAT(Serials(path), ElementsAre(1, 2, 3));
}

TEST_F(ThreeEntries, UpdateRewritesOnlyItsEntryInPlace) {
    Entry changed{0, u"http://new.jp/", u"新しい題 ", u"副題", u"語", u"説明"};
    EXPECT_EQ(ExecuteOnDataFile(path, BuildUpdateStatement(2, changed)), 1);
    std::vector<Entry> entries = LiveEntries(path);
    ASSERT_EQ(entries.size(), 3u);
    changed.serial = 2;
    EXPECT_EQ(Shown(entries[1]), Shown(changed));
    EXPECT_EQ(entries[0].url, u"http://a.jp/");
    EXPECT_EQ(entries[2].url, u"http://c.jp/");
    EXPECT_EQ(QueryMaxSerial(path), 3);
}

TEST_F(ThreeEntries, UpdateMatchingNoRowLeavesTheFileAlone) {
    const FileState before = AgedState(path);
    EXPECT_EQ(ExecuteOnDataFile(path, BuildUpdateStatement(9, Page(u"x"))), 0);
    EXPECT_EQ(StateOf(path), before);
}

struct Reuse {
    std::int32_t deleted;
    std::vector<std::int32_t> afterRegistering;
};

class SerialAfterDeletion : public ThreeEntries, public ::testing::WithParamInterface<Reuse> {};

TEST_P(SerialAfterDeletion, OnlyTheHighestSerialIsTakenAgain) {
    ASSERT_TRUE(DeleteEntryBySerial(path, GetParam().deleted));
    Register(path, Page(u"new"));
    EXPECT_THAT(Serials(path), ElementsAreArray(GetParam().afterRegistering));
}

INSTANTIATE_TEST_SUITE_P(Table, SerialAfterDeletion,
                         ::testing::Values(Reuse{3, {1, 2, 3}}, Reuse{2, {1, 3, 4}},
                                           Reuse{1, {2, 3, 4}}));

} // namespace
} // namespace tomorine::test
