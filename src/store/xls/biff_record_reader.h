#pragma once

#include "store/xls/paged_stream.h"

#include <algorithm>
#include <array>
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
//
// Over a PagedStream only the records in use are held. The body of a record
// taken with next() stays readable until two more records have been taken
// with next() (a FORMULA's while its SHRFMLA and STRING are read); a body
// taken with nextContinue(), and bytes from bytesAt(), until the reader is
// asked for anything again. One reader at a time may walk a paged stream.
class BiffRecordReader {
public:
    explicit BiffRecordReader(std::span<const std::uint8_t> stream, std::size_t begin = 0)
        : stream_(stream), pos_(std::min(begin, stream.size())),
          pages_(stream.empty() ? nullptr : PagedStream::Holding(stream.data())) {}

    // False at the end of the stream.
    bool next(BiffRecord& record);
    // Takes the next record only when it is a CONTINUE.
    bool nextContinue(std::span<const std::uint8_t>& body);
    // `length` bytes from `offset`, which the caller has checked lie in the stream.
    std::span<const std::uint8_t> bytesAt(std::size_t offset, std::size_t length);

    std::size_t position() const { return pos_; }
    std::size_t remaining() const { return stream_.size() - pos_; }

private:
    bool take(BiffRecord& record, std::size_t kept);
    void require(std::size_t offset, std::size_t length, std::size_t kept) {
        if (pages_ != nullptr) {
            pages_->require(offset, length, std::span(taken_).last(kept));
        }
    }

    std::span<const std::uint8_t> stream_;
    std::size_t pos_;
    PagedStream* pages_;
    std::array<PagedStream::Range, 3> taken_{}; // by next(), oldest first
};

} // namespace tomorine::xls
