#include "biff_stream_builder.h"

#include "store/xls/biff_records.h"
#include "store/xls/compound_file_writer.h"

#include <algorithm>
#include <bit>

namespace tomorine::test {

Bytes U16(unsigned value) {
    return {static_cast<std::uint8_t>(value), static_cast<std::uint8_t>(value >> 8)};
}

Bytes U32(std::uint32_t value) {
    return Concat({U16(value & 0xFFFF), U16(value >> 16)});
}

Bytes Concat(std::initializer_list<Bytes> parts) {
    Bytes out;
    for (const Bytes& p : parts) {
        out.insert(out.end(), p.begin(), p.end());
    }
    return out;
}

Bytes Record(std::uint16_t id, const Bytes& body) {
    return Concat({U16(id), U16(static_cast<unsigned>(body.size())), body});
}

Bytes UnicodeString(std::u16string_view text, int lengthBytes) {
    const bool wide = std::any_of(text.begin(), text.end(), [](char16_t c) { return c > 0xFF; });
    Bytes out = U16(static_cast<unsigned>(text.size()));
    out.resize(static_cast<std::size_t>(lengthBytes));
    out.push_back(wide ? 1 : 0);
    for (char16_t c : text) {
        const Bytes unit = wide ? U16(c) : Bytes{static_cast<std::uint8_t>(c)};
        out.insert(out.end(), unit.begin(), unit.end());
    }
    return out;
}

Bytes CellRecord(std::uint16_t id, std::uint16_t row, std::uint16_t column, const Bytes& value) {
    return Record(id, Concat({U16(row), U16(column), U16(0), value}));
}

Bytes NumberCell(std::uint16_t row, std::uint16_t column, double value) {
    const auto bits = std::bit_cast<std::uint64_t>(value);
    return CellRecord(biff::Number, row, column,
                      Concat({U32(static_cast<std::uint32_t>(bits)), U32(bits >> 32)}));
}

Bytes FormulaCell(std::uint16_t row, std::uint16_t column, const Bytes& result) {
    // flags, chn, then the formula ptgInt 1
    return CellRecord(biff::Formula, row, column,
                      Concat({result, U16(0), U32(0), U16(3), {0x1E, 0x01, 0x00}}));
}

Bytes SstRecords(std::uint32_t uniqueCount, const std::vector<Bytes>& pieces) {
    Bytes out = Record(biff::Sst, Concat({U32(uniqueCount), U32(uniqueCount), pieces.at(0)}));
    for (std::size_t i = 1; i < pieces.size(); ++i) {
        out = Concat({out, Record(biff::Continue, pieces[i])});
    }
    return out;
}

Bytes WorkbookStream(const std::vector<Bytes>& globals, const std::vector<TestSheet>& sheets) {
    const auto bof = [](std::uint16_t type) { // version, type, build, year, history, lowest version
        return Record(biff::Bof, Concat({U16(biff::Biff8Version), U16(type), U16(0x0DBB), U16(1997),
                                         U32(0), U32(6)}));
    };
    const auto add = [](Bytes& out, const Bytes& part) {
        out.insert(out.end(), part.begin(), part.end());
    };
    Bytes head = bof(biff::WorkbookGlobals);
    for (const Bytes& g : globals) {
        add(head, g);
    }
    add(head, Record(biff::Xf, {0, 0, 0, 0, 0xF5, 0xFF, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0}));
    std::size_t offset = head.size() + 4; // after the globals' EOF
    for (const TestSheet& s : sheets) {
        offset += 4 + 6 + UnicodeString(s.name, 1).size();
    }
    Bytes substreams;
    for (const TestSheet& s : sheets) {
        const auto at = static_cast<std::uint32_t>(offset + substreams.size());
        add(head,
            Record(biff::BoundSheet, Concat({U32(at), {0, s.type}, UnicodeString(s.name, 1)})));
        add(substreams, bof(s.type == 2 ? biff::Chart : biff::Worksheet));
        for (const Bytes& r : s.records) {
            add(substreams, r);
        }
        add(substreams, Record(biff::Eof, {}));
    }
    return Concat({head, Record(biff::Eof, {}), substreams});
}

Bytes XlsFile(const Bytes& stream) {
    Bytes file = Concat({Bytes(cfb::HeaderSize), stream});
    cfb::FinishCompoundFile(file);
    return file;
}

} // namespace tomorine::test
