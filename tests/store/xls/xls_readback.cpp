#include "xls_readback.h"

#include "store/workbook/utf.h"
#include "store/xls/xls_file.h"
#include "xls_peer.h"

#include <bit>
#include <cmath>
#include <cstdlib>
#include <gtest/gtest.h>
#include <map>
#include <set>

namespace tomorine::test {

namespace {

// xlrd's cell types.
constexpr int kText = 1;
constexpr int kNumber = 2;
constexpr int kBoolean = 4;
constexpr int kError = 5;
constexpr int kNumError = 0x24;

std::string Where(const std::u16string& sheet, int row, int column) {
    return "sheet " + ToUtf8(sheet) + " cell (" + std::to_string(row + 1) + ", " +
           std::to_string(column + 1) + ")";
}

void ExpectSameValue(const Cell& cell, const nlohmann::json& peer, const std::string& where) {
    const int kind = peer[2].get<int>();
    const nlohmann::json& value = peer[3];
    switch (cell.kind()) {
    case CellKind::Text:
        ASSERT_EQ(kind, kText) << where;
        EXPECT_EQ(value.get<std::string>(), ToUtf8(cell.asText())) << where;
        break;
    case CellKind::Number:
        if (!std::isfinite(cell.asNumber())) {
            ASSERT_EQ(kind, kError) << where;
            EXPECT_EQ(value.get<int>(), kNumError) << where;
            break;
        }
        ASSERT_EQ(kind, kNumber) << where;
        // Bit for bit: -0.0 and the last digit of 1e300 count.
        EXPECT_EQ(
            std::bit_cast<std::uint64_t>(std::strtod(value.get<std::string>().c_str(), nullptr)),
            std::bit_cast<std::uint64_t>(cell.asNumber()))
            << where << " " << value << " vs " << cell.asNumber();
        break;
    case CellKind::Boolean:
        ASSERT_EQ(kind, kBoolean) << where;
        EXPECT_EQ(value.get<int>(), cell.asBoolean() ? 1 : 0) << where;
        break;
    case CellKind::Error:
        ASSERT_EQ(kind, kError) << where;
        EXPECT_EQ(value.get<int>(), cell.errorCode()) << where;
        break;
    case CellKind::Empty:
        ADD_FAILURE() << where << " is empty but xlrd reads " << peer;
        break;
    }
}

void ExpectSameCells(const Sheet& sheet, const nlohmann::json& peer, const std::set<int>& rows) {
    std::map<std::pair<int, int>, const Cell*> expected;
    for (int r = 1; r <= sheet.lastUsedRow(); ++r) {
        if (!rows.empty() && !rows.contains(r - 1)) {
            continue;
        }
        const Sheet::Row& row = sheet.row(r);
        for (std::size_t c = 0; c < row.size(); ++c) {
            if (!row[c].isEmpty()) {
                expected[{r - 1, static_cast<int>(c)}] = &row[c];
            }
        }
    }
    int failures = 0;
    for (const nlohmann::json& cell : peer["cells"]) {
        const std::pair<int, int> at{cell[0].get<int>(), cell[1].get<int>()};
        const std::string where = Where(sheet.name(), at.first, at.second);
        const auto it = expected.find(at);
        if (it == expected.end()) {
            ADD_FAILURE() << where << " should be empty; xlrd reads " << cell;
        } else {
            ExpectSameValue(*it->second, cell, where);
            expected.erase(it);
        }
        if (::testing::Test::HasFailure() && ++failures > 20) {
            return;
        }
    }
    for (const auto& [at, cell] : expected) {
        ADD_FAILURE() << Where(sheet.name(), at.first, at.second) << " missing in xlrd's reading";
    }
}

} // namespace

nlohmann::json WriteAndCompareWithXlrd(const Workbook& book, const std::filesystem::path& file,
                                       const std::vector<int>& rows) {
    WriteXlsFile(book, file);
    nlohmann::json peer = ReadWithXlrd(file, rows);
    EXPECT_EQ(peer["log"], "") << "xlrd complained";
    EXPECT_EQ(peer["biff_version"], 80);
    EXPECT_EQ(peer["codepage"], 1200);
    const nlohmann::json& sheets = peer["sheets"];
    EXPECT_EQ(sheets.size(), static_cast<std::size_t>(book.sheetCount()));
    const std::set<int> rowSet(rows.begin(), rows.end());
    for (int i = 1; i <= book.sheetCount() && i <= static_cast<int>(sheets.size()); ++i) {
        const Sheet& sheet = book.sheet(i);
        EXPECT_EQ(sheets[i - 1]["name"].get<std::string>(), ToUtf8(sheet.name()));
        ExpectSameCells(sheet, sheets[i - 1], rowSet);
    }
    return peer;
}

} // namespace tomorine::test
