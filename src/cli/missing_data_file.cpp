#include "cli/missing_data_file.h"

#include "store/data_workbook.h"
#include "store/messages.h"
#include "store/settings/app_dir.h"
#include "store/settings/path_routines.h"
#include "store/settings/settings_file.h"
#include "store/workbook/workbook_error.h"

#include <stdexcept>

namespace tomorine::cli {

namespace {

// A path as a user types it again: quoted for the shell when it needs it.
std::string ShellWord(const std::string& text) {
    if (!text.empty() && text.find_first_of(" \t'\"\\$`!*?[]{}()<>|&;#~") == std::string::npos) {
        return text;
    }
    std::string quoted = "'";
    for (char c : text) {
        quoted += c == '\'' ? std::string("'\\''") : std::string(1, c);
    }
    return quoted + "'";
}

bool IsDefaultDataFile(const ParsedArgs& args, const std::filesystem::path& dataFile) {
    if (args.dataFile) {
        return false;
    }
    const std::filesystem::path fallback =
        GetAbsolutePath(GetAppDir() + std::string(kDefaultDataFileName));
    return dataFile.lexically_normal() == fallback.lexically_normal();
}

std::string MissingDataFileMessage(const std::filesystem::path& dataFile) {
    return std::string(Messages::NoDataFile) + ": " + QuotedPath(dataFile) +
           "。新しく作るには tomorine-cli create " + ShellWord(dataFile.string());
}

} // namespace

void ProvideDataFileToAdd(const ParsedArgs& args, const std::filesystem::path& dataFile) {
    std::error_code error;
    if (std::filesystem::exists(dataFile, error) || error) {
        return; // whatever is there, the command itself reads and judges
    }
    if (!IsDefaultDataFile(args, dataFile)) {
        throw std::runtime_error(MissingDataFileMessage(dataFile));
    }
    try {
        CreateDataWorkbook(dataFile);
    } catch (const std::exception&) {
        if (!std::filesystem::exists(dataFile, error)) {
            throw;
        }
        // another program made it in the meantime: add to that one
    }
}

} // namespace tomorine::cli
