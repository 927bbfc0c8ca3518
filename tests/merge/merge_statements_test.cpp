// The merge's select is of the form the table interface runs on an index,
// and a reference that is the data file or has its name is refused.
#include "merge/merge_checks.h"
#include "merge/merge_messages.h"
#include "merge/merge_statements.h"
#include "store/table/not_exists_form.h"
#include "store/workbook/utf.h"

#include <gtest/gtest.h>

namespace tomorine::test {
namespace {

TEST(MergeStatementsTest, SelectIsOfTheFormTheTableInterfaceRunsFast) {
    std::optional<NotExistsForm> form = RecogniseNotExists(ToUtf8(BuildMergeSelectStatement()));
    ASSERT_TRUE(form);
    EXPECT_EQ(form->outerTable, "tmp$");
    EXPECT_EQ(form->innerTable, "トモリネ$");
    ASSERT_EQ(form->pairs.size(), 56U);
    for (size_t i = 0; i < 56; ++i) {
        EXPECT_EQ(form->pairs[i].outerColumn, ToUtf8(MergeColumnNames()[i]));
        EXPECT_EQ(form->pairs[i].innerColumn, ToUtf8(MergeColumnNames()[i]));
    }
}

TEST(SameFileRefusalTest, RefusesTheDataFileAndItsNameOnly) {
    const struct {
        const char *data, *reference;
        std::optional<std::u16string_view> refusal;
    } cases[] = {
        {"/data/bm.xls", "/data/bm.xls", MergeMessages::SamePath},
        {"/data/bm.xls", "/old/bm.xls", MergeMessages::SameFileName},
        {"/data/bm.xls", "/data/BM.xls", std::nullopt},     // letter case counts
        {"/bm.xls", "/other.xls", MergeMessages::SamePath}, // root: both split into empty parts
        {"/data/bm.xls", "/bm.xls", std::nullopt},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(SameFileRefusal(c.data, c.reference), c.refusal) << c.data << " " << c.reference;
    }
}

} // namespace
} // namespace tomorine::test
