#include "bookmarks/bookmarks_import.h"

#include "bookmarks/bookmark_mapping.h"
#include "favorites/registered_urls.h"
#include "store/data_connection.h"
#include "store/entry_statements.h"
#include "store/files/data_file_lock.h"
#include "store/table/connection.h"
#include "store/workbook/workbook_error.h"
#include "store/xls/xls_file.h"
#include "upgrade/conversion.h"

#include <limits>
#include <memory>

namespace tomorine {

namespace {

struct Candidate {
    Entry entry;
    bool cut = false;
};

class BookmarksRun {
public:
    BookmarksRun(StoreState& store, const BookmarksImportUi& ui, const bool& stop,
                 const ImportOptions& options, BookmarksImportOutcome& outcome)
        : store_(store), ui_(ui), stop_(stop), options_(options), outcome_(outcome),
          now_(options.now ? options.now : std::chrono::steady_clock::now), saved_(outcome.counts) {
    }

    void run(const std::vector<Candidate>& candidates) {
        try {
            open();
            const int n = static_cast<int>(candidates.size());
            for (int i = 0; i < n; ++i) {
                importOne(candidates[static_cast<size_t>(i)]);
                if (ui_.setProgress) {
                    ui_.setProgress(ConversionPercent(i + 1, n));
                }
                if (now_() - lastSave_ >= options_.saveInterval) {
                    save();
                }
                if (ui_.processEvents) {
                    ui_.processEvents();
                }
                if (stop_) {
                    outcome_.stopped = true;
                    break;
                }
            }
            save();
        } catch (const std::exception& e) {
            outcome_.failure = e.what();
            keepWhatIsDone();
        }
    }

private:
    void open() {
        if (store_.ConnectionOpen) {
            CloseDataConnection(store_);
            store_.ConnectionOpen = false;
        }
        const std::filesystem::path& path = store_.DataFilePath;
        lock_ = std::make_unique<DataFileLock>(path);
        connection_ = std::make_unique<Connection>(Connection::ConnectionString(path));
        registered_ = std::make_unique<RegisteredUrls>(*connection_);
        Recordset highest = connection_->execute(u"select max(シリアル番号) as cnt from " +
                                                 std::u16string(EntryTable));
        maxSerial_ = highest.eof() ? 0 : CellToInt32(highest.field(u"cnt"));
        lastSave_ = now_();
        saved_ = outcome_.counts;
    }

    void importOne(const Candidate& candidate) {
        if (registered_->contains(candidate.entry.url)) {
            ++outcome_.counts.existing;
            return;
        }
        if (maxSerial_ == std::numeric_limits<std::int32_t>::max()) {
            throw WorkbookError(ErrorNumber::SheetRule,
                                QuotedPath(store_.DataFilePath) +
                                    " のシリアル番号はこれ以上増やせません");
        }
        connection_->execute(BuildInsertStatement(maxSerial_ + 1, candidate.entry));
        ++maxSerial_;
        registered_->add(candidate.entry.url);
        unsaved_ = true;
        ++outcome_.counts.registered;
        if (candidate.cut) {
            ++outcome_.counts.cut;
        }
    }

    void save() {
        if (unsaved_) {
            try {
                if (options_.save) {
                    options_.save(connection_->workbook(), store_.DataFilePath);
                } else {
                    WriteXlsFile(connection_->workbook(), store_.DataFilePath);
                }
            } catch (...) {
                saveFailed_ = true;
                outcome_.counts = saved_;
                throw;
            }
            unsaved_ = false;
        }
        lastSave_ = now_();
        saved_ = outcome_.counts;
    }

    void keepWhatIsDone() {
        if (saveFailed_ || !connection_) {
            outcome_.counts = saved_;
            return;
        }
        try {
            save();
        } catch (const std::exception&) {
            // The counts are those of the last save; the first failure is reported.
        }
    }

    StoreState& store_;
    const BookmarksImportUi& ui_;
    const bool& stop_;
    const ImportOptions& options_;
    BookmarksImportOutcome& outcome_;
    std::function<std::chrono::steady_clock::time_point()> now_;
    std::unique_ptr<DataFileLock> lock_;
    std::unique_ptr<Connection> connection_;
    std::unique_ptr<RegisteredUrls> registered_;
    std::int32_t maxSerial_ = 0;
    bool unsaved_ = false;
    bool saveFailed_ = false;
    std::chrono::steady_clock::time_point lastSave_;
    BookmarksImportCounts saved_;
};

} // namespace

BookmarksImportOutcome RunBookmarksImport(StoreState& store,
                                          const std::vector<BrowserBookmark>& bookmarks,
                                          const BookmarksImportUi& ui, const bool& stopRequested,
                                          const ImportOptions& options) {
    BookmarksImportOutcome outcome;
    outcome.counts.found = static_cast<std::int32_t>(
        std::min<size_t>(bookmarks.size(), std::numeric_limits<std::int32_t>::max()));
    std::vector<Candidate> candidates;
    candidates.reserve(bookmarks.size());
    for (const BrowserBookmark& bookmark : bookmarks) {
        Candidate candidate;
        if (std::optional<Entry> entry = EntryOfBookmark(bookmark, candidate.cut)) {
            candidate.entry = std::move(*entry);
            candidates.push_back(std::move(candidate));
        } else {
            ++outcome.counts.skipped;
        }
    }
    if (!candidates.empty()) {
        BookmarksRun(store, ui, stopRequested, options, outcome).run(candidates);
    }
    return outcome;
}

} // namespace tomorine
