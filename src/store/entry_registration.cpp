#include "store/entry_registration.h"

#include "store/data_connection.h"
#include "store/data_file_change.h"

namespace tomorine {

std::int32_t RegisterEntry(const std::filesystem::path& dataFile, const Entry& entry) {
    std::int32_t serial = 0;
    ChangeDataFileByConnection(dataFile, [&](Connection& connection) {
        serial = NextSerial(connection);
        InsertEntry(connection, serial, ChunkValues(entry));
    });
    return serial;
}

} // namespace tomorine
