#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

namespace tomorine::xls {

// A stream's bytes: a view into the file when its sectors lie one after
// another (the usual case), a copy otherwise.
class StreamBytes {
public:
    StreamBytes() = default;
    explicit StreamBytes(std::span<const std::uint8_t> view) : view_(view) {}
    explicit StreamBytes(std::vector<std::uint8_t> owned) : owned_(std::move(owned)) {}

    std::span<const std::uint8_t> bytes() const {
        return owned_.empty() ? view_ : std::span<const std::uint8_t>(owned_);
    }

private:
    std::span<const std::uint8_t> view_;
    std::vector<std::uint8_t> owned_;
};

// Reads streams of a compound file (OLE2 structured storage) held in memory:
// 512- or 4096-byte sectors, the FAT with its DIFAT beyond the header, the
// directory, the mini stream. Every sector index, chain and size is checked
// against the file; faults are thrown as XlsFault.
class CompoundFile {
public:
    static bool HasSignature(std::span<const std::uint8_t> file);

    explicit CompoundFile(std::span<const std::uint8_t> file);

    // The stream of that name (ASCII letters folded) among the root storage's
    // children; nullopt when there is none.
    std::optional<StreamBytes> stream(std::u16string_view name) const;

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
    std::vector<std::uint32_t> fatSectorIds(std::size_t wanted) const;
    void readDirectory();
    const Entry* findRootChild(std::u16string_view name) const;

    std::span<const std::uint8_t> sector(std::uint32_t index) const;
    std::uint32_t nextSector(std::uint32_t index) const;
    [[noreturn]] void sectorOutOfFile(std::uint32_t index, const std::string& what) const;
    std::vector<std::uint32_t> chainUntilEnd(std::uint32_t start, const std::string& what) const;
    StreamBytes regularStream(std::uint32_t start, std::uint64_t size,
                              const std::string& what) const;
    StreamBytes miniStream(std::uint32_t start, std::uint64_t size, const std::string& what) const;

    std::span<const std::uint8_t> file_;
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
