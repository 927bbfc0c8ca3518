#include "store/files/hard_links.h"

#include "store/workbook/workbook_error.h"

#include <sys/stat.h>

namespace tomorine {

std::optional<std::string> HardLinkNotice(const std::filesystem::path& dataFile) {
    struct stat info {};
    if (::stat(dataFile.c_str(), &info) != 0 || !S_ISREG(info.st_mode) || info.st_nlink < 2) {
        return std::nullopt;
    }
    return QuotedPath(dataFile) + " にはほかの名前（ハードリンク）が " +
           std::to_string(info.st_nlink - 1) +
           " つあります。保存するとこの名前のファイルだけが新しくなり、ほかの名前には保存前の" +
           "内容が別のファイルとして残ります";
}

} // namespace tomorine
