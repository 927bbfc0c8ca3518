#include "store/xls/paged_stream.h"

#include "store/xls/xls_fault.h"

#include <algorithm>
#include <bit>
#include <cstdint>
#include <linux/mman.h>
#include <new>
#include <sys/mman.h>
#include <unistd.h>

namespace tomorine::xls {

namespace {

thread_local std::vector<PagedStream*> tLiving;

bool Overlaps(const PagedStream::Range& range, std::size_t begin, std::size_t end) {
    return range.begin < end && begin < range.end;
}

} // namespace

PagedStream::PagedStream(ByteSource& file, std::vector<Run> runs, std::size_t size,
                         std::size_t blockBytes)
    : file_(file), runs_(std::move(runs)), size_(size), blockBytes_(blockBytes) {
    const std::size_t page = static_cast<std::size_t>(::sysconf(_SC_PAGESIZE));
    blockBytes_ = std::bit_ceil(std::max(blockBytes_, page));
    shift_ = static_cast<unsigned>(std::countr_zero(blockBytes_));
    mappedBytes_ = std::max<std::size_t>((size_ + page - 1) / page * page, page);
    // Address space only: nothing is committed until a block is read. Blocks
    // aligned to their size can each be one huge page.
    reservedBytes_ = mappedBytes_ + blockBytes_;
    reserved_ = ::mmap(nullptr, reservedBytes_, PROT_NONE,
                       MAP_PRIVATE | MAP_ANONYMOUS | MAP_NORESERVE, -1, 0);
    if (reserved_ == MAP_FAILED) {
        throw std::bad_alloc();
    }
    base_ = reinterpret_cast<std::uint8_t*>(
        (reinterpret_cast<std::uintptr_t>(reserved_) + blockBytes_ - 1) & ~(blockBytes_ - 1));
    ::madvise(base_, mappedBytes_, MADV_HUGEPAGE);
    present_.assign((size_ + blockBytes_ - 1) / blockBytes_ + 1, 0);
    tLiving.push_back(this);
}

PagedStream::~PagedStream() {
    std::erase(tLiving, this);
    ::munmap(reserved_, reservedBytes_);
}

PagedStream* PagedStream::Holding(const std::uint8_t* p) {
    for (PagedStream* stream : tLiving) {
        if (p >= stream->base_ && p < stream->base_ + stream->size_) {
            return stream;
        }
    }
    return nullptr;
}

std::size_t PagedStream::blockLength(std::size_t block) const {
    const std::size_t begin = block << shift_;
    return std::min(blockBytes_, mappedBytes_ - begin);
}

void PagedStream::fill(std::size_t offset, std::size_t length, std::span<const Range> keep) {
    if (length == 0 || offset >= size_) {
        return;
    }
    const std::size_t first = offset >> shift_;
    const std::size_t last = (std::min(size_, offset + length) - 1) >> shift_;
    std::vector<std::size_t> spare;
    bool released = false;
    for (std::size_t block = first; block <= last; ++block) {
        if (present_[block] != 0) {
            continue;
        }
        if (!released) {
            spare = giveBack(first, last, keep);
            released = true;
        }
        readBlock(block, spare);
    }
    for (std::size_t block : spare) {
        std::uint8_t* p = base_ + (block << shift_);
        ::mprotect(p, blockLength(block), PROT_NONE);
        ::madvise(p, blockLength(block), MADV_DONTNEED);
    }
}

std::vector<std::size_t> PagedStream::giveBack(std::size_t first, std::size_t last,
                                               std::span<const Range> keep) {
    std::vector<std::size_t> given;
    std::erase_if(held_, [&](std::size_t block) {
        const std::size_t begin = block << shift_;
        const std::size_t end = begin + blockBytes_;
        if ((block >= first && block <= last) ||
            std::any_of(keep.begin(), keep.end(),
                        [&](const Range& r) { return Overlaps(r, begin, end); })) {
            return false;
        }
        present_[block] = 0;
        given.push_back(block);
        return true;
    });
    return given;
}

// Moves the pages of a block given back to `block` rather than have the
// system zero new ones; the old place stays reserved, empty.
bool PagedStream::reuse(std::vector<std::size_t>& spare, std::size_t block) {
    if (spare.empty() || blockLength(spare.back()) != blockLength(block)) {
        return false;
    }
    std::uint8_t* from = base_ + (spare.back() << shift_);
    void* moved =
        ::mremap(from, blockLength(block), blockLength(block),
                 MREMAP_MAYMOVE | MREMAP_FIXED | MREMAP_DONTUNMAP, base_ + (block << shift_));
    if (moved == MAP_FAILED) {
        return false; // an older kernel: the block is given back as it is
    }
    ::mprotect(from, blockLength(block), PROT_NONE);
    spare.pop_back();
    return true;
}

void PagedStream::readBlock(std::size_t block, std::vector<std::size_t>& spare) {
    std::uint8_t* p = base_ + (block << shift_);
    if (!reuse(spare, block) && ::mprotect(p, blockLength(block), PROT_READ | PROT_WRITE) != 0) {
        throw std::bad_alloc();
    }
    present_[block] = 1;
    held_.push_back(block);
    peakBlocks_ = std::max(peakBlocks_, held_.size());
    std::size_t at = block << shift_;
    const std::size_t end = std::min(size_, at + blockBytes_);
    auto run =
        std::upper_bound(runs_.begin(), runs_.end(), at,
                         [](std::size_t offset, const Run& r) { return offset < r.streamOffset; }) -
        1;
    while (at < end) {
        const std::size_t runEnd =
            run + 1 == runs_.end() ? end : std::min<std::size_t>(end, (run + 1)->streamOffset);
        const std::size_t n = runEnd - at;
        const std::uint64_t from = run->fileOffset + (at - run->streamOffset);
        if (file_.copy(from, {base_ + at, n}) < n) {
            Fail(FaultKind::Truncated, "ファイルのオフセット " + std::to_string(from) +
                                           " から先が読み込み中になくなりました");
        }
        at = runEnd;
        ++run;
    }
}

} // namespace tomorine::xls
