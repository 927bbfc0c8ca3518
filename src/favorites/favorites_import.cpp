#include "favorites/favorites_import.h"

#include "browser/dropped_data.h"
#include "favorites/favorite_chunks.h"
#include "favorites/find_files.h"
#include "favorites/import_run.h"
#include "store/data_connection.h"
#include "store/link_scheme.h"

#include <limits>

namespace tomorine {

namespace {

class FavoritesRun : public ImportRun {
public:
    FavoritesRun(ImportContext& context, const std::vector<std::filesystem::path>& files)
        : ImportRun(context.store, context.options), c_(context), files_(files) {}

private:
    void importItem(int index) override {
        const std::filesystem::path& file = files_[static_cast<size_t>(index)];
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
        if (!HasLinkScheme(favorite->url)) {
            ++c_.favorites.skippedCount;
            return;
        }
        if (isRegistered(favorite->url)) {
            ++c_.favorites.existingCount;
            return;
        }
        insert(favorite->url, FavoriteChunks(favorite->url, favorite->name));
        ++c_.favorites.registeredCount;
    }

    void registeredMeanwhile(int) override {
        --c_.favorites.registeredCount;
        ++c_.favorites.existingCount;
    }

    void rememberCounts() override {
        saved_ = {c_.favorites.registeredCount, c_.favorites.existingCount, c_.counters};
    }

    void restoreCounts() override {
        c_.favorites.registeredCount = saved_.registered;
        c_.favorites.existingCount = saved_.existing;
        c_.counters = saved_.counters;
    }

    // The counts as of the last save.
    struct SavedCounts {
        std::int32_t registered = 0;
        std::int32_t existing = 0;
        ShortcutCounters counters;
    };

    ImportContext& c_;
    const std::vector<std::filesystem::path>& files_;
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
    favorites.registeredCount = 0;
    favorites.existingCount = 0;
    favorites.skippedCount = 0;
}

ImportOutcome RunFavoritesImport(ImportContext& context, const std::filesystem::path& folder) {
    ImportOutcome outcome;
    std::vector<std::filesystem::path> files;
    try {
        FoundFiles found = FindFiles(folder, u"*.url");
        files = std::move(found.files);
        outcome.unreadableFolders = found.unreadableFolders;
    } catch (const std::exception& e) {
        outcome.failure = AsWorkbookError(e);
        return outcome;
    }
    outcome.found = static_cast<std::int32_t>(
        std::min<size_t>(files.size(), std::numeric_limits<std::int32_t>::max()));
    context.favorites.importCancelRequested = false;
    if (!files.empty()) {
        FavoritesRun(context, files)
            .run(static_cast<int>(files.size()), context.ui.setProgress, context.ui.processEvents,
                 context.favorites.importCancelRequested, outcome.stopped, outcome.failure);
    }
    return outcome;
}

} // namespace tomorine
