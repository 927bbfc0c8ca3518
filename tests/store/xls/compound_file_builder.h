#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

namespace tomorine::test {

struct CfbStream {
    std::u16string name;
    std::vector<std::uint8_t> bytes;
};

struct CfbLayout {
    unsigned sectorShift = 9; // 9: 512-byte sectors (version 3); 12: 4096 (version 4)
    bool scattered = false;   // regular streams' sectors in reverse order
    std::uint32_t miniCutoff = 4096;
};

// A compound file holding the streams as children of the root storage, in
// that order. Streams shorter than the cutoff go to the mini stream. Past
// 109 FAT sectors (a 7 MB file of 512-byte sectors), DIFAT sectors list them.
std::vector<std::uint8_t> BuildCompoundFile(const std::vector<CfbStream>& streams,
                                            const CfbLayout& layout = {});

// Where things are in a file built above, for tests that damage it. FAT
// entries and directory entries are looked up in the first FAT sector and
// the first directory sector.
std::size_t SectorOffset(const std::vector<std::uint8_t>& file, std::uint32_t sector);
std::size_t FatEntryOffset(const std::vector<std::uint8_t>& file, std::uint32_t sector);
std::size_t DirectoryEntryOffset(const std::vector<std::uint8_t>& file, std::uint32_t entry);
std::uint32_t GetU32(const std::vector<std::uint8_t>& bytes, std::size_t offset);
void SetU32(std::vector<std::uint8_t>& bytes, std::size_t offset, std::uint32_t value);

} // namespace tomorine::test
