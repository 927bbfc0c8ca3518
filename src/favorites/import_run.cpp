#include "favorites/import_run.h"

#include "favorites/registered_urls.h"
#include "store/cache/workbook_cache.h"
#include "store/data_connection.h"
#include "store/entry.h"
#include "store/files/data_file_lock.h"
#include "store/table/connection.h"
#include "store/table/recordset.h"
#include "store/workbook/workbook_error.h"
#include "store/xls/xls_file.h"
#include "upgrade/conversion.h"

#include <fcntl.h>
#include <limits>

namespace tomorine {

ImportRun::ImportRun(StoreState& store, const ImportOptions& options)
    : store_(store), options_(options), path_(store.dataFilePath),
      now_(options.now ? options.now : std::chrono::steady_clock::now) {}

ImportRun::~ImportRun() = default;

void ImportRun::run(int count, const std::function<void(int percent)>& setProgress,
                    const std::function<void()>& processEvents, const bool& stopRequested,
                    bool& stopped, std::optional<WorkbookError>& failure) {
    try {
        open();
        for (int i = 0; i < count; ++i) {
            current_ = i;
            importItem(i);
            if (setProgress) {
                setProgress(ConversionPercent(i + 1, count));
            }
            if (now_() - lastSave_ >= options_.saveInterval) {
                save();
            }
            if (processEvents) {
                processEvents();
            }
            if (stopRequested) {
                stopped = true;
                break;
            }
        }
        save(true);
    } catch (const std::exception& e) {
        failure = AsWorkbookError(e);
        keepWhatIsDone();
    }
}

bool ImportRun::isRegistered(std::u16string_view url) const {
    return registered_->contains(url);
}

void ImportRun::insert(std::u16string_view url, const std::vector<std::u16string>& chunks) {
    insertNow(current_, url, chunks);
}

void ImportRun::insertNow(int index, std::u16string_view url,
                          const std::vector<std::u16string>& chunks) {
    if (maxSerial_ == std::numeric_limits<std::int32_t>::max()) {
        throw WorkbookError(WorkbookFault::SheetRule,
                            QuotedPath(path_) + " のシリアル番号はこれ以上増やせません");
    }
    takeBook();
    InsertEntry(*connection_, maxSerial_ + 1, chunks);
    ++maxSerial_;
    registered_->add(url);
    pending_.push_back({index, connection_->workbook().sheet(EntrySheetName).lastUsedRow()});
}

void ImportRun::open() {
    {
        DataFileLock lock(path_);
        read();
    }
    lastSave_ = now_();
    rememberCounts();
}

// Remembers the file as it is now; without a stamp the next save reads it
// again.
void ImportRun::holdFile() {
    held_.reset();
    held_.emplace(::open(path_.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK | O_NOCTTY));
    stamp_ = held_->get() >= 0 ? StampOfDescriptor(held_->get()) : std::nullopt;
}

void ImportRun::read() {
    holdFile();
    registered_.reset();
    connection_.reset();
    book_.reset(); // before the file is read into a new one
    read_ = DataWorkbookCache().load(path_);
    connection_ = std::make_unique<Connection>(path_, read_);
    registered_ = std::make_unique<RegisteredUrls>(*connection_);
    maxSerial_ = QueryMaxSerial(*connection_);
}

// As a connection's first write would: the kept workbook when no one else
// reads it, else a copy.
void ImportRun::takeBook() {
    if (book_) {
        return;
    }
    connection_.reset();
    std::shared_ptr<Workbook> read = std::const_pointer_cast<Workbook>(std::move(read_));
    book_ = read.use_count() == 1 ? read : DataWorkbookCache().release(read);
    if (!book_) {
        book_ = std::make_shared<Workbook>(*read);
    }
    connection_ = std::make_unique<Connection>(path_, book_);
}

// The entries not saved yet are taken from the sheet before it goes, and
// inserted again into the file as it is now.
void ImportRun::readAgainWithPending() {
    const SheetRows rows = connection_->rows(EntrySheetName);
    std::vector<int> columns;
    for (auto name = EntryColumnNames().begin() + 1; name != EntryColumnNames().end() - 1; ++name) {
        columns.push_back(rows.column(*name));
    }
    std::vector<std::pair<int, std::vector<std::u16string>>> pending;
    for (const Pending& item : pending_) {
        std::vector<std::u16string>& chunks = pending.emplace_back(item.index, 0).second;
        for (int column : columns) {
            chunks.push_back(CellToText(rows.value(item.row, column)));
        }
    }
    pending_.clear();
    read();
    for (auto& [index, chunks] : pending) {
        std::u16string url;
        for (int i = 0; i < LayoutOf(FieldGroup::Url).chunks; ++i) {
            url += chunks[static_cast<size_t>(i)];
        }
        if (registered_->contains(url)) {
            registeredMeanwhile(index);
        } else {
            insertNow(index, url, chunks);
        }
    }
}

void ImportRun::save(bool last) {
    if (!pending_.empty()) {
        try {
            DataFileLock lock(path_);
            if (!stamp_ || StampOfPath(path_) != stamp_) {
                readAgainWithPending();
            }
            if (options_.save) {
                options_.save(connection_->workbook(), path_);
            } else {
                WriteXlsFile(connection_->workbook(), path_);
            }
            pending_.clear();
            holdFile();
            // Kept as what the file holds, the next reader need not read it.
            if (last && &connection_->workbook() == book_.get()) {
                DataWorkbookCache().keepSaved(path_, book_);
            }
        } catch (...) {
            saveFailed_ = true;
            restoreCounts();
            throw;
        }
    }
    lastSave_ = now_();
    rememberCounts();
}

// After a failure: saves what is done, unless saving is what failed.
void ImportRun::keepWhatIsDone() {
    if (saveFailed_ || !connection_) {
        return;
    }
    try {
        save();
    } catch (const std::exception&) {
        // The counts are those of the last save; the first failure is reported.
    }
}

} // namespace tomorine
