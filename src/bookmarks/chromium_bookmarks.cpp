#include "bookmarks/chromium_bookmarks.h"

#include "bookmarks/lenient_json.h"
#include "store/files/file_bytes.h"
#include "store/workbook/workbook_error.h"

#include <array>
#include <nlohmann/json.hpp>

namespace tomorine {

namespace fs = std::filesystem;

namespace {

using nlohmann::json;

constexpr std::array<std::string_view, 3> kRoots{"bookmark_bar", "other", "synced"};

// A node object of the tree as met: Chromium writes "children" before
// "name" and "type", so nodes are read first and put together afterwards.
struct Node {
    int parent = -1; // the node whose "children" hold it; -1 for a root
    int root = 0;    // which of kRoots it is under
    std::string type;
    std::string name;
    std::string url;
};

// Reads the file as events, with its nesting on an explicit stack: no depth
// of folders can exhaust the call stack, and no document is built.
class TreeReader : public nlohmann::json_sax<json> {
public:
    std::vector<Node> nodes;
    bool sawRoots = false;

    bool null() override { return value(); }
    bool boolean(bool) override { return value(); }
    bool number_integer(number_integer_t) override { return value(); }
    bool number_unsigned(number_unsigned_t) override { return value(); }
    bool number_float(number_float_t, const string_t&) override { return value(); }
    bool binary(binary_t&) override { return value(); }

    bool string(string_t& text) override {
        if (!stack_.empty() && stack_.back().role == Role::Node) {
            Node& node = nodes[static_cast<size_t>(stack_.back().node)];
            const std::string& key = stack_.back().key;
            if (key == "type") {
                node.type = std::move(text);
            } else if (key == "name") {
                node.name = std::move(text);
            } else if (key == "url") {
                node.url = std::move(text);
            }
        }
        return value();
    }

    bool start_object(std::size_t) override {
        Frame frame{open(), -1, {}};
        if (stack_.empty()) {
            frame.role = Role::Document;
        } else if (frame.role == Role::Roots) {
            sawRoots = true;
        } else if (frame.role == Role::Node) {
            frame.node = static_cast<int>(nodes.size());
            nodes.push_back(Node{parentNode_, rootIndex_, {}, {}, {}});
        }
        stack_.push_back(std::move(frame));
        return true;
    }

    bool key(string_t& name) override {
        stack_.back().key = std::move(name);
        return true;
    }

    bool end_object() override { return close(); }

    bool start_array(std::size_t) override {
        stack_.push_back(Frame{open() == Role::Children ? Role::Children : Role::Other, -1, {}});
        return true;
    }

    bool end_array() override { return close(); }

    bool parse_error(std::size_t, const std::string&, const nlohmann::detail::exception&) override {
        return false;
    }

private:
    enum class Role { Other, Document, Roots, Node, Children };

    struct Frame {
        Role role = Role::Other;
        int node = -1;
        std::string key;
    };

    // The role of a value opened in the current frame.
    Role open() {
        if (stack_.empty()) {
            return Role::Other;
        }
        Frame& here = stack_.back();
        parentNode_ = -1;
        switch (here.role) {
        case Role::Document:
            return here.key == "roots" ? Role::Roots : Role::Other;
        case Role::Roots:
            for (size_t i = 0; i < kRoots.size(); ++i) {
                if (here.key == kRoots[i]) {
                    rootIndex_ = static_cast<int>(i);
                    return Role::Node;
                }
            }
            return Role::Other;
        case Role::Node:
            return here.key == "children" ? Role::Children : Role::Other;
        case Role::Children:
            parentNode_ = stack_[stack_.size() - 2].node;
            rootIndex_ = nodes[static_cast<size_t>(parentNode_)].root;
            return Role::Node;
        default:
            return Role::Other;
        }
    }

    bool close() {
        stack_.pop_back();
        return true;
    }

    bool value() { return true; }

    std::vector<Frame> stack_;
    int parentNode_ = -1;
    int rootIndex_ = 0;
};

// The bookmarks of the nodes, each root's in document order as the browser
// lists them: a node counts only under folders, up to a root.
std::vector<BrowserBookmark> Assemble(std::vector<Node>& nodes) {
    std::vector<BookmarkFolder> folders(nodes.size());
    std::vector<bool> reached(nodes.size());
    std::array<std::vector<BrowserBookmark>, kRoots.size()> byRoot;
    for (size_t i = 0; i < nodes.size(); ++i) {
        Node& node = nodes[i];
        if (node.parent >= 0) {
            const auto parent = static_cast<size_t>(node.parent);
            if (!reached[parent] || (nodes[parent].parent >= 0 && nodes[parent].type != "folder")) {
                continue;
            }
            if (node.type == "folder") {
                folders[i] = BookmarkFolder(folders[parent], std::move(node.name));
            } else if (node.type == "url") {
                byRoot[static_cast<size_t>(node.root)].push_back(BrowserBookmark{
                    std::move(node.url), std::move(node.name), {}, "", folders[parent]});
            }
        }
        reached[i] = true;
    }
    std::vector<BrowserBookmark> out = std::move(byRoot[0]);
    for (size_t r = 1; r < byRoot.size(); ++r) {
        out.insert(out.end(), std::make_move_iterator(byRoot[r].begin()),
                   std::make_move_iterator(byRoot[r].end()));
    }
    return out;
}

} // namespace

BrowserBookmarks ParseChromiumBookmarks(std::string_view text, const fs::path& name) {
    BrowserBookmarks read;
    const std::optional<std::string> mended = MendedJson(text, read.replaced);
    if (mended) {
        text = *mended;
    }
    TreeReader reader;
    if (!json::sax_parse(text.begin(), text.end(), &reader) || !reader.sawRoots) {
        throw WorkbookError(WorkbookFault::NotAWorkbook,
                            QuotedPath(name) +
                                " は壊れているか、ブックマークのファイルではありません");
    }
    read.bookmarks = Assemble(reader.nodes);
    return read;
}

BrowserBookmarks ReadChromiumBookmarks(const fs::path& profileOrFile) {
    std::error_code error;
    const fs::path file =
        fs::is_directory(profileOrFile, error) ? profileOrFile / "Bookmarks" : profileOrFile;
    if (!fs::is_regular_file(file, error)) {
        throw WorkbookError(WorkbookFault::FileNotFound, QuotedPath(file) + " が見つかりません");
    }
    const FileBytes bytes = ReadFileBytes(file, kMaxBookmarkFileBytes);
    return ParseChromiumBookmarks(
        std::string_view(reinterpret_cast<const char*>(bytes.data()), bytes.size()), file);
}

} // namespace tomorine
