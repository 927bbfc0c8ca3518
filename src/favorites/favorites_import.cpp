#include "favorites/favorites_import.h"

#include "browser/dropped_data.h"
#include "favorites/favorite_statements.h"
#include "favorites/find_files.h"
#include "favorites/registered_urls.h"
#include "store/data_connection.h"
#include "store/entry.h"
#include "store/files/data_file_lock.h"
#include "store/table/connection.h"
#include "store/workbook/workbook_error.h"
#include "store/xls/xls_file.h"
#include "upgrade/conversion.h"

#include <limits>
#include <memory>

namespace tomorine {

namespace {

// The counts as of the last save, to fall back on when a later save fails.
struct SavedCounts {
    std::int32_t registered = 0;
    std::int32_t existing = 0;
    ShortcutCounters counters;
};

class ImportRun {
public:
    explicit ImportRun(ImportContext& context)
        : c_(context), path_(context.store.DataFilePath), now_(context.options.now) {
        if (!now_) {
            now_ = std::chrono::steady_clock::now;
        }
    }

    void importAll(const std::vector<std::filesystem::path>& files, ImportOutcome& outcome) {
        try {
            open();
            const int n = static_cast<int>(files.size());
            for (int i = 1; i <= n; ++i) {
                importOne(files[static_cast<size_t>(i) - 1]);
                if (c_.ui.setProgress) {
                    c_.ui.setProgress(ConversionPercent(i, n));
                }
                if (now_() - lastSave_ >= c_.options.saveInterval) {
                    save();
                }
                if (c_.ui.processEvents) {
                    c_.ui.processEvents();
                }
                if (c_.favorites.ImportCancelRequested) {
                    outcome.stopped = true;
                    break;
                }
            }
            save();
        } catch (const std::exception& e) {
            outcome.failure = e.what();
            keepWhatIsDone();
        }
    }

private:
    void open() {
        // The module connection only reads, but it must not outlive the change.
        if (c_.store.ConnectionOpen) {
            CloseDataConnection(c_.store);
            c_.store.ConnectionOpen = false;
        }
        lock_ = std::make_unique<DataFileLock>(path_);
        connection_ = std::make_unique<Connection>(Connection::ConnectionString(path_));
        registered_ = std::make_unique<RegisteredUrls>(*connection_);
        Recordset highest = connection_->execute(u"select max(シリアル番号) as cnt from " +
                                                 std::u16string(EntryTable));
        maxSerial_ = highest.eof() ? 0 : CellToInt32(highest.field(u"cnt"));
        lastSave_ = now_();
        remember();
    }

    void importOne(const std::filesystem::path& file) {
        if (c_.ui.addFile) {
            c_.ui.addFile(file);
        }
        std::optional<Favorite> favorite = ReadFavoriteFile(file, c_.counters);
        if (!favorite) {
            return;
        }
        if (c_.ui.showFavorite) {
            c_.ui.showFavorite(*favorite);
        }
        if (registered_->contains(favorite->url)) {
            c_.store.HasSearchResult = true;
            ++c_.favorites.ExistingCount;
            return;
        }
        c_.store.HasSearchResult = false;
        insert(*favorite);
        ++c_.favorites.RegisteredCount;
    }

    void insert(const Favorite& favorite) {
        if (maxSerial_ == std::numeric_limits<std::int32_t>::max()) {
            throw WorkbookError(ErrorNumber::SheetRule,
                                QuotedPath(path_) + " のシリアル番号はこれ以上増やせません");
        }
        connection_->execute(
            BuildFavoriteInsertStatement(maxSerial_ + 1, favorite.url, favorite.name));
        ++maxSerial_;
        registered_->add(favorite.url);
        unsaved_ = true;
    }

    void save() {
        if (unsaved_) {
            try {
                if (c_.options.save) {
                    c_.options.save(connection_->workbook(), path_);
                } else {
                    WriteXlsFile(connection_->workbook(), path_);
                }
            } catch (...) {
                saveFailed_ = true;
                restore();
                throw;
            }
            unsaved_ = false;
        }
        lastSave_ = now_();
        remember();
    }

    // After a failure: saves what is done, unless saving is what failed.
    void keepWhatIsDone() {
        if (saveFailed_ || !connection_) {
            return;
        }
        try {
            save();
        } catch (const std::exception&) {
            // The counts are those of the last save; the first failure is reported.
        }
    }

    void remember() {
        saved_ = {c_.favorites.RegisteredCount, c_.favorites.ExistingCount, c_.counters};
    }

    void restore() {
        c_.favorites.RegisteredCount = saved_.registered;
        c_.favorites.ExistingCount = saved_.existing;
        c_.counters = saved_.counters;
    }

    ImportContext& c_;
    std::filesystem::path path_;
    std::function<std::chrono::steady_clock::time_point()> now_;
    std::unique_ptr<DataFileLock> lock_;
    std::unique_ptr<Connection> connection_;
    std::unique_ptr<RegisteredUrls> registered_;
    std::int32_t maxSerial_ = 0;
    bool unsaved_ = false;
    bool saveFailed_ = false;
    std::chrono::steady_clock::time_point lastSave_;
    SavedCounts saved_;
};

} // namespace

std::optional<Favorite> ReadFavoriteFile(const std::filesystem::path& path,
                                         ShortcutCounters& counters) {
    std::u16string target = GetShortcutTarget(path, counters);
    if (target.empty()) {
        return std::nullopt;
    }
    return Favorite{std::move(target), ShortcutTitle(path)};
}

void ResetImportCounts(FavoritesState& favorites, ShortcutCounters& counters) {
    counters = ShortcutCounters{};
    favorites.RegisteredCount = 0;
    favorites.ExistingCount = 0;
}

ImportOutcome RunFavoritesImport(ImportContext& context, const std::filesystem::path& folder) {
    ImportOutcome outcome;
    std::vector<std::filesystem::path> files;
    try {
        files = FindFiles(folder, u"*.url");
    } catch (const std::exception& e) {
        outcome.failure = e.what();
        return outcome;
    }
    outcome.found = static_cast<std::int32_t>(
        std::min<size_t>(files.size(), std::numeric_limits<std::int32_t>::max()));
    context.favorites.ImportCancelRequested = false;
    if (!files.empty()) {
        ImportRun(context).importAll(files, outcome);
    }
    return outcome;
}

} // namespace tomorine
