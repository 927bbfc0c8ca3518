#include "bookmarks/browser_bookmark.h"

#include <algorithm>

namespace tomorine {

struct BookmarkFolder::Node {
    std::shared_ptr<const Node> parent;
    std::string name;
    std::size_t pathBytes = 0; // the length of the whole path, at most the cap
    // The outermost folder on the way up whose path reaches the cap: the
    // path is built from there, never from deeper down.
    const Node* firstFull = nullptr;
    mutable std::string cached; // the path of a first full folder, once asked for

    std::string build() const {
        std::vector<const Node*> chain; // within the cap: each level adds a "/"
        for (const Node* n = this; n != nullptr; n = n->parent.get()) {
            chain.push_back(n);
        }
        std::string path;
        for (auto n = chain.rbegin(); n != chain.rend() && path.size() < kMaxFolderPathBytes; ++n) {
            path += (n == chain.rbegin() ? "" : "/") + (*n)->name;
        }
        if (path.size() > kMaxFolderPathBytes) {
            size_t end = kMaxFolderPathBytes;
            while (end > 0 && (static_cast<unsigned char>(path[end]) & 0xC0) == 0x80) {
                --end; // not inside a character
            }
            path.resize(end);
        }
        return path;
    }

    ~Node() {
        // Lets go of a long chain one link at a time instead of recursively.
        std::shared_ptr<const Node> next = std::move(parent);
        while (next && next.use_count() == 1) {
            next = std::move(const_cast<Node&>(*next).parent);
        }
    }
};

BookmarkFolder::BookmarkFolder(const BookmarkFolder& parent, std::string name) {
    auto node = std::make_shared<Node>();
    const Node* up = parent.node_.get();
    const std::size_t above = up ? up->pathBytes + 1 : 0;
    node->pathBytes = std::min(above + name.size(), kMaxFolderPathBytes);
    node->firstFull = up && up->pathBytes >= kMaxFolderPathBytes ? up->firstFull : node.get();
    node->name = std::move(name);
    node->parent = parent.node_;
    node_ = std::move(node);
}

std::string BookmarkFolder::path() const {
    if (!node_) {
        return {};
    }
    if (node_->pathBytes < kMaxFolderPathBytes) {
        return node_->build();
    }
    // Every folder below the first full one has its path: built once.
    const Node& full = *node_->firstFull;
    if (full.cached.empty()) {
        full.cached = full.build();
    }
    return full.cached;
}

} // namespace tomorine
