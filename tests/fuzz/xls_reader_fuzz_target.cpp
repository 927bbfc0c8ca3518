// The .xls reader under arbitrary bytes: a WorkbookError or a workbook,
// never a crash, a hang or an allocation beyond the input's size. What it
// reads must also write (or be refused cleanly: no worksheet, say), and what
// we write must read again.
#include "fuzz_target.h"
#include "store/xls/xls_file.h"

FUZZ_TARGET(data, bytes) {
    using namespace tomorine;
    const Workbook book = ReadXlsBytes(data, "fuzz.xls");
    const std::vector<std::uint8_t> written = WriteXlsBytes(book);
    try {
        FUZZ_EXPECT(ReadXlsBytes(written, "written.xls").sheetCount() == book.sheetCount());
    } catch (const WorkbookError&) {
        std::abort(); // our own file must read
    }
}
