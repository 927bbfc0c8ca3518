#include "store/settings/ini_document.h"

#include "store/settings/cp932.h"
#include "store/workbook/ascii_case.h"

namespace tomorine {

namespace {

constexpr std::string_view kUtf8Bom = "\xEF\xBB\xBF";

bool IsBlank(char c) {
    return c == ' ' || c == '\t' || c == '\r' || c == '\v' || c == '\f';
}

std::string_view TrimLeft(std::string_view s) {
    while (!s.empty() && IsBlank(s.front())) {
        s.remove_prefix(1);
    }
    return s;
}

std::string_view Trim(std::string_view s) {
    s = TrimLeft(s);
    while (!s.empty() && IsBlank(s.back())) {
        s.remove_suffix(1);
    }
    return s;
}

bool SameName(std::string_view a, std::string_view b) {
    return EqualIgnoringAsciiCase(a, b);
}

bool IsQuote(char c) {
    return c == '"' || c == '\'';
}

bool IsQuoted(std::string_view v) {
    return v.size() >= 2 && IsQuote(v.front()) && v.back() == v.front();
}

std::optional<std::string_view> SectionName(std::string_view text) {
    std::string_view t = TrimLeft(text);
    if (t.empty() || t.front() != '[') {
        return std::nullopt;
    }
    size_t close = t.rfind(']');
    if (close == 0 || close == std::string_view::npos) {
        return std::nullopt;
    }
    return Trim(t.substr(1, close - 1));
}

struct KeyLine {
    std::string_view key;
    std::string_view value;
};

std::optional<KeyLine> ParseKeyLine(std::string_view text) {
    std::string_view t = TrimLeft(text);
    if (t.empty() || t.front() == ';' || t.front() == '[') {
        return std::nullopt;
    }
    size_t eq = t.find('=');
    if (eq == std::string_view::npos || Trim(t.substr(0, eq)).empty()) {
        return std::nullopt;
    }
    return KeyLine{Trim(t.substr(0, eq)), Trim(t.substr(eq + 1))};
}

bool BreaksLine(std::string_view s) {
    return s.find_first_of(std::string_view("\r\n\0", 3)) != std::string_view::npos;
}

bool ValidSection(std::string_view s) {
    return !s.empty() && Trim(s) == s && !BreaksLine(s) && s.find(']') == std::string_view::npos;
}

bool ValidKey(std::string_view k) {
    return !k.empty() && Trim(k) == k && !BreaksLine(k) && k.find('=') == std::string_view::npos &&
           k.front() != ';' && k.front() != '[';
}

// The reader drops surrounding blanks and one pair of enclosing quotes; a
// value that would lose either is written inside double quotes.
std::string Quoted(std::string_view value) {
    bool needs = !value.empty() && (IsBlank(value.front()) || IsBlank(value.back()));
    if (needs || IsQuoted(value)) {
        return "\"" + std::string(value) + "\"";
    }
    return std::string(value);
}

} // namespace

IniDocument IniDocument::parse(std::string_view bytes) {
    IniDocument doc;
    if (bytes.starts_with(kUtf8Bom)) {
        doc.encoding_ = Encoding::Utf8;
        bytes.remove_prefix(kUtf8Bom.size());
    }
    bool newlineSeen = false;
    while (!bytes.empty()) {
        size_t lf = bytes.find('\n');
        Line line;
        line.raw = bytes.substr(0, lf);
        if (lf != std::string_view::npos) {
            line.end = "\n";
            if (!line.raw.empty() && line.raw.back() == '\r') {
                line.raw.pop_back();
                line.end = "\r\n";
            }
            if (!newlineSeen) {
                doc.newline_ = line.end;
                newlineSeen = true;
            }
        }
        line.text = doc.encoding_ == Encoding::Utf8 ? line.raw : Cp932ToUtf8(line.raw);
        doc.lines_.push_back(std::move(line));
        bytes.remove_prefix(lf == std::string_view::npos ? bytes.size() : lf + 1);
    }
    return doc;
}

namespace {

std::string Unquoted(std::string_view v) {
    if (IsQuoted(v)) {
        v = v.substr(1, v.size() - 2);
    }
    return std::string(v);
}

} // namespace

std::optional<std::string> IniDocument::value(std::string_view section,
                                              std::string_view key) const {
    std::optional<size_t> at = findKey(section, key);
    if (!at) {
        return std::nullopt;
    }
    return Unquoted(ParseKeyLine(lines_[*at].text)->value);
}

std::optional<std::string> IniDocument::lookup(std::string_view bytes, std::string_view section,
                                               std::string_view key) {
    const bool utf8 = bytes.starts_with(kUtf8Bom);
    if (utf8) {
        bytes.remove_prefix(kUtf8Bom.size());
    }
    bool inSection = false;
    std::string decoded;
    while (!bytes.empty()) {
        const size_t lf = bytes.find('\n');
        std::string_view text = bytes.substr(0, lf);
        bytes.remove_prefix(lf == std::string_view::npos ? bytes.size() : lf + 1);
        if (lf != std::string_view::npos && !text.empty() && text.back() == '\r') {
            text.remove_suffix(1);
        }
        if (!utf8) {
            decoded = Cp932ToUtf8(text);
            text = decoded;
        }
        if (std::optional<std::string_view> name = SectionName(text)) {
            inSection = SameName(*name, section);
        } else if (inSection) {
            std::optional<KeyLine> kv = ParseKeyLine(text);
            if (kv && SameName(kv->key, key)) {
                return Unquoted(kv->value);
            }
        }
    }
    return std::nullopt;
}

bool IniDocument::setValue(std::string_view section, std::string_view key, std::string_view value) {
    if (!ValidSection(section) || !ValidKey(key) || BreaksLine(value)) {
        return false;
    }
    if (this->value(section, key) == value) {
        return true; // already reads so: leave the line as it is written
    }
    std::string header = "[" + std::string(section) + "]";
    std::string keyLine = std::string(key) + "=" + Quoted(value);
    if (encoding_ == Encoding::Cp932 && (!Utf8ToCp932(header) || !Utf8ToCp932(keyLine))) {
        convertToUtf8();
    }
    if (std::optional<size_t> at = findKey(section, key)) {
        Line& line = lines_[*at];
        return setText(line, std::string(ParseKeyLine(line.text)->key) + "=" + Quoted(value));
    }
    Line added{"", "", newline_};
    setText(added, std::move(keyLine)); // holds in the encoding chosen above
    addLine(section, header, std::move(added));
    return true;
}

void IniDocument::addLine(std::string_view section, const std::string& header, Line line) {
    std::optional<size_t> after = findInsertPoint(section);
    if (!after) {
        Line head{"", "", newline_};
        setText(head, header);
        if (!lines_.empty() && lines_.back().end.empty()) {
            lines_.back().end = newline_;
        }
        lines_.push_back(std::move(head));
        lines_.push_back(std::move(line));
        return;
    }
    if (lines_[*after].end.empty()) {
        lines_[*after].end = newline_;
    }
    lines_.insert(lines_.begin() + static_cast<std::ptrdiff_t>(*after + 1), std::move(line));
}

std::string IniDocument::bytes() const {
    std::string out(encoding_ == Encoding::Utf8 ? kUtf8Bom : "");
    for (const Line& line : lines_) {
        out += line.raw;
        out += line.end;
    }
    return out;
}

std::optional<size_t> IniDocument::findKey(std::string_view section, std::string_view key) const {
    bool inSection = false;
    for (size_t i = 0; i < lines_.size(); ++i) {
        if (std::optional<std::string_view> name = SectionName(lines_[i].text)) {
            inSection = SameName(*name, section);
        } else if (inSection) {
            std::optional<KeyLine> kv = ParseKeyLine(lines_[i].text);
            if (kv && SameName(kv->key, key)) {
                return i;
            }
        }
    }
    return std::nullopt;
}

// After the last key of the first section of that name, or after its header;
// blank lines and comments that lead to the next section stay in front of it.
std::optional<size_t> IniDocument::findInsertPoint(std::string_view section) const {
    std::optional<size_t> point;
    for (size_t i = 0; i < lines_.size(); ++i) {
        if (std::optional<std::string_view> name = SectionName(lines_[i].text)) {
            if (point) {
                break;
            }
            if (SameName(*name, section)) {
                point = i;
            }
        } else if (point && ParseKeyLine(lines_[i].text)) {
            point = i;
        }
    }
    return point;
}

bool IniDocument::setText(Line& line, std::string text) {
    if (encoding_ == Encoding::Cp932) {
        std::optional<std::string> raw = Utf8ToCp932(text);
        if (!raw) {
            return false;
        }
        line.raw = std::move(*raw);
    } else {
        line.raw = text;
    }
    line.text = std::move(text);
    return true;
}

void IniDocument::convertToUtf8() {
    encoding_ = Encoding::Utf8;
    for (Line& line : lines_) {
        line.raw = line.text;
    }
}

} // namespace tomorine
