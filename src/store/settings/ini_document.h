#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace tomorine {

// An INI file: "[section]" lines, "key=value" lines, and every other line
// (comments, blank lines, text we do not understand) kept byte for byte, so
// that a file another program also writes keeps what it put there. Names
// match ignoring ASCII case; values are read trimmed of blanks and without
// one pair of enclosing quotes, as settings files written by hand expect.
//
// On disk the text is CP932, so that settings files from Japanese Windows
// read as they are. A value that CP932
// cannot hold would come back as a different path, so such a file is turned
// into UTF-8 with a byte-order mark, and a file with that mark is read as
// UTF-8.
class IniDocument {
public:
    enum class Encoding { Cp932, Utf8 };

    static IniDocument parse(std::string_view bytes);

    // Empty when the section or the key is absent.
    std::optional<std::string> value(std::string_view section, std::string_view key) const;
    // parse(bytes).value(section, key), read straight from the bytes without
    // keeping their lines.
    static std::optional<std::string> lookup(std::string_view bytes, std::string_view section,
                                             std::string_view key);

    // Changes the key's line, or adds the key at the end of its section, or
    // adds the section at the end. False, and nothing changed, when a name or
    // the value would break the file's lines (line breaks, "=" in a key ...).
    bool setValue(std::string_view section, std::string_view key, std::string_view value);

    std::string bytes() const;
    Encoding encoding() const { return encoding_; }

private:
    struct Line {
        std::string raw;  // as on disk, without the line end
        std::string text; // UTF-8
        std::string end;  // "\r\n", "\n", or "" for a last line without one
    };

    std::optional<size_t> findKey(std::string_view section, std::string_view key) const;
    std::optional<size_t> findInsertPoint(std::string_view section) const;
    void addLine(std::string_view section, const std::string& header, Line line);
    bool setText(Line& line, std::string text);
    void convertToUtf8();

    Encoding encoding_ = Encoding::Cp932;
    std::string newline_ = "\r\n";
    std::vector<Line> lines_;
};

} // namespace tomorine
