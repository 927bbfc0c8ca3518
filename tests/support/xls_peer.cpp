#include "support/xls_peer.h"

#include "store/workbook/utf.h"
#include "support/temp_dir.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>

namespace tomorine::test {

namespace {

using nlohmann::json;

// Arguments are the tests' paths and JSON, none holding a quote.
json RunPeer(const std::vector<std::string>& arguments) {
    const TempDir dir;
    std::string command = "/usr/bin/python3 '" TOMORINE_XLS_PEER "'";
    for (const std::string& argument : arguments) {
        command += " '" + argument + "'";
    }
    if (const int status = std::system((command + " >" + (dir / "out").string()).c_str())) {
        ADD_FAILURE() << command << " failed with status " << status;
        return {};
    }
    return json::parse(ReadBytes(dir / "out"));
}

json CellValue(int row, std::size_t column, const Cell& cell) {
    switch (cell.kind()) {
    case CellKind::Number:
        return std::isfinite(cell.asNumber()) ? json{row, column, "number", cell.asNumber()}
                                              : json{row, column, "error", "#NUM!"};
    case CellKind::Text:
        return {row, column, "text", ToUtf8(cell.asText())};
    case CellKind::Boolean:
        return {row, column, "bool", cell.asBoolean()};
    default:
        return {row, column, "error", ToUtf8(ErrorText(cell.errorCode()))};
    }
}

// [name, {"row,column": [type, value]}] a sheet; a number as its shortest exact digits, so
// that -0.0 and the last digit of 1e300 count.
json Comparable(const json& sheets) {
    json out = json::array();
    for (const json& sheet : sheets) {
        json cells = json::object();
        for (json cell : sheet["cells"]) {
            cell[2] = cell[2] == "date" ? "number" : cell[2];
            if (cell[2] == "number" && cell[3].is_number()) {
                cell[3] = json(cell[3].get<double>()).dump();
            }
            cells[cell[0].dump() + "," + cell[1].dump()] = {cell[2], cell[3]};
        }
        out.push_back({sheet["name"], std::move(cells)});
    }
    return out;
}

} // namespace

json ValuesOf(const Workbook& book, const std::vector<int>& rows) {
    json sheets = json::array();
    for (int s = 1; s <= book.sheetCount(); ++s) {
        const Sheet& sheet = book.sheet(s);
        json cells = json::array();
        for (int r = 1; r <= sheet.lastUsedRow(); ++r) {
            const bool wanted = rows.empty() || std::ranges::find(rows, r - 1) != rows.end();
            for (std::size_t c = 0; wanted && c < sheet.row(r).size(); ++c) {
                if (!sheet.row(r)[c].isEmpty()) {
                    cells.push_back(CellValue(r - 1, c, sheet.row(r)[c]));
                }
            }
        }
        sheets.push_back({{"name", ToUtf8(sheet.name())}, {"cells", std::move(cells)}});
    }
    return sheets;
}

json XlrdValues(const std::filesystem::path& file, XlrdMode mode, const std::vector<int>& rows) {
    return RunPeer({"values", file.string(), mode == XlrdMode::Lenient ? "lenient" : "strict",
                    rows.empty() ? "null" : json(rows).dump()});
}

::testing::AssertionResult SameAsXlrd(const Workbook& book, const json& xlrd) {
    if (!xlrd.contains("sheets")) {
        return ::testing::AssertionFailure() << "xlrd did not read the file: " << xlrd.dump();
    }
    const json rows = xlrd.value("rows", json());
    const json ours = Comparable(
        ValuesOf(book, rows.is_array() ? rows.get<std::vector<int>>() : std::vector<int>{}));
    const json theirs = Comparable(xlrd["sheets"]);
    const json differences = json::diff(ours, theirs);
    if (differences.empty()) {
        return ::testing::AssertionSuccess();
    }
    return ::testing::AssertionFailure()
           << "\n  xlrd has: " << differences.dump().substr(0, 800)
           << "\n  we have: " << json::diff(theirs, ours).dump().substr(0, 800);
}

json InspectCompoundFile(const std::filesystem::path& file, const std::filesystem::path& stream) {
    return RunPeer({"cfb", file.string(), stream.string()});
}

} // namespace tomorine::test
