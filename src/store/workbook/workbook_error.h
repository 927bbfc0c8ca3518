#pragma once

#include <filesystem>
#include <stdexcept>
#include <string>

namespace tomorine {

// Error numbers follow the components the program was designed against, so
// that callers can test them as the design does (9, 3265, 32755 ...).
namespace ErrorNumber {
inline constexpr int SubscriptOutOfRange = 9; // sheet name not in the workbook
inline constexpr int FileNotFound = 53;
inline constexpr int DiskFull = 61;
inline constexpr int PermissionDenied = 70;
inline constexpr int FileAccess = 75;        // any other I/O failure
inline constexpr int PathNotFound = 76;      // folder missing
inline constexpr int SheetRule = 1004;       // sheet name taken, invalid, sheet full
inline constexpr int NoCurrentRecord = 3021; // BOF or EOF when a field is read
inline constexpr int Encrypted = 3031;
inline constexpr int ItemNotFound = 3265;        // field name not in the recordset
inline constexpr int NotInExpectedFormat = 3274; // not a workbook, too old, corrupt
inline constexpr int Statement = -2147217900;    // statement rejected by the table interface
inline constexpr int Cancelled = 32755;          // file chooser cancelled
} // namespace ErrorNumber

// The one error type of the workbook engine. The description is UTF-8,
// user-facing Japanese, and names the file, sheet or column concerned.
class WorkbookError : public std::runtime_error {
public:
    WorkbookError(int number, const std::string& description);

    int number() const { return number_; }
    const char* description() const { return what(); }

private:
    int number_;
};

// "「path」" as descriptions quote a file.
std::string QuotedPath(const std::filesystem::path& path);

// Maps an errno value of a failed file operation to a WorkbookError whose
// description says what was done to which file.
WorkbookError FileError(int errnoValue, const std::string& action,
                        const std::filesystem::path& path);

} // namespace tomorine
