#include "merge/conflict_copies.h"

#include "store/workbook/workbook_error.h"

#include <algorithm>
#include <cerrno>
#include <regex>
#include <system_error>

namespace tomorine {

namespace {

namespace fs = std::filesystem;

// What each tool puts between the data file's stem and its extension.
const std::regex& MarkOf(SyncTool tool) {
    static const std::regex syncthing(R"(\.sync-conflict-\d{8}-\d{6}-[A-Z0-9]{7})");
    static const std::regex nextcloud(R"( \(conflicted copy \d{4}-\d{2}-\d{2} \d{6}\))");
    // The device name is the user's own; the apostrophe may be typographic.
    static const std::regex dropbox(
        "( \\([^()/]+(?:'|\xE2\x80\x99)s conflicted copy \\d{4}-\\d{2}-\\d{2}\\))( \\(\\d+\\))?");
    switch (tool) {
    case SyncTool::Syncthing:
        return syncthing;
    case SyncTool::Nextcloud:
        return nextcloud;
    default:
        return dropbox;
    }
}

} // namespace

std::optional<SyncTool> ConflictCopyKind(std::string_view dataFileName,
                                         std::string_view candidate) {
    const std::size_t dot = dataFileName.rfind('.');
    const std::string_view stem =
        dot == std::string_view::npos || dot == 0 ? dataFileName : dataFileName.substr(0, dot);
    const std::string_view extension = dataFileName.substr(stem.size());
    if (candidate.size() <= dataFileName.size() || !candidate.starts_with(stem) ||
        !candidate.ends_with(extension)) {
        return std::nullopt;
    }
    const std::string middle(
        candidate.substr(stem.size(), candidate.size() - stem.size() - extension.size()));
    for (SyncTool tool : {SyncTool::Syncthing, SyncTool::Nextcloud, SyncTool::Dropbox}) {
        if (std::regex_match(middle, MarkOf(tool))) {
            return tool;
        }
    }
    return std::nullopt;
}

std::vector<fs::path> FindConflictCopies(const fs::path& dataFile) {
    const fs::path folder = dataFile.parent_path().empty() ? fs::path(".") : dataFile.parent_path();
    const std::string name = dataFile.filename().string();
    std::vector<fs::path> copies;
    std::error_code error;
    fs::directory_iterator it(folder, error);
    for (; !error && it != fs::directory_iterator(); it.increment(error)) {
        const std::string candidate = it->path().filename().string();
        std::error_code ignored;
        // Anything but a folder is offered, so a pipe or a device in a copy's
        // name is named with the reader's refusal rather than passed over.
        if (ConflictCopyKind(name, candidate) && !it->is_directory(ignored)) {
            copies.push_back(it->path());
        }
    }
    if (error) {
        throw FileError(error.value(), "読み込み", folder);
    }
    std::sort(copies.begin(), copies.end());
    return copies;
}

} // namespace tomorine
