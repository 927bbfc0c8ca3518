#include "store/files/whole_file.h"

#include "store/files/file_bytes.h"
#include "store/workbook/workbook_error.h"

namespace tomorine {

ReadStatus ReadWholeFile(const std::filesystem::path& path, std::string& bytes) {
    bytes.clear();
    try {
        std::vector<std::uint8_t> content = ReadFileBytes(path);
        bytes.assign(content.begin(), content.end());
        return ReadStatus::Read;
    } catch (const WorkbookError& e) {
        return e.number() == ErrorNumber::FileNotFound || e.number() == ErrorNumber::PathNotFound
                   ? ReadStatus::Missing
                   : ReadStatus::Failed;
    }
}

bool IsRegularFile(const std::filesystem::path& path) {
    std::error_code ec;
    return std::filesystem::is_regular_file(path, ec);
}

} // namespace tomorine
