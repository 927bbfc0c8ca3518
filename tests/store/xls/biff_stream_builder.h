#pragma once

#include "store/files/file_bytes.h"
#include "store/xls/biff_records.h"
#include "store/xls/compound_file_writer.h"
#include "store/xls/le_bytes.h"
#include "store/xls/xls_source_reader.h"

#include <bit>
#include <cstdint>
#include <string>
#include <vector>

// BIFF8 workbooks built record by record, for what no real file holds, and read page by page.
namespace tomorine::test {

using Bytes = std::vector<std::uint8_t>;

inline Bytes Concat(std::initializer_list<Bytes> parts) {
    Bytes out;
    for (const Bytes& p : parts) {
        le::PutBytes(out, p);
    }
    return out;
}

inline Bytes U16(unsigned v) {
    return {static_cast<std::uint8_t>(v), static_cast<std::uint8_t>(v >> 8)};
}

inline Bytes U32(std::uint32_t v) {
    return Concat({U16(v & 0xFFFF), U16(v >> 16)});
}

inline Bytes Record(std::uint16_t id, const Bytes& body) {
    return Concat({U16(id), U16(static_cast<unsigned>(body.size())), body});
}

inline Bytes CellRecord(std::uint16_t id, std::uint16_t row, std::uint16_t column,
                        const Bytes& value) {
    return Record(id, Concat({U16(row), U16(column), U16(0), value})); // XF 0
}

inline Bytes NumberCell(std::uint16_t row, std::uint16_t column, double value) {
    const auto bits = std::bit_cast<std::uint64_t>(value);
    return CellRecord(biff::Number, row, column, Concat({U32(bits & 0xFFFFFFFF), U32(bits >> 32)}));
}

// SST and CONTINUE records with these bodies, the first after the SST's counts.
inline Bytes SstRecords(std::uint32_t count, const std::vector<Bytes>& pieces) {
    Bytes out = Record(biff::Sst, Concat({U32(count), U32(count), pieces.at(0)}));
    for (std::size_t i = 1; i < pieces.size(); ++i) {
        le::PutBytes(out, Record(biff::Continue, pieces[i]));
    }
    return out;
}

inline Bytes Bof(std::uint16_t type) { // version, type, build, year, history, lowest version
    return Record(biff::Bof, Concat({U16(biff::Biff8Version), U16(type), U16(0x0DBB), U16(1997),
                                     U32(0), U32(6)}));
}

inline constexpr std::size_t kFirstBoundSheet = 44; // with no other globals: BOF 20, XF 24

// BOF, `globals`, an XF, BOUNDSHEETs (sheets S1, S2 ...), EOF; then each sheet: BOF, records, EOF.
inline Bytes WorkbookStream(const std::vector<Bytes>& globals,
                            const std::vector<std::vector<Bytes>>& sheets) {
    const auto name = [](std::size_t i) { // with its 8-bit length and flags
        const std::string n = "S" + std::to_string(i + 1);
        return Concat({{static_cast<std::uint8_t>(n.size()), 0}, Bytes(n.begin(), n.end())});
    };
    Bytes head = Bof(biff::WorkbookGlobals), substreams;
    for (const Bytes& g : globals) {
        le::PutBytes(head, g);
    }
    le::PutBytes(head, Record(biff::Xf, Concat({Bytes(4), {0xF5, 0xFF}, Bytes(14)})));
    std::size_t offset = head.size() + 4; // after the globals' EOF
    for (std::size_t i = 0; i < sheets.size(); ++i) {
        offset += 10 + name(i).size();
    }
    for (std::size_t i = 0; i < sheets.size(); ++i) {
        const auto at = static_cast<std::uint32_t>(offset + substreams.size());
        le::PutBytes(head, Record(biff::BoundSheet, Concat({U32(at), U16(0), name(i)})));
        le::PutBytes(substreams, Bof(biff::Worksheet));
        for (const Bytes& r : sheets[i]) {
            le::PutBytes(substreams, r);
        }
        le::PutBytes(substreams, Record(biff::Eof, {}));
    }
    return Concat({head, Record(biff::Eof, {}), substreams});
}

// In a compound file by our writer: the stream (4096 bytes or more) from sector 0, then the rest.
inline Bytes XlsFile(const Bytes& stream) {
    Bytes file = Concat({Bytes(cfb::HeaderSize), stream});
    cfb::FinishCompoundFile(file);
    return file;
}

// As ReadXlsFile reads a file, in blocks of a page rather than of 256 kB.
inline Workbook ReadPageByPage(const std::filesystem::path& path, std::size_t* held = nullptr) {
    const ReadOnlyFile fd = OpenFileForReading(path);
    xls::DescriptorSource file(fd.get(), std::filesystem::file_size(path), path);
    return ReadXlsSource(file, path, 4096, held);
}

} // namespace tomorine::test
