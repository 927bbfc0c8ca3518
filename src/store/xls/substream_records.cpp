#include "store/xls/substream_records.h"

#include "store/xls/biff_records.h"

namespace tomorine::biff {

void WriteBof(RecordWriter& out, std::uint16_t type) {
    out.begin(Bof);
    out.u16(Biff8Version);
    out.u16(type);
    out.u16(0x0DBB); // build
    out.u16(1996);   // build year
    out.u32(0);      // file history flags
    out.u32(6);      // lowest BIFF version that may read the file: BIFF8
    out.end();
}

void WriteEof(RecordWriter& out) {
    out.begin(Eof);
    out.end();
}

void WriteU16Record(RecordWriter& out, std::uint16_t id, std::uint16_t value) {
    out.begin(id);
    out.u16(value);
    out.end();
}

} // namespace tomorine::biff
