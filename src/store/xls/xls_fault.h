#pragma once

#include "store/workbook/workbook_error.h"

#include <filesystem>
#include <stdexcept>
#include <string>

namespace tomorine::xls {

// Why a file could not be read. The parts of the reader do not know the
// file's name; ReadXlsBytes turns a fault into a WorkbookError that names it.
enum class FaultKind {
    NotWorkbook, // not a compound file, no workbook stream, no BOF
    TooOld,      // BIFF5 and older (Excel 95 and before)
    Encrypted,   // FILEPASS
    Truncated,   // data the file promises is missing at its end
    Corrupt,     // loops, indexes out of range, records that contradict each other
};

class XlsFault : public std::runtime_error {
public:
    XlsFault(FaultKind kind, const std::string& detail) : std::runtime_error(detail), kind_(kind) {}
    FaultKind kind() const { return kind_; }

private:
    FaultKind kind_;
};

[[noreturn]] void Fail(FaultKind kind, const std::string& detail);

// "0x00FC" for record ids in details.
std::string Hex16(unsigned value);

WorkbookError ToWorkbookError(const XlsFault& fault, const std::filesystem::path& name);

} // namespace tomorine::xls
