#pragma once

#include "store/xls/byte_source.h"

#include <cstddef>
#include <cstdint>
#include <span>
#include <vector>

namespace tomorine::xls {

// A stream of a file seen as one span, of which only the blocks a reader
// needs now are held in memory. The span lies over address space reserved
// for the whole stream; a block is read from the file (following the
// stream's runs, wherever its sectors lie) when it is required, and given
// back to the system when a later requirement finds it no longer kept. A
// block given back is made inaccessible, so a reader that kept a span too
// long faults at once rather than reading zeros; required again, it is read
// again. A file that has become shorter than the stream is a "truncated"
// fault. The file is read, never mapped: another program cutting it short
// cannot kill us.
//
// While it lives, the stream is found from a pointer into its span by
// `Holding`, on the thread that made it, so that readers given only the
// span can ask for their bytes.
class PagedStream {
public:
    // Stream bytes from `streamOffset` up to the next run's lie in the file
    // from `fileOffset`. The first run starts at stream offset 0.
    struct Run {
        std::uint64_t streamOffset = 0;
        std::uint64_t fileOffset = 0;
    };
    // Stream offsets [begin, end).
    struct Range {
        std::size_t begin = 0;
        std::size_t end = 0;
    };

    // A transparent huge page: a block given back and read again elsewhere
    // moves as one page-table entry, where 256 KiB blocks moved 64 pages
    // that each faulted again (reading 53 MB: 70 ms of page faults, now 6 ms).
    static constexpr std::size_t DefaultBlockBytes = std::size_t{2} << 20;

    // `blockBytes`: a power of two, at least the system's page size.
    PagedStream(ByteSource& file, std::vector<Run> runs, std::size_t size,
                std::size_t blockBytes = DefaultBlockBytes);
    ~PagedStream();
    PagedStream(const PagedStream&) = delete;
    PagedStream& operator=(const PagedStream&) = delete;

    std::span<const std::uint8_t> bytes() const { return {base_, size_}; }

    // Makes stream bytes [offset, offset + length) readable. Before reading a
    // block, gives back every block that holds none of these bytes and none
    // of `keep`.
    void require(std::size_t offset, std::size_t length, std::span<const Range> keep) {
        if (length != 0 && present_[offset >> shift_] != 0 &&
            present_[(offset + length - 1) >> shift_] != 0 &&
            ((offset + length - 1) >> shift_) - (offset >> shift_) < 2) {
            return;
        }
        fill(offset, length, keep);
    }

    const std::vector<Run>& runs() const { return runs_; }

    // The most stream bytes held at once so far.
    std::size_t peakHeldBytes() const { return peakBlocks_ * blockBytes_; }

    // The paged stream of this thread whose span holds `p`; nullptr if none.
    static PagedStream* Holding(const std::uint8_t* p);

private:
    void fill(std::size_t offset, std::size_t length, std::span<const Range> keep);
    std::vector<std::size_t> giveBack(std::size_t first, std::size_t last,
                                      std::span<const Range> keep);
    bool reuse(std::vector<std::size_t>& spare, std::size_t block);
    void readBlock(std::size_t block, std::vector<std::size_t>& spare);
    std::size_t blockLength(std::size_t block) const;

    ByteSource& file_;
    std::vector<Run> runs_;
    std::size_t size_;
    std::size_t blockBytes_;
    unsigned shift_ = 0;
    std::size_t mappedBytes_ = 0;
    std::uint8_t* base_ = nullptr; // aligned to a block within the reservation
    void* reserved_ = nullptr;
    std::size_t reservedBytes_ = 0;
    std::vector<std::uint8_t> present_; // one per block
    std::vector<std::size_t> held_;     // the present blocks
    std::size_t peakBlocks_ = 0;
};

} // namespace tomorine::xls
