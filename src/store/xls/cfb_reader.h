#pragma once

#include "store/xls/byte_source.h"
#include "store/xls/paged_stream.h"

#include <cstddef>
#include <cstdint>
#include <memory>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

namespace tomorine::xls {

// A stream's bytes: a view into the file when the file is in memory and the
// stream's sectors lie one after another (the usual case), a copy when it is
// small, else read from the file block by block as the readers need them.
class StreamBytes {
public:
    StreamBytes() = default;
    explicit StreamBytes(std::span<const std::uint8_t> view) : view_(view) {}
    explicit StreamBytes(std::vector<std::uint8_t> owned)
        : owned_(std::move(owned)), view_(owned_) {}
    explicit StreamBytes(std::unique_ptr<PagedStream> paged)
        : paged_(std::move(paged)), view_(paged_->bytes()) {}
    StreamBytes(StreamBytes&& other) noexcept
        : owned_(std::move(other.owned_)), paged_(std::move(other.paged_)), view_(other.view_) {}
    StreamBytes& operator=(StreamBytes&&) = delete;

    std::span<const std::uint8_t> bytes() const { return view_; }
    // Null unless the stream is read block by block.
    const PagedStream* paged() const { return paged_.get(); }

private:
    std::vector<std::uint8_t> owned_; // a moved vector keeps its buffer
    std::unique_ptr<PagedStream> paged_;
    std::span<const std::uint8_t> view_;
};

// Reads streams of a compound file (OLE2 structured storage): 512- or
// 4096-byte sectors, the FAT with its DIFAT beyond the header, the directory,
// the mini stream. Only the header, the FAT and the directory are held;
// streams are read as they are asked for. Every sector index, chain and size
// is checked against the file; faults are thrown as XlsFault.
class CompoundFile {
public:
    static bool HasSignature(std::span<const std::uint8_t> head);

    // `file` must outlive the streams returned.
    explicit CompoundFile(ByteSource& file);

    // The stream of that name (ASCII letters folded) among the root storage's
    // children; nullopt when there is none. A stream read block by block
    // uses blocks of `blockBytes`.
    std::optional<StreamBytes> stream(std::u16string_view name,
                                      std::size_t blockBytes = PagedStream::DefaultBlockBytes);

private:
    struct Entry {
        std::u16string name;
        std::uint8_t type = 0;
        std::uint32_t left = 0;
        std::uint32_t right = 0;
        std::uint32_t child = 0;
        std::uint32_t start = 0;
        std::uint64_t size = 0;
    };

    void readHeader();
    void readFat();
    std::vector<std::uint32_t> fatSectorIds(std::size_t wanted);
    void readDirectory();
    const Entry* findRootChild(std::u16string_view name) const;

    std::uint64_t sectorOffset(std::uint32_t index) const {
        return (std::uint64_t{index} + 1) << sectorShift_;
    }
    std::span<const std::uint8_t> sector(std::uint32_t index);
    std::uint32_t nextSector(std::uint32_t index) const;
    [[noreturn]] void sectorOutOfFile(std::uint32_t index, const std::string& what) const;
    std::vector<std::uint32_t> chainUntilEnd(std::uint32_t start, const std::string& what) const;
    std::vector<PagedStream::Run> regularRuns(std::uint32_t start, std::uint64_t size,
                                              const std::string& what) const;
    StreamBytes regularStream(std::uint32_t start, std::uint64_t size, const std::string& what,
                              std::size_t blockBytes);
    StreamBytes miniStream(std::uint32_t start, std::uint64_t size, const std::string& what);

    ByteSource& file_;
    std::uint64_t fileSize_ = 0;
    std::vector<std::uint8_t> header_;
    std::vector<std::uint8_t> buffer_; // the last sector read
    bool version4_ = false;
    std::uint32_t sectorShift_ = 9;
    std::size_t sectorSize_ = 512;
    std::size_t sectorCount_ = 0; // sectors that start inside the file
    std::uint32_t fatSectorsClaimed_ = 0;
    std::uint32_t firstDirectorySector_ = 0;
    std::uint32_t miniCutoff_ = 4096;
    std::uint32_t firstMiniFatSector_ = 0;
    std::uint32_t firstDifatSector_ = 0;
    std::vector<std::uint32_t> fat_;
    std::vector<Entry> entries_;
};

} // namespace tomorine::xls
