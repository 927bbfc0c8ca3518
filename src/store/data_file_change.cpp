#include "store/data_file_change.h"

#include "store/cache/workbook_cache.h"
#include "store/files/data_file_lock.h"
#include "store/xls/xls_file.h"

#include <memory>

namespace tomorine {

bool ChangeDataWorkbook(const std::filesystem::path& dataFile,
                        const std::function<bool(Workbook&)>& change) {
    DataFileLock lock(dataFile);
    WorkbookCache& cache = DataWorkbookCache();
    std::shared_ptr<Workbook> book = cache.takeForChange(dataFile);
    const bool save = change(*book);
    if (save) {
        WriteXlsFile(*book, dataFile);
    }
    cache.keepSaved(dataFile, std::move(book));
    return save;
}

bool ChangeDataFileByConnection(const std::filesystem::path& dataFile,
                                const std::function<void(Connection&)>& run) {
    DataFileLock lock(dataFile);
    WorkbookCache& cache = DataWorkbookCache();
    std::shared_ptr<Workbook> book = cache.takeForChange(dataFile);
    Connection connection(dataFile, book);
    run(connection);
    const bool save = connection.changed();
    // A connection that handed out rows in place writes on a copy of its own.
    const bool inPlace = &connection.workbook() == book.get();
    connection.close();
    if (inPlace) {
        cache.keepSaved(dataFile, std::move(book));
    }
    return save;
}

} // namespace tomorine
