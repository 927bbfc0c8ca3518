#pragma once

#include "favorites/favorites_import.h"

#include <cstdint>
#include <filesystem>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <string_view>

namespace tomorine {

class Connection;
class DataFileLock;
class RegisteredUrls;
struct StoreState;

// What the Favorites and the browser bookmarks imports share: the data
// workbook read once under the data file's lock, new entries inserted under
// the next serials, and atomic saves at most once a saveInterval, at the end
// and on a stop or failure. A subclass imports one item at a time and keeps
// its own counts; it hands them over to be remembered at each save and put
// back after a failed one, so that they always describe what the data file
// holds.
class ImportRun {
public:
    ImportRun(StoreState& store, const ImportOptions& options);
    virtual ~ImportRun();
    ImportRun(const ImportRun&) = delete;
    ImportRun& operator=(const ImportRun&) = delete;

    // Imports items 0 to count - 1, showing the progress after each and
    // reading `stopRequested` after the events are processed. A failure is
    // stored in `failure`, not thrown.
    void run(int count, const std::function<void(int percent)>& setProgress,
             const std::function<void()>& processEvents, const bool& stopRequested, bool& stopped,
             std::optional<WorkbookError>& failure);

protected:
    virtual void importItem(int index) = 0;
    virtual void rememberCounts() = 0;
    virtual void restoreCounts() = 0;

    bool isRegistered(std::u16string_view url) const;
    // Inserts the statement made for the next serial and registers its URL.
    void insert(std::u16string_view url,
                const std::function<std::u16string(std::int32_t serial)>& statement);

private:
    void open();
    void save();
    void keepWhatIsDone();

    StoreState& store_;
    const ImportOptions& options_;
    std::filesystem::path path_;
    std::function<std::chrono::steady_clock::time_point()> now_;
    std::unique_ptr<DataFileLock> lock_;
    std::unique_ptr<Connection> connection_;
    std::unique_ptr<RegisteredUrls> registered_;
    std::int32_t maxSerial_ = 0;
    bool unsaved_ = false;
    bool saveFailed_ = false;
    std::chrono::steady_clock::time_point lastSave_;
};

} // namespace tomorine
