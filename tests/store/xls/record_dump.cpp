#include "record_dump.h"

#include <cstdio>
#include <cstring>
#include <map>
#include <stdexcept>

namespace tomorine::test {

namespace {

const std::map<std::uint16_t, const char*>& Names() {
    static const std::map<std::uint16_t, const char*> names{
        {0x0809, "BOF"},
        {0x000A, "EOF"},
        {0x00E1, "INTERFACEHDR"},
        {0x00C1, "MMS"},
        {0x00E2, "INTERFACEEND"},
        {0x005C, "WRITEACCESS"},
        {0x0042, "CODEPAGE"},
        {0x0161, "DSF"},
        {0x013D, "TABID"},
        {0x009C, "FNGROUPCOUNT"},
        {0x0019, "WINDOWPROTECT"},
        {0x0012, "PROTECT"},
        {0x0063, "OBJPROTECT"},
        {0x0013, "PASSWORD"},
        {0x01AF, "PROT4REV"},
        {0x01BC, "PROT4REVPASS"},
        {0x0040, "BACKUP"},
        {0x008D, "HIDEOBJ"},
        {0x003D, "WINDOW1"},
        {0x0022, "DATEMODE"},
        {0x000E, "PRECISION"},
        {0x01B7, "REFRESHALL"},
        {0x00DA, "BOOKBOOL"},
        {0x0031, "FONT"},
        {0x041E, "FORMAT"},
        {0x00E0, "XF"},
        {0x0293, "STYLE"},
        {0x0160, "USESELFS"},
        {0x0085, "BOUNDSHEET"},
        {0x00FC, "SST"},
        {0x003C, "CONTINUE"},
        {0x00FF, "EXTSST"},
        {0x000D, "CALCMODE"},
        {0x000C, "CALCCOUNT"},
        {0x000F, "REFMODE"},
        {0x0011, "ITERATION"},
        {0x0010, "DELTA"},
        {0x005F, "SAVERECALC"},
        {0x0080, "GUTS"},
        {0x0225, "DEFAULTROWHEIGHT"},
        {0x0081, "WSBOOL"},
        {0x0200, "DIMENSIONS"},
        {0x002A, "PRINTHEADERS"},
        {0x002B, "PRINTGRIDLINES"},
        {0x0082, "GRIDSET"},
        {0x001B, "HORIZONTALPAGEBREAKS"},
        {0x001A, "VERTICALPAGEBREAKS"},
        {0x0014, "HEADER"},
        {0x0015, "FOOTER"},
        {0x0083, "HCENTER"},
        {0x0084, "VCENTER"},
        {0x0026, "LEFTMARGIN"},
        {0x0027, "RIGHTMARGIN"},
        {0x0028, "TOPMARGIN"},
        {0x0029, "BOTTOMMARGIN"},
        {0x00A1, "SETUP"},
        {0x00DD, "SCENPROTECT"},
        {0x0208, "ROW"},
        {0x00FD, "LABELSST"},
        {0x027E, "RK"},
        {0x00BD, "MULRK"},
        {0x0203, "NUMBER"},
        {0x0205, "BOOLERR"},
        {0x0201, "BLANK"},
        {0x023E, "WINDOW2"},
    };
    return names;
}

std::string Hex(unsigned value, int digits) {
    char text[16];
    std::snprintf(text, sizeof text, "%0*x", digits, value);
    return text;
}

std::string KeyFields(const BiffRecord& r) {
    const std::size_t n = r.body.size();
    auto f16 = [&](const char* name, std::size_t at) {
        return at + 2 <= n ? std::string(" ") + name + "=" + Hex(r.u16(at), 4) : std::string();
    };
    auto d16 = [&](const char* name, std::size_t at) {
        return at + 2 <= n ? std::string(" ") + name + "=" + std::to_string(r.u16(at))
                           : std::string();
    };
    auto d32 = [&](const char* name, std::size_t at) {
        return at + 4 <= n ? std::string(" ") + name + "=" + std::to_string(r.u32(at))
                           : std::string();
    };
    switch (r.id) {
    case 0x0809:
        return f16("version", 0) + f16("type", 2) + f16("build", 4) + d16("year", 6);
    case 0x0042:
        return d16("codepage", 0);
    case 0x0085:
        return d32("offset", 0);
    case 0x00FC:
        return d32("total", 0) + d32("unique", 4);
    case 0x00E0:
        return d16("font", 0) + d16("format", 2) + f16("type", 4);
    case 0x0200:
        return d32("row", 0) + d32("rowEnd", 4) + d16("column", 8) + d16("columnEnd", 10);
    case 0x0208:
        return d16("row", 0) + d16("column", 2) + d16("columnEnd", 4);
    case 0x00FD:
    case 0x027E:
    case 0x0203:
    case 0x0205:
        return d16("row", 0) + d16("column", 2) + d16("xf", 4);
    case 0x023E:
        return f16("options", 0);
    default:
        return "";
    }
}

} // namespace

std::uint16_t BiffRecord::u16(std::size_t at) const {
    return static_cast<std::uint16_t>(body.at(at) | body.at(at + 1) << 8);
}

std::uint32_t BiffRecord::u32(std::size_t at) const {
    return u16(at) | static_cast<std::uint32_t>(u16(at + 2)) << 16;
}

RecordList ListRecords(std::span<const std::uint8_t> stream) {
    RecordList records;
    std::size_t at = 0;
    while (at + 4 <= stream.size()) {
        const std::uint16_t id = static_cast<std::uint16_t>(stream[at] | stream[at + 1] << 8);
        const std::size_t length = stream[at + 2] | stream[at + 3] << 8;
        if (id == 0) {
            break; // padding
        }
        if (at + 4 + length > stream.size()) {
            throw std::runtime_error("record at " + std::to_string(at) + " runs past the stream");
        }
        BiffRecord record{id, at, {}};
        record.body.assign(stream.begin() + at + 4, stream.begin() + at + 4 + length);
        records.push_back(std::move(record));
        at += 4 + length;
    }
    return records;
}

std::vector<RecordList> SplitSubstreams(const RecordList& records) {
    std::vector<RecordList> substreams;
    for (const BiffRecord& record : records) {
        if (record.id == 0x0809) {
            substreams.emplace_back();
        }
        if (substreams.empty()) {
            throw std::runtime_error("stream does not start with BOF");
        }
        substreams.back().push_back(record);
    }
    return substreams;
}

std::string Describe(const BiffRecord& record) {
    const auto name = Names().find(record.id);
    const std::string label = name != Names().end() ? name->second : "0x" + Hex(record.id, 4);
    return label + " len=" + std::to_string(record.body.size()) + KeyFields(record);
}

std::string Listing(const RecordList& records) {
    std::string text;
    for (const BiffRecord& record : records) {
        text += Describe(record) + "\n";
    }
    return text;
}

} // namespace tomorine::test
