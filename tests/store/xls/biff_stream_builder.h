#pragma once

#include "compound_file_builder.h"

#include <array>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace tomorine::test {

using Bytes = std::vector<std::uint8_t>;

void PutU16(Bytes& out, unsigned value);
void PutU32(Bytes& out, std::uint32_t value);
void PutDouble(Bytes& out, double value);
Bytes Concat(std::initializer_list<Bytes> parts);

// A record: id, length, body.
Bytes Record(std::uint16_t id, const Bytes& body);
// A BIFF8 unicode string: length (1 or 2 bytes), flags, characters, 8-bit
// when every character fits.
Bytes UnicodeString(std::u16string_view text, int lengthBytes = 2);

Bytes NumberCell(std::uint16_t row, std::uint16_t column, double value);
Bytes RkCell(std::uint16_t row, std::uint16_t column, std::uint32_t rk);
Bytes LabelSstCell(std::uint16_t row, std::uint16_t column, std::uint32_t index);
Bytes LabelCell(std::uint16_t row, std::uint16_t column, std::u16string_view text);
Bytes BoolErrCell(std::uint16_t row, std::uint16_t column, std::uint8_t value, bool isError);
// A FORMULA record with an 8-byte cached result and a one-token formula.
Bytes FormulaCell(std::uint16_t row, std::uint16_t column,
                  const std::array<std::uint8_t, 8>& result);
Bytes StringRecord(std::u16string_view text);
// An SST record and the CONTINUE records after it, cut where the caller says:
// `pieces` are the bodies; the first starts after the 8-byte counts.
Bytes SstRecords(std::uint32_t uniqueCount, const std::vector<Bytes>& pieces);

// An SST record and its CONTINUE records as Excel writes them: records of at
// most 8224 bytes; a string header never split; characters going on in the
// next record after a flags byte.
Bytes SstRecordsSplit(const std::vector<std::u16string>& strings);

struct TestSheet {
    std::u16string name;
    std::vector<Bytes> records; // between the sheet's BOF and EOF
    std::uint8_t type = 0;      // BOUNDSHEET type: 0 worksheet, 2 chart
};

// A BIFF8 workbook stream: BOF, `globals` records, an XF, the BOUNDSHEETs
// with their true offsets, EOF, then each sheet's BOF, records and EOF.
Bytes WorkbookStream(const std::vector<Bytes>& globals, const std::vector<TestSheet>& sheets);
// The stream as "Workbook" in a compound file.
Bytes XlsFile(const Bytes& stream, const CfbLayout& layout = {});

} // namespace tomorine::test
