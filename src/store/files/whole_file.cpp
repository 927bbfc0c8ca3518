#include "store/files/whole_file.h"

#include "store/files/file_bytes.h"
#include "store/workbook/workbook_error.h"

namespace tomorine {

ReadStatus ReadWholeFile(const std::filesystem::path& path, std::string& bytes,
                         std::uint64_t maxBytes, std::string* error) {
    bytes.clear();
    try {
        const FileBytes content = ReadFileBytes(path, maxBytes);
        bytes.assign(content.begin(), content.end());
        return ReadStatus::Read;
    } catch (const WorkbookError& e) {
        if (e.fault() == WorkbookFault::FileNotFound || e.fault() == WorkbookFault::PathNotFound) {
            return ReadStatus::Missing;
        }
        if (error != nullptr) {
            *error = e.description();
        }
        return ReadStatus::Failed;
    }
}

bool IsRegularFile(const std::filesystem::path& path) {
    std::error_code ec;
    return std::filesystem::is_regular_file(path, ec);
}

} // namespace tomorine
