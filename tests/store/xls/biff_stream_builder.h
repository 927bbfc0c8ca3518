#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace tomorine::test {

using Bytes = std::vector<std::uint8_t>;

Bytes U16(unsigned value); // little-endian
Bytes U32(std::uint32_t value);
Bytes Concat(std::initializer_list<Bytes> parts);

Bytes Record(std::uint16_t id, const Bytes& body);
// Length (1 or 2 bytes), flags, characters: 8-bit when every one fits.
Bytes UnicodeString(std::u16string_view text, int lengthBytes = 2);
// Row, column, XF 0, then `value`.
Bytes CellRecord(std::uint16_t id, std::uint16_t row, std::uint16_t column, const Bytes& value);
Bytes NumberCell(std::uint16_t row, std::uint16_t column, double value);
// A FORMULA record with an 8-byte cached result and a one-token formula.
Bytes FormulaCell(std::uint16_t row, std::uint16_t column, const Bytes& result);
// SST and CONTINUE records with these bodies, the first after the SST's counts.
Bytes SstRecords(std::uint32_t uniqueCount, const std::vector<Bytes>& pieces);

struct TestSheet {
    std::u16string name;
    std::vector<Bytes> records; // between the sheet's BOF and EOF
    std::uint8_t type = 0;      // BOUNDSHEET type: 0 worksheet, 2 chart
};

// The first BOUNDSHEET's offset when there are no other globals: BOF 20, XF 24.
inline constexpr std::size_t kFirstBoundSheet = 44;

// A BIFF8 workbook stream: BOF, `globals` records, an XF, the BOUNDSHEETs
// with their true offsets, EOF, then each sheet's BOF, records and EOF.
Bytes WorkbookStream(const std::vector<Bytes>& globals, const std::vector<TestSheet>& sheets);
// The stream in a compound file made by our writer: the stream (at least
// 4096 bytes) from sector 0, then DIFAT, FAT and one directory sector.
Bytes XlsFile(const Bytes& stream);

} // namespace tomorine::test
