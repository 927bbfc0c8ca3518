#pragma once

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <span>

namespace tomorine::xls {

struct BiffRecord {
    std::uint16_t id = 0;
    std::span<const std::uint8_t> body;
};

// Walks the records of a BIFF stream from an offset. A record whose header
// or body would pass the end of the stream is a "truncated" fault.
class BiffRecordReader {
public:
    explicit BiffRecordReader(std::span<const std::uint8_t> stream, std::size_t begin = 0)
        : stream_(stream), pos_(std::min(begin, stream.size())) {}

    // False at the end of the stream.
    bool next(BiffRecord& record);
    // Takes the next record only when it is a CONTINUE.
    bool nextContinue(std::span<const std::uint8_t>& body);

    std::size_t position() const { return pos_; }
    std::size_t remaining() const { return stream_.size() - pos_; }

private:
    std::span<const std::uint8_t> stream_;
    std::size_t pos_;
};

} // namespace tomorine::xls
