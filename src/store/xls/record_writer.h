#pragma once

#include <cstddef>
#include <cstdint>
#include <span>
#include <string_view>
#include <vector>

namespace tomorine::biff {

// True when a text needs two bytes a character; otherwise BIFF8 stores it
// "compressed", one byte (the low byte) a character.
bool NeedsWideChars(std::u16string_view text);

// Appends BIFF8 records to a byte buffer. Stream positions count from `base`,
// so the stream can be built in place after a container header.
class RecordWriter {
public:
    RecordWriter(std::vector<std::uint8_t>& out, std::size_t base) : out_(out), base_(base) {}

    std::size_t position() const { return out_.size() - base_ + skipped_; }
    // Counts `length` stream bytes that the caller puts in the file here.
    void skip(std::size_t length) { skipped_ += length; }

    // A whole record; a body longer than a record may hold goes on in CONTINUE
    // records.
    void record(std::uint16_t id, std::span<const std::uint8_t> body);

    // A record written piece by piece: begin, the appenders below, end.
    void begin(std::uint16_t id);
    void end();
    // Bytes the open record can still take.
    std::size_t room() const;
    // Ends the open record and opens a CONTINUE record.
    void continueRecord();
    // Offset of the next byte from the start of the open record's header.
    std::size_t offsetInRecord() const { return out_.size() - open_; }

    void u8(std::uint8_t value);
    void u16(std::uint16_t value);
    void u32(std::uint32_t value);
    void f64(double value);
    // UTF-16 code units, one byte each unless `wide`.
    void chars(std::u16string_view text, bool wide);

    // Overwrites 4 bytes already written at a stream position before any skip.
    void patchU32(std::size_t position, std::uint32_t value);

private:
    void openRecord(std::uint16_t id);
    void closeRecord();

    std::vector<std::uint8_t>& out_;
    std::size_t base_;
    std::size_t open_ = 0; // buffer index of the open record's header
    bool isOpen_ = false;
    std::size_t skipped_ = 0;
};

} // namespace tomorine::biff
