#include "biff_stream_builder.h"
#include "store/workbook/utf.h"
#include "store/xls/biff_records.h"
#include "store/xls/cell_records.h"
#include "store/xls/xls_file.h"
#include "support/temp_dir.h"
#include "support/xls_peer.h"

#include <gtest/gtest.h>

namespace tomorine {
namespace {

using test::Bytes;
using test::Concat;

struct RkCase {
    std::uint32_t rk;
    double value;
};

void PrintTo(const RkCase& c, std::ostream* os) {
    *os << "rk 0x" << std::hex << c.rk;
}

class RkTest : public ::testing::TestWithParam<RkCase> {};

TEST_P(RkTest, Unpacks) {
    EXPECT_EQ(xls::RkNumber(GetParam().rk), GetParam().value);
}

INSTANTIATE_TEST_SUITE_P(
    Values, RkTest,
    ::testing::Values(RkCase{123u << 2 | 2, 123.0}, RkCase{12345u << 2 | 3, 12345 / 100.0},
                      RkCase{static_cast<std::uint32_t>(-5) << 2 | 2, -5.0},
                      RkCase{static_cast<std::uint32_t>(-1) << 2 | 3, -1 / 100.0},
                      RkCase{0x1FFFFFFFu << 2 | 2, 536870911.0}, RkCase{0x3FF80000, 1.5},
                      RkCase{0x3FF80001, 1.5 / 100}, RkCase{0xC0000000, -2.0}, RkCase{0, 0.0}));

Bytes Head(std::uint16_t row, std::uint16_t column) {
    Bytes b;
    test::PutU16(b, row);
    test::PutU16(b, column);
    test::PutU16(b, 0);
    return b;
}

Bytes MulRk(std::uint16_t row, std::uint16_t first, const std::vector<std::uint32_t>& rks) {
    Bytes body;
    test::PutU16(body, row);
    test::PutU16(body, first);
    for (std::uint32_t rk : rks) {
        test::PutU16(body, 0);
        test::PutU32(body, rk);
    }
    test::PutU16(body, static_cast<unsigned>(first + rks.size() - 1));
    return test::Record(biff::MulRk, body);
}

std::array<std::uint8_t, 8> Special(std::uint8_t kind, std::uint8_t value = 0) {
    return {kind, 0, value, 0, 0, 0, 0xFF, 0xFF};
}

std::array<std::uint8_t, 8> NumberResult(double value) {
    Bytes b;
    test::PutDouble(b, value);
    std::array<std::uint8_t, 8> out{};
    std::copy(b.begin(), b.end(), out.begin());
    return out;
}

// Every cell record the reader knows, and the records it must pass over.
struct Sample {
    std::vector<Bytes> records;
    nlohmann::json cells = nlohmann::json::array();
};

Sample AllCellRecords() {
    Sample s;
    auto& r = s.records;
    r.push_back(test::NumberCell(0, 0, 3.25));
    r.push_back(test::RkCell(0, 1, 123u << 2 | 2));
    r.push_back(test::RkCell(0, 2, 12345u << 2 | 3));
    r.push_back(test::RkCell(0, 3, 0x3FF80000));
    r.push_back(MulRk(1, 0, {1u << 2 | 2, 2u << 2 | 2, 0x3FF80001}));
    r.push_back(test::BoolErrCell(2, 0, 1, false));
    r.push_back(test::BoolErrCell(2, 1, 0, false));
    r.push_back(test::BoolErrCell(2, 2, 0x07, true));
    r.push_back(test::BoolErrCell(2, 3, 0x2A, true));
    r.push_back(test::LabelCell(3, 0, u"plain"));
    r.push_back(test::LabelCell(3, 1, u"日本語"));
    r.push_back(test::Record(
        biff::RString, Concat({Head(3, 2), test::UnicodeString(u"リッチ"), {1, 0}, {0, 0, 1, 0}})));
    r.push_back(test::FormulaCell(4, 0, NumberResult(2.5)));
    r.push_back(test::FormulaCell(4, 1, Special(0)));
    r.push_back(test::StringRecord(u"結果"));
    r.push_back(test::FormulaCell(4, 2, Special(0)));
    r.push_back(test::Record(biff::SharedFormula, {4, 0, 4, 0, 2, 2, 0, 1, 3, 0, 0x1E, 1, 0}));
    r.push_back(test::StringRecord(u"shared"));
    r.push_back(test::FormulaCell(4, 3, Special(1, 1)));
    r.push_back(test::FormulaCell(4, 4, Special(2, 0x2A)));
    r.push_back(test::FormulaCell(4, 5, Special(3)));
    r.push_back(test::Record(biff::Blank, Head(5, 0)));
    r.push_back(test::Record(biff::MulBlank, {5, 0, 1, 0, 0, 0, 0, 0, 0, 0, 3, 0}));
    // An embedded chart's cached numbers are not cells of the sheet.
    r.push_back(test::Record(biff::Bof, {0, 6, 0x20, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0}));
    r.push_back(test::NumberCell(6, 0, 99));
    r.push_back(test::Record(biff::Eof, {}));
    r.push_back(test::NumberCell(7, 0, 1));
    r.push_back(test::LabelCell(7, 0, u"later"));
    r.push_back(test::NumberCell(8, 0, 5));
    r.push_back(test::Record(biff::Blank, Head(8, 0)));
    r.push_back(test::NumberCell(10, 0, 10));
    r.push_back(test::NumberCell(9, 1, 9));
    r.push_back(test::NumberCell(65535, 255, -0.5));

    auto cell = [&](int row, int column, const char* type, nlohmann::json value) {
        s.cells.push_back({row, column, type, value});
    };
    cell(0, 0, "number", 3.25);
    cell(0, 1, "number", 123.0);
    cell(0, 2, "number", 12345 / 100.0);
    cell(0, 3, "number", 1.5);
    cell(1, 0, "number", 1.0);
    cell(1, 1, "number", 2.0);
    cell(1, 2, "number", 1.5 / 100);
    cell(2, 0, "bool", true);
    cell(2, 1, "bool", false);
    cell(2, 2, "error", "#DIV/0!");
    cell(2, 3, "error", "#N/A");
    cell(3, 0, "text", "plain");
    cell(3, 1, "text", "日本語");
    cell(3, 2, "text", "リッチ");
    cell(4, 0, "number", 2.5);
    cell(4, 1, "text", "結果");
    cell(4, 2, "text", "shared");
    cell(4, 3, "bool", true);
    cell(4, 4, "error", "#N/A");
    cell(4, 5, "text", "");
    cell(7, 0, "text", "later");
    cell(8, 0, "number", 5.0);
    cell(9, 1, "number", 9.0);
    cell(10, 0, "number", 10.0);
    cell(65535, 255, "number", -0.5);
    return s;
}

Bytes SampleFile(const Sample& s) {
    const test::TestSheet chart{u"Chart1", {test::NumberCell(0, 0, 7)}, 2};
    return test::XlsFile(
        test::WorkbookStream({}, {{u"Cells", s.records, 0}, chart, {u"Empty", {}, 0}}));
}

TEST(CellRecordsTest, ReadsEveryKindOfCell) {
    const Sample s = AllCellRecords();
    const nlohmann::json expected = {{"sheets",
                                      {{{"name", "Cells"}, {"cells", s.cells}},
                                       {{"name", "Empty"}, {"cells", nlohmann::json::array()}}}}};
    EXPECT_TRUE(test::SameAsXlrd(ReadXlsBytes(SampleFile(s), "cells.xls"), expected));
}

TEST(CellRecordsTest, AgreesWithXlrd) {
    test::TempDir dir;
    const Bytes file = SampleFile(AllCellRecords());
    test::WriteBytes(dir / "cells.xls", file);
    EXPECT_TRUE(
        test::SameAsXlrd(ReadXlsBytes(file, "cells.xls"), test::XlrdValues(dir / "cells.xls")));
}

} // namespace
} // namespace tomorine
