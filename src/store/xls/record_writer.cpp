#include "store/xls/record_writer.h"

#include "store/xls/biff_records.h"
#include "store/xls/le_bytes.h"

#include <algorithm>
#include <cstring>
#include <stdexcept>

namespace tomorine::biff {

namespace {
constexpr std::size_t kHeaderSize = 4;
}

bool NeedsWideChars(std::u16string_view text) {
    return std::any_of(text.begin(), text.end(), [](char16_t c) { return c > 0xFF; });
}

void RecordWriter::record(std::uint16_t id, std::span<const std::uint8_t> body) {
    std::uint16_t chunkId = id;
    do {
        const std::size_t chunk = std::min<std::size_t>(body.size(), MaxRecordData);
        le::PutU16(out_, chunkId);
        le::PutU16(out_, static_cast<std::uint16_t>(chunk));
        le::PutBytes(out_, body.first(chunk));
        body = body.subspan(chunk);
        chunkId = Continue;
    } while (!body.empty());
}

void RecordWriter::begin(std::uint16_t id) {
    if (isOpen_) {
        throw std::logic_error("BIFF record begun inside another");
    }
    openRecord(id);
}

void RecordWriter::end() {
    closeRecord();
}

std::size_t RecordWriter::room() const {
    return MaxRecordData - (out_.size() - open_ - kHeaderSize);
}

void RecordWriter::continueRecord() {
    closeRecord();
    openRecord(Continue);
}

void RecordWriter::openRecord(std::uint16_t id) {
    open_ = out_.size();
    isOpen_ = true;
    le::PutU16(out_, id);
    le::PutU16(out_, 0);
}

void RecordWriter::closeRecord() {
    const std::size_t length = out_.size() - open_ - kHeaderSize;
    if (!isOpen_ || length > MaxRecordData) {
        // A record that readers would misparse must never reach a file.
        throw std::logic_error("BIFF record overflow or not begun");
    }
    le::SetU16(out_, open_ + 2, static_cast<std::uint16_t>(length));
    isOpen_ = false;
}

void RecordWriter::u8(std::uint8_t value) {
    le::PutU8(out_, value);
}

void RecordWriter::u16(std::uint16_t value) {
    le::PutU16(out_, value);
}

void RecordWriter::u32(std::uint32_t value) {
    le::PutU32(out_, value);
}

void RecordWriter::f64(double value) {
    le::PutF64(out_, value);
}

void RecordWriter::chars(std::u16string_view text, bool wide) {
    const std::size_t at = out_.size();
    if (wide) {
        // UTF-16LE is the host's own layout (le_bytes.h checks).
        out_.resize(at + 2 * text.size());
        std::memcpy(out_.data() + at, text.data(), 2 * text.size());
    } else {
        out_.resize(at + text.size());
        std::transform(text.begin(), text.end(), out_.begin() + static_cast<std::ptrdiff_t>(at),
                       [](char16_t c) { return static_cast<std::uint8_t>(c); });
    }
}

void RecordWriter::patchU32(std::size_t position, std::uint32_t value) {
    le::SetU32(out_, base_ + position, value);
}

} // namespace tomorine::biff
