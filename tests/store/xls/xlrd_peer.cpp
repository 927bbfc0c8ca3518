#include "xlrd_peer.h"

#include "store/workbook/utf.h"

#include <cstdio>
#include <cstdlib>
#include <sstream>

namespace tomorine::test {

namespace {

std::string ShellQuoted(const std::string& text) {
    std::string out = "'";
    for (char c : text) {
        out += c == '\'' ? std::string("'\\''") : std::string(1, c);
    }
    return out + "'";
}

std::string Describe(const nlohmann::json& cell) {
    return cell.dump();
}

nlohmann::json OurCell(int row, int column, const Cell& cell) {
    switch (cell.kind()) {
    case CellKind::Number:
        return {row, column, "number", cell.asNumber()};
    case CellKind::Text:
        return {row, column, "text", ToUtf8(cell.asText())};
    case CellKind::Boolean:
        return {row, column, "bool", cell.asBoolean()};
    case CellKind::Error:
        return {row, column, "error", ToUtf8(ErrorText(cell.errorCode()))};
    case CellKind::Empty:
        break;
    }
    return {row, column, "empty", nullptr};
}

bool SameCell(const nlohmann::json& ours, const nlohmann::json& theirs) {
    if (ours[0] != theirs[0] || ours[1] != theirs[1]) {
        return false;
    }
    std::string type = theirs[2].get<std::string>();
    if (type == "date") {
        type = "number";
    }
    if (ours[2] != type) {
        return false;
    }
    if (type == "number") {
        return ours[3].get<double>() == theirs[3].get<double>();
    }
    return ours[3] == theirs[3];
}

} // namespace

bool XlrdAvailable() {
    static const bool available =
        std::system("/usr/bin/python3 -c 'import xlrd' >/dev/null 2>&1") == 0;
    return available;
}

nlohmann::json XlrdValues(const std::filesystem::path& file, bool lenient) {
    const std::string script = std::string(TOMORINE_SOURCE_DIR) + "/tests/store/xls/xlrd_values.py";
    const std::string command = "/usr/bin/python3 " + ShellQuoted(script) +
                                (lenient ? " --lenient " : " ") + ShellQuoted(file.string()) +
                                " 2>/dev/null";
    FILE* pipe = popen(command.c_str(), "r");
    if (pipe == nullptr) {
        return nullptr;
    }
    std::string out;
    char buf[65536];
    for (std::size_t n; (n = std::fread(buf, 1, sizeof buf, pipe)) > 0;) {
        out.append(buf, n);
    }
    pclose(pipe);
    return nlohmann::json::parse(out, nullptr, false);
}

::testing::AssertionResult SameAsXlrd(const Workbook& book, const nlohmann::json& expected) {
    if (!expected.contains("sheets")) {
        return ::testing::AssertionFailure() << "xlrd did not read the file: " << expected.dump();
    }
    const nlohmann::json& sheets = expected["sheets"];
    std::ostringstream faults;
    int shown = 0;
    auto fault = [&]() -> std::ostream& {
        ++shown;
        return faults << "\n  ";
    };
    if (static_cast<int>(sheets.size()) != book.sheetCount()) {
        fault() << "sheets: ours " << book.sheetCount() << ", xlrd " << sheets.size();
    }
    for (int s = 0; s < book.sheetCount() && s < static_cast<int>(sheets.size()) && shown < 10;
         ++s) {
        const Sheet& sheet = book.sheet(s + 1);
        const std::string name = sheets[s]["name"].get<std::string>();
        if (ToUtf8(sheet.name()) != name) {
            fault() << "sheet " << s + 1 << " name: ours " << ToUtf8(sheet.name()) << ", xlrd "
                    << name;
        }
        nlohmann::json ours = nlohmann::json::array();
        for (int r = 1; r <= sheet.lastUsedRow(); ++r) {
            const Sheet::Row& row = sheet.row(r);
            for (std::size_t c = 0; c < row.size(); ++c) {
                if (!row[c].isEmpty()) {
                    ours.push_back(OurCell(r - 1, static_cast<int>(c), row[c]));
                }
            }
        }
        const nlohmann::json& theirs = sheets[s]["cells"];
        const std::size_t n = std::max(ours.size(), theirs.size());
        for (std::size_t i = 0; i < n && shown < 10; ++i) {
            if (i >= ours.size() || i >= theirs.size() || !SameCell(ours[i], theirs[i])) {
                fault() << "sheet " << name << " cell #" << i << ": ours "
                        << (i < ours.size() ? Describe(ours[i]) : "none") << ", xlrd "
                        << (i < theirs.size() ? Describe(theirs[i]) : "none");
            }
        }
    }
    if (shown > 0) {
        return ::testing::AssertionFailure() << "differs from xlrd:" << faults.str();
    }
    return ::testing::AssertionSuccess();
}

} // namespace tomorine::test
