// Telling the two data layouts apart, and failing loudly on anything else.
#include "store/data_workbook.h"
#include "store/entry.h"
#include "store/message_style.h"
#include "store/xls/xls_file.h"
#include "support/temp_dir.h"
#include "upgrade/data_version.h"
#include "upgrade_fixture.h"

#include <functional>
#include <gtest/gtest.h>

namespace tomorine {
namespace {

namespace fs = std::filesystem;
using test::Harness;
using test::TempDir;

struct VersionCase {
    const char* name;
    std::function<void(const fs::path& file)> make;
    std::u16string_view version;
};

void PrintTo(const VersionCase& c, std::ostream* os) {
    *os << c.name;
}

Workbook HeaderOnly() {
    Workbook book = NewDataWorkbook();
    book.sheet(1).deleteRow(2);
    return book;
}

Workbook WithoutEntrySheet() {
    Workbook book = NewDataWorkbook();
    book.renameSheet(book.sheet(1), u"Sheet1");
    return book;
}

const VersionCase kVersions[] = {
    {"NewDataWorkbook", [](const fs::path& f) { WriteXlsFile(NewDataWorkbook(), f); },
     DataVersion0105},
    {"EntrySheetWithoutDataRows", [](const fs::path& f) { WriteXlsFile(HeaderOnly(), f); },
     DataVersion0105},
    {"OldLayout",
     [](const fs::path& f) { WriteXlsFile(test::OldDataWorkbook(test::OldRows(3)), f); },
     DataVersion0104},
    {"OldLayoutDummyRowOnly", [](const fs::path& f) { WriteXlsFile(test::OldDataWorkbook({}), f); },
     DataVersion0104},
    {"NotAWorkbook",
     [](const fs::path& f) {
         test::WriteBytes(f, {'U', 'R', 'L', '5', '\n'});
     },
     DataVersionUnknown},
    {"EmptyFile", [](const fs::path& f) { test::WriteBytes(f, {}); }, DataVersionUnknown},
    {"NoEntrySheet", [](const fs::path& f) { WriteXlsFile(WithoutEntrySheet(), f); },
     DataVersionUnknown},
    {"Missing", [](const fs::path&) {}, DataVersionUnknown},
};

class DataVersion : public ::testing::TestWithParam<VersionCase> {};

TEST_P(DataVersion, IsRecognisedOrReportedOnce) {
    TempDir dir;
    const fs::path file = dir / "ブック.xls";
    GetParam().make(file);
    const std::vector<std::uint8_t> before = test::BytesOrNothing(file);
    Harness h(dir / "unused.xls");
    UpgradeContext context = h.context();

    EXPECT_EQ(GetDataVersion(context, file), GetParam().version);

    EXPECT_EQ(test::BytesOrNothing(file), before);
    if (GetParam().version == DataVersionUnknown) {
        ASSERT_EQ(h.recorder.styles(), std::vector<int>{MessageStyle::Critical});
        EXPECT_NE(h.recorder.messages[0].text.find(u"ブック.xls"), std::u16string::npos)
            << "the message names the file";
    } else {
        EXPECT_TRUE(h.recorder.messages.empty());
    }
}

INSTANTIATE_TEST_SUITE_P(Files, DataVersion, ::testing::ValuesIn(kVersions),
                         [](const auto& info) { return std::string(info.param.name); });

} // namespace
} // namespace tomorine
