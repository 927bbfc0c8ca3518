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

} // namespace

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

void WriteHitsJson(std::ostream& out, const std::vector<Entry>& hits) {
    std::string json = "{\"hits\": [";
    for (size_t i = 0; i < hits.size(); ++i) {
        json += i > 0 ? ", " : "";
        AppendHitJson(json, hits[i]);
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
