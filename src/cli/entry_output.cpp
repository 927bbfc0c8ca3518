#include "cli/entry_output.h"

#include "cli/json_writer.h"
#include "store/workbook/utf.h"

#include <ostream>

namespace tomorine::cli {

namespace {

// Stored comments break lines with CR LF; a terminal wants LF.
std::string TerminalText(const std::u16string& text) {
    std::string utf8 = ToUtf8(text);
    std::string out;
    for (size_t i = 0; i < utf8.size(); ++i) {
        if (!(utf8[i] == '\r' && i + 1 < utf8.size() && utf8[i + 1] == '\n')) {
            out += utf8[i];
        }
    }
    return out;
}

void AppendHitJson(std::string& out, const Entry& entry) {
    out += "{\"serial\": " + std::to_string(entry.serial);
    const std::pair<const char*, const std::u16string*> fields[] = {{"url", &entry.url},
                                                                    {"title", &entry.title},
                                                                    {"subtitle", &entry.subtitle},
                                                                    {"keywords", &entry.keywords},
                                                                    {"comment", &entry.comment}};
    for (const auto& [name, text] : fields) {
        out += ", \"";
        out += name;
        out += "\": ";
        AppendJsonString(out, *text);
    }
    out += '}';
}

} // namespace

void WriteHitsJson(std::ostream& out, std::size_t count,
                   const std::function<Entry(std::size_t)>& hit) {
    constexpr size_t kPiece = 1 << 16;
    std::string json = "{\"hits\": [";
    for (size_t i = 0; i < count; ++i) {
        json += i > 0 ? ", " : "";
        AppendHitJson(json, hit(i));
        if (json.size() >= kPiece) {
            out << json;
            json.clear();
        }
    }
    out << json << "]}\n";
}

void WriteEntryFields(std::ostream& out, const Entry& entry) {
    out << "URL: " << TerminalText(entry.url) << '\n';
    out << "タイトル: " << TerminalText(entry.title) << '\n';
    out << "サブタイトル: " << TerminalText(entry.subtitle) << '\n';
    out << "キーワード: " << TerminalText(entry.keywords) << '\n';
    out << "コメント: " << TerminalText(entry.comment) << '\n';
}

} // namespace tomorine::cli
