#include "bookmarks/netscape_reader.h"

#include "bookmarks/chromium_bookmarks.h"
#include "bookmarks/html_entities.h"
#include "browser/page_charset.h"
#include "store/files/file_bytes.h"
#include "store/workbook/ascii_case.h"
#include "store/workbook/workbook_error.h"

#include <map>
#include <optional>

namespace tomorine {

namespace fs = std::filesystem;

namespace {

constexpr std::string_view kSpaces = " \t\r\n\f";

std::string Trimmed(std::string_view text) {
    const size_t begin = text.find_first_not_of(kSpaces);
    return begin == std::string_view::npos
               ? std::string()
               : std::string(text.substr(begin, text.find_last_not_of(kSpaces) + 1 - begin));
}

struct Tag {
    std::string name; // lower case, "/dl" for a closing tag
    std::map<std::string, std::string> attributes;
};

class Scanner {
public:
    explicit Scanner(std::string_view html) : html_(html) {}

    bool atEnd() const { return pos_ >= html_.size(); }

    // The text up to the next tag, which is left for nextTag.
    std::string_view text() {
        const size_t start = pos_;
        pos_ = std::min(html_.find('<', pos_), html_.size());
        return html_.substr(start, pos_ - start);
    }

    // The tag at the current position; comments and declarations give an
    // empty name.
    Tag nextTag() {
        Tag tag;
        ++pos_; // '<'
        if (html_.substr(pos_).starts_with("!--")) {
            const size_t end = html_.find("-->", pos_);
            pos_ = end == std::string_view::npos ? html_.size() : end + 3;
            return tag;
        }
        const size_t start = pos_;
        skipTo(" \t\r\n\f>");
        tag.name = AsciiLower(html_.substr(start, pos_ - start));
        if (tag.name.starts_with('!')) {
            tag.name.clear();
        }
        readAttributes(tag);
        return tag;
    }

private:
    void skipTo(std::string_view stops) {
        pos_ = std::min(html_.find_first_of(stops, pos_), html_.size());
    }

    void readAttributes(Tag& tag) {
        while (pos_ < html_.size()) {
            pos_ = std::min(html_.find_first_not_of(kSpaces, pos_), html_.size());
            if (pos_ >= html_.size() || html_[pos_] == '>') {
                ++pos_;
                return;
            }
            const size_t start = pos_;
            skipTo(" \t\r\n\f=>");
            std::string name = AsciiLower(html_.substr(start, pos_ - start));
            if (name.empty()) {
                ++pos_; // a stray character
                continue;
            }
            std::string value;
            if (pos_ < html_.size() && html_[pos_] == '=') {
                ++pos_;
                value = readValue();
            }
            tag.attributes.emplace(std::move(name), DecodeEntities(value));
        }
    }

    std::string readValue() {
        if (pos_ < html_.size() && (html_[pos_] == '"' || html_[pos_] == '\'')) {
            const char quote = html_[pos_++];
            const size_t end = std::min(html_.find(quote, pos_), html_.size());
            std::string value(html_.substr(pos_, end - pos_));
            pos_ = std::min(end + 1, html_.size());
            return value;
        }
        const size_t start = pos_;
        skipTo(" \t\r\n\f>");
        return std::string(html_.substr(start, pos_ - start));
    }

    std::string_view html_;
    size_t pos_ = 0;
};

class NetscapeParser {
public:
    explicit NetscapeParser(std::string_view html) : scanner_(html) {}

    BrowserBookmarks parse(bool& sawList) {
        while (!scanner_.atEnd()) {
            std::string_view text = scanner_.text();
            if (description_) {
                *description_ += text;
            }
            if (scanner_.atEnd()) {
                break;
            }
            handle(scanner_.nextTag());
        }
        endDescription();
        sawList = sawList_;
        BrowserBookmarks read;
        read.bookmarks = std::move(out_);
        return read;
    }

private:
    // The text of an element up to its closing tag, other tags dropped.
    std::string elementText(std::string_view closing) {
        std::string text;
        while (!scanner_.atEnd()) {
            text += scanner_.text();
            if (scanner_.atEnd()) {
                break;
            }
            if (scanner_.nextTag().name == closing) {
                break;
            }
        }
        return Trimmed(DecodeEntities(text));
    }

    void handle(const Tag& tag) {
        if (tag.name.empty()) {
            return;
        }
        if (tag.name == "dd") {
            endDescription();
            if (lastIsBookmark_) {
                description_ = std::string();
            }
            return;
        }
        // Any other tag ends a description.
        endDescription();
        if (tag.name == "a") {
            addBookmark(tag);
        } else if (tag.name == "h3") {
            lastIsBookmark_ = false;
            pendingFolder_ = elementText("/h3");
        } else if (tag.name == "dl") {
            sawList_ = true;
            folders_.push_back(pendingFolder_ ? BookmarkFolder(folder(), std::move(*pendingFolder_))
                                              : folder());
            pendingFolder_.reset();
        } else if (tag.name == "/dl" && !folders_.empty()) {
            folders_.pop_back();
            lastIsBookmark_ = false;
        }
    }

    void addBookmark(const Tag& tag) {
        BrowserBookmark bookmark;
        if (auto href = tag.attributes.find("href"); href != tag.attributes.end()) {
            bookmark.url = Trimmed(href->second);
        }
        if (auto tags = tag.attributes.find("tags"); tags != tag.attributes.end()) {
            std::string_view list = tags->second;
            while (!list.empty()) {
                const size_t comma = std::min(list.find(','), list.size());
                std::string one = Trimmed(list.substr(0, comma));
                if (!one.empty()) {
                    bookmark.tags.push_back(std::move(one));
                }
                list.remove_prefix(std::min(comma + 1, list.size()));
            }
        }
        bookmark.title = elementText("/a");
        bookmark.folder = folder();
        out_.push_back(std::move(bookmark));
        lastIsBookmark_ = true;
    }

    BookmarkFolder folder() const { return folders_.empty() ? BookmarkFolder() : folders_.back(); }

    void endDescription() {
        if (!description_) {
            return;
        }
        if (!out_.empty()) {
            out_.back().description = Trimmed(DecodeEntities(*description_));
        }
        description_.reset();
        lastIsBookmark_ = false;
    }

    Scanner scanner_;
    std::vector<BrowserBookmark> out_;
    std::vector<BookmarkFolder> folders_; // one a <DL>; an unnamed one adds no folder
    std::optional<std::string> pendingFolder_;
    std::optional<std::string> description_;
    bool lastIsBookmark_ = false;
    bool sawList_ = false;
};

BrowserBookmarks ParseHtml(std::string_view html, const fs::path& name) {
    bool sawList = false;
    BrowserBookmarks bookmarks = NetscapeParser(html).parse(sawList);
    if (!sawList && bookmarks.bookmarks.empty()) {
        throw WorkbookError(WorkbookFault::NotAWorkbook,
                            QuotedPath(name) + " はブックマークのファイルではありません");
    }
    return bookmarks;
}

} // namespace

BrowserBookmarks ParseNetscapeBookmarks(std::string_view bytes, const fs::path& name) {
    return ParseHtml(DecodePage(bytes, ""), name);
}

BrowserBookmarks ReadNetscapeBookmarks(const fs::path& file) {
    std::string html;
    {
        const FileBytes bytes = ReadFileBytes(file, kMaxBookmarkFileBytes);
        html = DecodePage(
            std::string_view(reinterpret_cast<const char*>(bytes.data()), bytes.size()), "");
    } // the file's bytes go before the parse copies out its texts
    return ParseHtml(html, file);
}

} // namespace tomorine
