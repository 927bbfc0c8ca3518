#include "support/xls_peer.h"

#include "store/workbook/utf.h"

#include <bit>
#include <cmath>
#include <cstdio>
#include <fstream>
#include <map>
#include <set>

namespace tomorine::test {

namespace {

using nlohmann::json;

json RunPeer(std::vector<std::string> arguments) {
    std::string command = "/usr/bin/python3";
    arguments.insert(arguments.begin(), TOMORINE_XLS_PEER);
    for (const std::string& argument : arguments) {
        command += " '";
        for (char c : argument) {
            command += c == '\'' ? std::string("'\\''") : std::string(1, c);
        }
        command += "'";
    }
    FILE* pipe = ::popen(command.c_str(), "r");
    std::string output;
    char buffer[65536];
    for (std::size_t n; pipe && (n = std::fread(buffer, 1, sizeof buffer, pipe)) > 0;) {
        output.append(buffer, n);
    }
    if (const int status = pipe ? ::pclose(pipe) : -1; status != 0) {
        ADD_FAILURE() << command << " failed with status " << status;
        return {};
    }
    return json::parse(output);
}

json CellValue(int row, int column, const Cell& cell) {
    switch (cell.kind()) {
    case CellKind::Number:
        if (!std::isfinite(cell.asNumber())) {
            return {row, column, "error", "#NUM!"};
        }
        return {row, column, "number", cell.asNumber()};
    case CellKind::Text:
        return {row, column, "text", ToUtf8(cell.asText())};
    case CellKind::Boolean:
        return {row, column, "bool", cell.asBoolean()};
    default:
        return {row, column, "error", ToUtf8(ErrorText(cell.errorCode()))};
    }
}

bool SameCell(const json& ours, const json& theirs) {
    const std::string type = theirs[2] == "date" ? "number" : theirs[2].get<std::string>();
    if (ours.is_null() || ours[2] != type) {
        return false;
    }
    if (type == "number") {
        // Bit for bit: -0.0 and the last digit of 1e300 count.
        return theirs[3].is_number() && std::bit_cast<std::uint64_t>(ours[3].get<double>()) ==
                                            std::bit_cast<std::uint64_t>(theirs[3].get<double>());
    }
    return ours[3] == theirs[3];
}

} // namespace

// The sheets of a workbook in the peer's shape, for the rows listed (all when none are).
json ValuesOf(const Workbook& book, const std::vector<int>& rows) {
    const std::set<int> wanted(rows.begin(), rows.end());
    json sheets = json::array();
    for (int s = 1; s <= book.sheetCount(); ++s) {
        const Sheet& sheet = book.sheet(s);
        json cells = json::array();
        for (int r = 1; r <= sheet.lastUsedRow(); ++r) {
            if (!wanted.empty() && !wanted.contains(r - 1)) {
                continue;
            }
            for (std::size_t c = 0; c < sheet.row(r).size(); ++c) {
                if (!sheet.row(r)[c].isEmpty()) {
                    cells.push_back(CellValue(r - 1, static_cast<int>(c), sheet.row(r)[c]));
                }
            }
        }
        sheets.push_back({{"name", ToUtf8(sheet.name())}, {"cells", std::move(cells)}});
    }
    return sheets;
}

json XlrdValues(const std::filesystem::path& file, XlrdMode mode, const std::vector<int>& rows) {
    std::vector<std::string> arguments{"values", file.string()};
    if (mode == XlrdMode::Lenient) {
        arguments.push_back("--lenient");
    }
    if (!rows.empty()) {
        std::string list;
        for (int row : rows) {
            list += (list.empty() ? "" : ",") + std::to_string(row);
        }
        arguments.insert(arguments.end(), {"--rows", list});
    }
    return RunPeer(arguments);
}

::testing::AssertionResult SameAsXlrd(const Workbook& book, const json& xlrd) {
    if (!xlrd.contains("sheets")) {
        return ::testing::AssertionFailure() << "xlrd did not read the file: " << xlrd.dump();
    }
    const json rows = xlrd.value("rows", json());
    const json sides[] = {
        ValuesOf(book, rows.is_array() ? rows.get<std::vector<int>>() : std::vector<int>{}),
        xlrd["sheets"]};
    json names[2];
    std::map<std::tuple<std::size_t, int, int>, json[2]> cells; // ours and xlrd's
    for (int side = 0; side < 2; ++side) {
        for (std::size_t s = 0; s < sides[side].size(); ++s) {
            names[side].push_back(sides[side][s]["name"]);
            for (const json& cell : sides[side][s]["cells"]) {
                cells[{s, cell[0], cell[1]}][side] = cell;
            }
        }
    }
    std::vector<std::string> faults;
    if (names[0] != names[1]) {
        faults.push_back("sheets: ours " + names[0].dump() + ", xlrd " + names[1].dump());
    }
    for (const auto& [at, both] : cells) {
        if (faults.size() < 10 && (both[1].is_null() || !SameCell(both[0], both[1]))) {
            faults.push_back("sheet " + std::to_string(std::get<0>(at) + 1) + ": ours " +
                             both[0].dump() + ", xlrd " + both[1].dump());
        }
    }
    ::testing::AssertionResult result =
        faults.empty() ? ::testing::AssertionSuccess() : ::testing::AssertionFailure();
    for (const std::string& fault : faults) {
        result << "\n  " << fault;
    }
    return result;
}

json InspectCompoundFile(const std::filesystem::path& file, const std::filesystem::path& stream) {
    return RunPeer({"cfb", file.string(), stream.string()});
}

void WriteWithXlwt(const Workbook& book, const std::filesystem::path& file) {
    const std::filesystem::path layout = file.string() + ".json";
    std::ofstream(layout) << json{{"sheets", ValuesOf(book)}}.dump();
    RunPeer({"xlwt", layout.string(), file.string()});
}

} // namespace tomorine::test
