#include "biff_stream_builder.h"

#include "store/xls/biff_records.h"

#include <bit>

namespace tomorine::test {

void PutU16(Bytes& out, unsigned value) {
    out.push_back(static_cast<std::uint8_t>(value));
    out.push_back(static_cast<std::uint8_t>(value >> 8));
}

void PutU32(Bytes& out, std::uint32_t value) {
    PutU16(out, value & 0xFFFF);
    PutU16(out, value >> 16);
}

void PutDouble(Bytes& out, double value) {
    const auto bits = std::bit_cast<std::uint64_t>(value);
    PutU32(out, static_cast<std::uint32_t>(bits));
    PutU32(out, static_cast<std::uint32_t>(bits >> 32));
}

Bytes Concat(std::initializer_list<Bytes> parts) {
    Bytes out;
    for (const Bytes& p : parts) {
        out.insert(out.end(), p.begin(), p.end());
    }
    return out;
}

Bytes Record(std::uint16_t id, const Bytes& body) {
    Bytes out;
    PutU16(out, id);
    PutU16(out, static_cast<unsigned>(body.size()));
    out.insert(out.end(), body.begin(), body.end());
    return out;
}

Bytes UnicodeString(std::u16string_view text, int lengthBytes) {
    Bytes out;
    if (lengthBytes == 1) {
        out.push_back(static_cast<std::uint8_t>(text.size()));
    } else {
        PutU16(out, static_cast<unsigned>(text.size()));
    }
    bool wide = false;
    for (char16_t c : text) {
        wide = wide || c > 0xFF;
    }
    out.push_back(wide ? 1 : 0);
    for (char16_t c : text) {
        if (wide) {
            PutU16(out, c);
        } else {
            out.push_back(static_cast<std::uint8_t>(c));
        }
    }
    return out;
}

namespace {

Bytes CellHead(std::uint16_t row, std::uint16_t column) {
    Bytes out;
    PutU16(out, row);
    PutU16(out, column);
    PutU16(out, 0); // XF
    return out;
}

Bytes Bof(std::uint16_t type) {
    Bytes body;
    PutU16(body, biff::Biff8Version);
    PutU16(body, type);
    PutU16(body, 0x0DBB); // build
    PutU16(body, 1997);   // year
    PutU32(body, 0);
    PutU32(body, 0x00000006);
    return Record(biff::Bof, body);
}

} // namespace

Bytes NumberCell(std::uint16_t row, std::uint16_t column, double value) {
    Bytes body = CellHead(row, column);
    PutDouble(body, value);
    return Record(biff::Number, body);
}

Bytes RkCell(std::uint16_t row, std::uint16_t column, std::uint32_t rk) {
    Bytes body = CellHead(row, column);
    PutU32(body, rk);
    return Record(biff::Rk, body);
}

Bytes LabelSstCell(std::uint16_t row, std::uint16_t column, std::uint32_t index) {
    Bytes body = CellHead(row, column);
    PutU32(body, index);
    return Record(biff::LabelSst, body);
}

Bytes LabelCell(std::uint16_t row, std::uint16_t column, std::u16string_view text) {
    return Record(biff::Label, Concat({CellHead(row, column), UnicodeString(text)}));
}

Bytes BoolErrCell(std::uint16_t row, std::uint16_t column, std::uint8_t value, bool isError) {
    Bytes body = CellHead(row, column);
    body.push_back(value);
    body.push_back(isError ? 1 : 0);
    return Record(biff::BoolErr, body);
}

Bytes FormulaCell(std::uint16_t row, std::uint16_t column,
                  const std::array<std::uint8_t, 8>& result) {
    Bytes body = CellHead(row, column);
    body.insert(body.end(), result.begin(), result.end());
    PutU16(body, 0); // flags
    PutU32(body, 0); // chn
    PutU16(body, 3); // formula: ptgInt 1
    body.insert(body.end(), {0x1E, 0x01, 0x00});
    return Record(biff::Formula, body);
}

Bytes StringRecord(std::u16string_view text) {
    return Record(biff::String, UnicodeString(text));
}

Bytes SstRecords(std::uint32_t uniqueCount, const std::vector<Bytes>& pieces) {
    Bytes first;
    PutU32(first, uniqueCount);
    PutU32(first, uniqueCount);
    Bytes out;
    for (std::size_t i = 0; i < pieces.size(); ++i) {
        if (i == 0) {
            first.insert(first.end(), pieces[0].begin(), pieces[0].end());
            out = Record(biff::Sst, first);
        } else {
            const Bytes r = Record(biff::Continue, pieces[i]);
            out.insert(out.end(), r.begin(), r.end());
        }
    }
    return pieces.empty() ? Record(biff::Sst, first) : out;
}

Bytes SstRecordsSplit(const std::vector<std::u16string>& strings) {
    constexpr std::size_t kMax = biff::MaxRecordData;
    std::vector<Bytes> pieces{{}};
    Bytes counts;
    PutU32(counts, static_cast<std::uint32_t>(strings.size()));
    PutU32(counts, static_cast<std::uint32_t>(strings.size()));
    std::size_t room = kMax - counts.size();
    auto put = [&](std::uint8_t b) {
        pieces.back().push_back(b);
        --room;
    };
    for (const std::u16string& s : strings) {
        bool wide = false;
        for (char16_t c : s) {
            wide = wide || c > 0xFF;
        }
        if (room < 4) { // the header and at least one character
            pieces.emplace_back();
            room = kMax;
        }
        put(static_cast<std::uint8_t>(s.size()));
        put(static_cast<std::uint8_t>(s.size() >> 8));
        put(wide ? 1 : 0);
        for (char16_t c : s) {
            if (room < (wide ? 2u : 1u)) {
                pieces.emplace_back();
                room = kMax;
                put(wide ? 1 : 0);
            }
            put(static_cast<std::uint8_t>(c));
            if (wide) {
                put(static_cast<std::uint8_t>(c >> 8));
            }
        }
    }
    return SstRecords(static_cast<std::uint32_t>(strings.size()), pieces);
}

Bytes WorkbookStream(const std::vector<Bytes>& globals, const std::vector<TestSheet>& sheets) {
    Bytes head = Bof(biff::WorkbookGlobals);
    for (const Bytes& g : globals) {
        head.insert(head.end(), g.begin(), g.end());
    }
    Bytes xf(20, 0);
    xf[4] = 0xF5; // a style XF
    xf[5] = 0xFF;
    head = Concat({head, Record(biff::Xf, xf)});

    std::vector<Bytes> boundSheets;
    std::size_t boundSize = 0;
    for (const TestSheet& s : sheets) {
        boundSize += 4 + 6 + UnicodeString(s.name, 1).size();
    }
    std::size_t offset = head.size() + boundSize + 4; // after the globals' EOF
    Bytes substreams;
    for (const TestSheet& s : sheets) {
        Bytes body;
        PutU32(body, static_cast<std::uint32_t>(offset));
        body.push_back(0); // visible
        body.push_back(s.type);
        const Bytes name = UnicodeString(s.name, 1);
        body.insert(body.end(), name.begin(), name.end());
        head = Concat({head, Record(biff::BoundSheet, body)});
        Bytes sub = Bof(s.type == 2 ? biff::Chart : biff::Worksheet);
        for (const Bytes& r : s.records) {
            sub.insert(sub.end(), r.begin(), r.end());
        }
        sub = Concat({sub, Record(biff::Eof, {})});
        offset += sub.size();
        substreams.insert(substreams.end(), sub.begin(), sub.end());
    }
    return Concat({head, Record(biff::Eof, {}), substreams});
}

Bytes XlsFile(const Bytes& stream, const CfbLayout& layout) {
    return BuildCompoundFile({{u"Workbook", stream}}, layout);
}

} // namespace tomorine::test
