#pragma once

#include "store/xls/biff_record_reader.h"

#include <cstddef>
#include <cstdint>
#include <span>
#include <string>

namespace tomorine::xls {

// The body of a record and of the CONTINUE records after it, read as one
// sequence of bytes; CONTINUE records are taken from the reader only when
// needed. Character data is the exception: where it goes on in the next
// record, that record starts with a byte whose bit 0 says whether the
// characters are 16-bit from there on. Running out of data is a fault that
// names `what`.
class ContinuedReader {
public:
    // `offsetInRecord`: where `body` starts, counted from its record's header.
    ContinuedReader(std::span<const std::uint8_t> body, BiffRecordReader& records, const char* what,
                    std::size_t offsetInRecord = 4)
        : piece_(body), pieceOffset_(offsetInRecord), records_(records), what_(what) {}

    std::uint8_t u8();
    std::uint16_t u16();
    std::uint32_t u32();
    void skip(std::size_t count);
    // Nothing left here and no CONTINUE after it.
    bool atEnd();

    // A BIFF8 unicode string: its length in `lengthBytes` (1 or 2) bytes,
    // flags, rich-text run count and phonetic size when flagged, the
    // characters, then the runs and phonetic data, which are skipped. A string
    // of length 0 has no flags byte unless `flagsWhenEmpty`.
    std::u16string string(int lengthBytes, bool flagsWhenEmpty);
    // The same into `text`, whose buffer is reused.
    void string(int lengthBytes, bool flagsWhenEmpty, std::u16string& text);

    // The next byte's address, and its offset from its record's header.
    const std::uint8_t* here(std::size_t& offsetInRecord) const {
        offsetInRecord = pieceOffset_ + pos_;
        return piece_.data() + pos_;
    }

private:
    void chars(std::size_t count, bool wide, std::u16string& out);
    bool nextPiece();
    [[noreturn]] void ranOut() const;

    std::span<const std::uint8_t> piece_;
    std::size_t pos_ = 0;
    std::size_t pieceOffset_;
    BiffRecordReader& records_;
    const char* what_;
};

} // namespace tomorine::xls
