#include "bookmarks/bookmarks_import.h"

#include "bookmarks/bookmark_mapping.h"
#include "favorites/import_run.h"

#include <limits>

namespace tomorine {

namespace {

// A bookmark to import. Its entry is made again when its turn comes: 60,000
// entries made at once took as much memory as their bookmarks.
struct Candidate {
    size_t bookmark; // in the source
    bool cut = false;
};

class BookmarksRun : public ImportRun {
public:
    BookmarksRun(StoreState& store, const ImportOptions& options,
                 const std::vector<BrowserBookmark>& bookmarks, std::vector<BrowserBookmark>* spent,
                 const std::vector<Candidate>& candidates, BookmarksImportOutcome& outcome)
        : ImportRun(store, options), bookmarks_(bookmarks), spent_(spent), candidates_(candidates),
          outcome_(outcome), saved_(outcome.counts) {}

private:
    void importItem(int index) override {
        const Candidate& candidate = candidates_[static_cast<size_t>(index)];
        bool cut = false;
        const Entry entry = *EntryOfBookmark(bookmarks_[candidate.bookmark], cut);
        if (spent_ != nullptr) {
            // Moved out, not assigned to: a string assigned to keeps its buffer.
            BrowserBookmark spent = std::move((*spent_)[candidate.bookmark]);
        }
        if (isRegistered(entry.url)) {
            ++outcome_.counts.existing;
            return;
        }
        insert(entry.url, ChunkValues(entry));
        ++outcome_.counts.registered;
        if (candidate.cut) {
            ++outcome_.counts.cut;
        }
    }

    void registeredMeanwhile(int index) override {
        --outcome_.counts.registered;
        ++outcome_.counts.existing;
        if (candidates_[static_cast<size_t>(index)].cut) {
            --outcome_.counts.cut;
        }
    }

    void rememberCounts() override { saved_ = outcome_.counts; }
    void restoreCounts() override { outcome_.counts = saved_; }

    const std::vector<BrowserBookmark>& bookmarks_;
    std::vector<BrowserBookmark>* spent_; // the same, to free as they are imported
    const std::vector<Candidate>& candidates_;
    BookmarksImportOutcome& outcome_;
    BookmarksImportCounts saved_;
};

BookmarksImportOutcome Run(StoreState& store, const BrowserBookmarks& source,
                           std::vector<BrowserBookmark>* spent, const BookmarksImportUi& ui,
                           const bool& stopRequested, const ImportOptions& options) {
    BookmarksImportOutcome outcome;
    const std::vector<BrowserBookmark>& bookmarks = source.bookmarks;
    outcome.counts.unreadable = source.unreadable;
    outcome.counts.replaced = source.replaced;
    outcome.counts.found = static_cast<std::int32_t>(
        std::min<size_t>(bookmarks.size(), std::numeric_limits<std::int32_t>::max()));
    std::vector<Candidate> candidates;
    candidates.reserve(bookmarks.size());
    for (size_t i = 0; i < bookmarks.size(); ++i) {
        Candidate candidate{i};
        if (EntryOfBookmark(bookmarks[i], candidate.cut)) {
            candidates.push_back(candidate);
        } else {
            ++outcome.counts.skipped;
        }
    }
    if (!candidates.empty()) {
        BookmarksRun(store, options, bookmarks, spent, candidates, outcome)
            .run(static_cast<int>(candidates.size()), ui.setProgress, ui.processEvents,
                 stopRequested, outcome.stopped, outcome.failure);
    }
    return outcome;
}

} // namespace

BookmarksImportOutcome RunBookmarksImport(StoreState& store, const BrowserBookmarks& source,
                                          const BookmarksImportUi& ui, const bool& stopRequested,
                                          const ImportOptions& options) {
    return Run(store, source, nullptr, ui, stopRequested, options);
}

BookmarksImportOutcome RunBookmarksImport(StoreState& store, BrowserBookmarks&& source,
                                          const BookmarksImportUi& ui, const bool& stopRequested,
                                          const ImportOptions& options) {
    return Run(store, source, &source.bookmarks, ui, stopRequested, options);
}

} // namespace tomorine
