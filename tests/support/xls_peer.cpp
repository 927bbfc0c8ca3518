#include "support/xls_peer.h"

#include "store/workbook/utf.h"

#include <bit>
#include <cmath>
#include <cstdio>
#include <fstream>
#include <set>
#include <sstream>
#include <sys/wait.h>

namespace tomorine::test {

namespace {

using nlohmann::json;

std::string ShellQuoted(const std::string& text) {
    std::string quoted = "'";
    for (char c : text) {
        quoted += c == '\'' ? std::string("'\\''") : std::string(1, c);
    }
    return quoted + "'";
}

json RunPeer(const std::vector<std::string>& arguments) {
    std::string command = "/usr/bin/python3 " + ShellQuoted(TOMORINE_XLS_PEER);
    for (const std::string& argument : arguments) {
        command += " " + ShellQuoted(argument);
    }
    FILE* pipe = ::popen(command.c_str(), "r");
    if (pipe == nullptr) {
        ADD_FAILURE() << "cannot run " << command;
        return {};
    }
    std::string output;
    char buffer[65536];
    for (std::size_t n; (n = std::fread(buffer, 1, sizeof buffer, pipe)) > 0;) {
        output.append(buffer, n);
    }
    const int status = ::pclose(pipe);
    if (!WIFEXITED(status) || WEXITSTATUS(status) != 0) {
        ADD_FAILURE() << command << " failed with status " << status;
        return {};
    }
    return json::parse(output);
}

json CellValue(int row, int column, const Cell& cell) {
    switch (cell.kind()) {
    case CellKind::Number:
        if (std::isfinite(cell.asNumber())) {
            return {row, column, "number", cell.asNumber()};
        }
        return {row, column, "error", "#NUM!"};
    case CellKind::Text:
        return {row, column, "text", ToUtf8(cell.asText())};
    case CellKind::Boolean:
        return {row, column, "bool", cell.asBoolean()};
    case CellKind::Error:
        return {row, column, "error", ToUtf8(ErrorText(cell.errorCode()))};
    case CellKind::Empty:
        break;
    }
    return nullptr;
}

bool SameCell(const json& ours, const json& theirs) {
    const std::string type = theirs[2] == "date" ? "number" : theirs[2].get<std::string>();
    if (ours[2] != type) {
        return false;
    }
    if (type == "number") {
        // Bit for bit: -0.0 and the last digit of 1e300 count.
        return theirs[3].is_number() && std::bit_cast<std::uint64_t>(ours[3].get<double>()) ==
                                            std::bit_cast<std::uint64_t>(theirs[3].get<double>());
    }
    return ours[3] == theirs[3];
}

std::pair<int, int> At(const json& cell) {
    return {cell[0].get<int>(), cell[1].get<int>()};
}

// Walks both row-major lists in step, so that one missing cell is one fault.
void CompareCells(const std::string& sheet, const json& ours, const json& theirs,
                  std::vector<std::string>& faults) {
    std::size_t i = 0;
    std::size_t j = 0;
    while ((i < ours.size() || j < theirs.size()) && faults.size() < 10) {
        const bool oursFirst =
            j == theirs.size() || (i < ours.size() && At(ours[i]) < At(theirs[j]));
        const bool theirsFirst =
            i == ours.size() || (j < theirs.size() && At(theirs[j]) < At(ours[i]));
        if (oursFirst) {
            faults.push_back(sheet + ": ours " + ours[i++].dump() + ", xlrd none");
        } else if (theirsFirst) {
            faults.push_back(sheet + ": ours none, xlrd " + theirs[j++].dump());
        } else {
            if (!SameCell(ours[i], theirs[j])) {
                faults.push_back(sheet + ": ours " + ours[i].dump() + ", xlrd " + theirs[j].dump());
            }
            ++i;
            ++j;
        }
    }
}

} // namespace

json XlrdValues(const std::filesystem::path& file, XlrdMode mode, const std::vector<int>& rows) {
    std::vector<std::string> arguments{"values"};
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
    arguments.push_back(file.string());
    return RunPeer(arguments);
}

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
            const Sheet::Row& row = sheet.row(r);
            for (std::size_t c = 0; c < row.size(); ++c) {
                if (!row[c].isEmpty()) {
                    cells.push_back(CellValue(r - 1, static_cast<int>(c), row[c]));
                }
            }
        }
        sheets.push_back({{"name", ToUtf8(sheet.name())}, {"cells", std::move(cells)}});
    }
    return {{"sheets", std::move(sheets)}};
}

::testing::AssertionResult SameAsXlrd(const Workbook& book, const json& xlrd) {
    if (!xlrd.contains("sheets")) {
        return ::testing::AssertionFailure() << "xlrd did not read the file: " << xlrd.dump();
    }
    const std::vector<int> rows = xlrd.value("rows", json()).is_array()
                                      ? xlrd["rows"].get<std::vector<int>>()
                                      : std::vector<int>{};
    const json ours = ValuesOf(book, rows)["sheets"];
    const json& theirs = xlrd["sheets"];
    std::vector<std::string> faults;
    if (ours.size() != theirs.size()) {
        faults.push_back("sheets: ours " + std::to_string(ours.size()) + ", xlrd " +
                         std::to_string(theirs.size()));
    }
    for (std::size_t s = 0; s < ours.size() && s < theirs.size(); ++s) {
        const std::string name = theirs[s]["name"];
        if (ours[s]["name"] != name) {
            faults.push_back("sheet " + std::to_string(s + 1) + " name: ours " +
                             ours[s]["name"].get<std::string>() + ", xlrd " + name);
        }
        CompareCells(name, ours[s]["cells"], theirs[s]["cells"], faults);
    }
    if (faults.empty()) {
        return ::testing::AssertionSuccess();
    }
    ::testing::AssertionResult failure = ::testing::AssertionFailure() << "differs from xlrd:";
    for (const std::string& fault : faults) {
        failure << "\n  " << fault;
    }
    return failure;
}

json InspectCompoundFile(const std::filesystem::path& file, const std::filesystem::path& stream) {
    return RunPeer({"cfb", file.string(), stream.string()});
}

void WriteWithXlwt(const Workbook& book, const std::filesystem::path& file) {
    const std::filesystem::path spec = file.string() + ".json";
    std::ofstream(spec) << ValuesOf(book).dump();
    RunPeer({"xlwt", spec.string(), file.string()});
}

} // namespace tomorine::test
