#pragma once

#include "favorites/favorites_import.h"
#include "store/files/file_bytes.h"
#include "store/files/file_stamp.h"

#include <chrono>
#include <cstdint>
#include <filesystem>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace tomorine {

class Connection;
class RegisteredUrls;
struct StoreState;

// What the Favorites and the browser bookmarks imports share: the data
// workbook read once and kept in memory, new entries inserted under the next
// serials, and atomic saves at most once a saveInterval, at the end and on a
// stop or failure. The data file's lock is taken only to read and to save, so
// that other writers wait at most one save; when one of them changed the file
// meanwhile, the save reads it again and inserts the entries not saved yet
// anew, an entry whose URL it registered meanwhile counted as existing. A
// subclass imports one item at a time and keeps its own counts; it hands them
// over to be remembered at each save and put back after a failed one, so that
// they always describe what the data file holds.
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
    // Item `index` was inserted, but another writer registered its URL first.
    virtual void registeredMeanwhile(int index) = 0;

    bool isRegistered(std::u16string_view url) const;
    // Inserts an entry of the 56 chunk texts under the next serial and
    // registers its URL; until the next save it may move to another serial.
    void insert(std::u16string_view url, const std::vector<std::u16string>& chunks);

private:
    // An entry inserted since the last save: its texts are on the sheet, and
    // taken from there should the file have to be read again.
    struct Pending {
        int index;
        int row;
    };

    void open();
    void holdFile();
    void read();
    void takeBook();
    void insertNow(int index, std::u16string_view url, const std::vector<std::u16string>& chunks);
    void readAgainWithPending();
    void save(bool last = false);
    void keepWhatIsDone();

    StoreState& store_;
    const ImportOptions& options_;
    std::filesystem::path path_;
    std::function<std::chrono::steady_clock::time_point()> now_;
    // The workbook as read, which the cache shares until the first insert
    // takes it for this run alone; the last save gives it back.
    std::shared_ptr<const Workbook> read_;
    std::shared_ptr<Workbook> book_;
    std::unique_ptr<Connection> connection_;
    std::unique_ptr<RegisteredUrls> registered_;
    std::int32_t maxSerial_ = 0;
    int current_ = 0; // the item being imported
    std::vector<Pending> pending_;
    // The file as read or last saved, held open so that its inode number
    // cannot pass to a file another writer puts in its place.
    std::optional<FileStamp> stamp_;
    std::optional<ReadOnlyFile> held_;
    bool saveFailed_ = false;
    std::chrono::steady_clock::time_point lastSave_;
};

} // namespace tomorine
