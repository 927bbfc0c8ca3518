#pragma once

#include <cstddef>
#include <cstdint>
#include <span>

namespace tomorine::xls {

struct BiffRecord {
    std::uint16_t id = 0;
    std::span<const std::uint8_t> body;
};

// Walks the records of a BIFF stream between two offsets. A record whose
// header or body would pass the end is a fault: "truncated" at the end of the
// stream, "corrupt" where the range ends early (the next sheet's substream).
class BiffRecordReader {
public:
    explicit BiffRecordReader(std::span<const std::uint8_t> stream)
        : BiffRecordReader(stream, 0, stream.size()) {}
    BiffRecordReader(std::span<const std::uint8_t> stream, std::size_t begin, std::size_t end);

    // False at the end of the range.
    bool next(BiffRecord& record);
    // Takes the next record only when it is a CONTINUE.
    bool nextContinue(std::span<const std::uint8_t>& body);

    std::size_t position() const { return pos_; }
    std::size_t remaining() const { return end_ - pos_; }

private:
    std::span<const std::uint8_t> stream_;
    std::size_t pos_;
    std::size_t end_;
};

} // namespace tomorine::xls
