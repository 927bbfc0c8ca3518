#include "cli/command_reference.h"
#include "cli/commands.h"
#include "cli/json_writer.h"
#include "store/xls/xls_file.h"

#include <charconv>
#include <ostream>
#include <string>

namespace tomorine::cli {

namespace {

// The document goes out in pieces of about this size.
constexpr size_t kFlushBytes = 1 << 16;

class JsonOut {
public:
    explicit JsonOut(std::ostream& out) : out_(out) { buffer_.reserve(kFlushBytes + 4096); }
    ~JsonOut() { flush(); }
    std::string& text() { return buffer_; }
    void maybeFlush() {
        if (buffer_.size() >= kFlushBytes) {
            flush();
        }
    }
    void flush() {
        out_.write(buffer_.data(), static_cast<std::streamsize>(buffer_.size()));
        buffer_.clear();
    }

private:
    std::ostream& out_;
    std::string buffer_;
};

void AppendInt(std::string& out, int value) {
    char buf[16];
    auto result = std::to_chars(buf, buf + sizeof buf, value);
    out.append(buf, result.ptr);
}

void WriteCell(std::string& out, int row, int column, const Cell& cell) {
    out += '[';
    AppendInt(out, row);
    out += ", ";
    AppendInt(out, column);
    out += ", ";
    switch (cell.kind()) {
    case CellKind::Number:
        out += "\"number\", ";
        AppendJsonNumber(out, cell.asNumber());
        break;
    case CellKind::Text:
        out += "\"text\", ";
        AppendJsonString(out, cell.asText());
        break;
    case CellKind::Boolean:
        out += "\"bool\", ";
        out += cell.asBoolean() ? "true" : "false";
        break;
    case CellKind::Error:
        out += "\"error\", ";
        AppendJsonString(out, ErrorText(cell.errorCode()));
        break;
    case CellKind::Empty:
        break;
    }
    out += ']';
}

void WriteSheet(JsonOut& json, const Sheet& sheet) {
    std::string& out = json.text();
    out += "{\"name\": ";
    AppendJsonString(out, sheet.name());
    out += ", \"cells\": [";
    bool first = true;
    for (int r = 1; r <= sheet.lastUsedRow(); ++r) {
        const Sheet::Row& row = sheet.row(r);
        for (size_t c = 0; c < row.size(); ++c) {
            if (row[c].isEmpty()) {
                continue;
            }
            out += first ? "" : ", ";
            first = false;
            WriteCell(out, r - 1, static_cast<int>(c), row[c]);
        }
        json.maybeFlush();
    }
    out += "]}";
}

} // namespace

int DumpCommand(const Invocation& call) {
    if (call.args.size() != 1) {
        call.err << UsageOf("dump") << '\n';
        return ExitUsage;
    }
    // Read whole before the first byte goes out: a broken file gives an
    // error and no half document.
    Workbook book = ReadXlsFile(call.args[0]);
    JsonOut json(call.out);
    json.text() += "{\"sheets\": [";
    for (int i = 1; i <= book.sheetCount(); ++i) {
        json.text() += i > 1 ? ", " : "";
        WriteSheet(json, book.sheet(i));
    }
    json.text() += "]}\n";
    return ExitOk;
}

} // namespace tomorine::cli
