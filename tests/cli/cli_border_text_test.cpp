// Texts whose characters outside the BMP meet a chunk border or a cap, as
// add and update store them, read by xlrd: a lone surrogate in any cell makes
// xlrd refuse the whole workbook.
#include "cli_process.h"
#include "store/workbook/utf.h"
#include "support/temp_dir.h"
#include "support/xls_peer.h"

#include <gtest/gtest.h>

namespace tomorine::test {
namespace {

namespace fs = std::filesystem;

std::string Repeat(const std::string& unit, int count) {
    std::string text;
    for (int i = 0; i < count; ++i) {
        text += unit;
    }
    return text;
}

struct BorderCase {
    const char* option;
    int firstColumn; // 0-based sheet column of the field's first chunk
    int chunks;
    std::string given;
    std::string stored; // as the chunks hold it: cut at the cap, never in a character
};

std::vector<BorderCase> Cases() {
    const std::string emoji = "😀";
    return {
        {"--title", 17, 4, Repeat("あ", 124) + "𠮷野家", Repeat("あ", 124) + "𠮷野家"},
        {"--title", 17, 4, Repeat("a", 499) + emoji, Repeat("a", 499)},
        {"--url", 1, 16, "https://x.jp/" + Repeat("u", 111) + emoji,
         "https://x.jp/" + Repeat("u", 111) + emoji},
        {"--keywords", 41, 16, Repeat("k", 124) + "か\u3099" + Repeat("k", 1874) + emoji,
         Repeat("k", 124) + "か\u3099" + Repeat("k", 1873)},
    };
}

// The field's cells of the first entry (row 2, 0-based) as xlrd reads them, joined.
std::string StoredByXlrd(const fs::path& file, const BorderCase& c) {
    const nlohmann::json values = XlrdValues(file);
    if (values.contains("error")) {
        ADD_FAILURE() << "xlrd: " << values["error"];
        return {};
    }
    std::string joined;
    for (const auto& cell : values["sheets"][0]["cells"]) {
        const int column = cell[1];
        if (cell[0] == 2 && column >= c.firstColumn && column < c.firstColumn + c.chunks) {
            joined += cell[3].get<std::string>();
        }
    }
    return joined;
}

TEST(BorderText, AddAndUpdateWriteCellsThatXlrdReads) {
    for (const BorderCase& c : Cases()) {
        SCOPED_TRACE(std::string(c.option) + " of " + std::to_string(c.given.size()) + " bytes");
        TempDir dir;
        const fs::path data = dir / "data.xls";
        ASSERT_EQ(RunCliProcess({{"create", data.string()}, dir / "home"}).status, 0);
        Args add{"add", c.option, c.given};
        for (const char* required : {"--url", "--title"}) {
            if (std::string(c.option) != required) {
                add.insert(add.end(), {required, "r"});
            }
        }
        ASSERT_EQ(RunOn(data, add).status, 0);
        EXPECT_EQ(StoredByXlrd(data, c), c.stored);
        // One more unit in front moves every border by one.
        ASSERT_EQ(RunOn(data, {"update", "1", c.option, "x" + c.given}).status, 0);
        EXPECT_EQ(StoredByXlrd(data, c), "x" + c.stored);
    }
}

} // namespace
} // namespace tomorine::test
