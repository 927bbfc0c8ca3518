// The .xls reader under arbitrary bytes: a WorkbookError or a workbook,
// never a crash, a hang or an allocation beyond the input's size. What it
// reads must also write, and what we write must read again.
#include "store/workbook/workbook_error.h"
#include "store/xls/xls_file.h"

#include <cstdint>
#include <cstdlib>
#include <span>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    using namespace tomorine;
    Workbook book;
    try {
        book = ReadXlsBytes(std::span(data, size), "fuzz.xls");
    } catch (const WorkbookError&) {
        return 0;
    }
    std::vector<std::uint8_t> written;
    try {
        written = WriteXlsBytes(book);
    } catch (const WorkbookError&) {
        return 0; // a workbook we cannot write (no worksheet, say) is refused cleanly
    }
    try {
        const Workbook again = ReadXlsBytes(written, "written.xls");
        if (again.sheetCount() != book.sheetCount()) {
            std::abort();
        }
    } catch (const WorkbookError&) {
        std::abort(); // our own file must read
    }
    return 0;
}
