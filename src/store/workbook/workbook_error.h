#pragma once

#include <filesystem>
#include <stdexcept>
#include <string>

namespace tomorine {

// What failed, for the few callers that act on it; the description says it
// to the user.
enum class WorkbookFault {
    SheetNotFound,
    FileNotFound,
    DiskFull,
    PermissionDenied,
    FileAccess,   // any other I/O failure
    PathNotFound, // folder missing
    SheetRule,    // sheet name taken, invalid, sheet full
    NoCurrentRecord,
    Encrypted,
    FieldNotFound,
    NotAWorkbook, // not a workbook, too old, corrupt
    PathRefused,  // the file system refuses the path (too long, invalid)
    NotShortcut,  // not a shortcut file: other name, too big, binary
    NoShortcutTarget,
};

// The one error type of the engines. The description is UTF-8, user-facing
// Japanese, and names the file, sheet or column concerned.
class WorkbookError : public std::runtime_error {
public:
    WorkbookError(WorkbookFault fault, const std::string& description);

    WorkbookFault fault() const { return fault_; }
    const char* description() const { return what(); }

private:
    WorkbookFault fault_;
};

// `error` itself when it is a WorkbookError, else its description as a
// FileAccess fault: for outcomes that carry what ended the work early.
WorkbookError AsWorkbookError(const std::exception& error);

// "「path」" as descriptions quote a file.
std::string QuotedPath(const std::filesystem::path& path);

// Maps an errno value of a failed file operation to a WorkbookError whose
// description says what was done to which file.
WorkbookError FileError(int errnoValue, const std::string& action,
                        const std::filesystem::path& path);

} // namespace tomorine
