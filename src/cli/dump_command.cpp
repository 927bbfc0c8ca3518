#include "cli/commands.h"
#include "cli/json_writer.h"
#include "store/xls/xls_file.h"

#include <ostream>
#include <sstream>

namespace tomorine::cli {

namespace {

void WriteCell(std::ostream& out, int row, int column, const Cell& cell) {
    out << '[' << row << ", " << column << ", ";
    switch (cell.kind()) {
    case CellKind::Number:
        out << "\"number\", ";
        WriteJsonNumber(out, cell.asNumber());
        break;
    case CellKind::Text:
        out << "\"text\", ";
        WriteJsonString(out, cell.asText());
        break;
    case CellKind::Boolean:
        out << "\"bool\", " << (cell.asBoolean() ? "true" : "false");
        break;
    case CellKind::Error:
        out << "\"error\", ";
        WriteJsonString(out, ErrorText(cell.errorCode()));
        break;
    case CellKind::Empty:
        break;
    }
    out << ']';
}

void WriteSheet(std::ostream& out, const Sheet& sheet) {
    out << "{\"name\": ";
    WriteJsonString(out, sheet.name());
    out << ", \"cells\": [";
    bool first = true;
    for (int r = 1; r <= sheet.lastUsedRow(); ++r) {
        const Sheet::Row& row = sheet.row(r);
        for (size_t c = 0; c < row.size(); ++c) {
            if (row[c].isEmpty()) {
                continue;
            }
            out << (first ? "" : ", ");
            first = false;
            WriteCell(out, r - 1, static_cast<int>(c), row[c]);
        }
    }
    out << "]}";
}

} // namespace

int DumpCommand(const Invocation& call) {
    if (call.args.size() != 1) {
        call.err << "使い方: tomorine-cli dump FILE\n";
        return ExitUsage;
    }
    Workbook book = ReadXlsFile(call.args[0]);
    // Built in memory first, so that a failure never leaves half a document.
    std::ostringstream json;
    json << "{\"sheets\": [";
    for (int i = 1; i <= book.sheetCount(); ++i) {
        json << (i > 1 ? ", " : "");
        WriteSheet(json, book.sheet(i));
    }
    json << "]}\n";
    call.out << json.str();
    return ExitOk;
}

} // namespace tomorine::cli
