#pragma once

#include <cstddef>
#include <cstdint>

// Fixed values of the compound file container, shared by its reader and writer.
namespace tomorine::cfb {

inline constexpr std::uint8_t Signature[8] = {0xD0, 0xCF, 0x11, 0xE0, 0xA1, 0xB1, 0x1A, 0xE1};
inline constexpr std::size_t HeaderSize = 512;
inline constexpr std::uint32_t HeaderDifatEntries = 109;
inline constexpr std::size_t DirectoryEntrySize = 128;
inline constexpr std::size_t MiniSectorSize = 64;
inline constexpr std::uint32_t MiniStreamCutoff = 4096;

// Special sector numbers in FAT and DIFAT entries.
inline constexpr std::uint32_t MaxRegularSector = 0xFFFFFFFA;
inline constexpr std::uint32_t DifSect = 0xFFFFFFFC;
inline constexpr std::uint32_t FatSect = 0xFFFFFFFD;
inline constexpr std::uint32_t EndOfChain = 0xFFFFFFFE;
inline constexpr std::uint32_t FreeSect = 0xFFFFFFFF;
inline constexpr std::uint32_t NoStream = 0xFFFFFFFF; // no sibling or child entry

// Directory entry object types.
inline constexpr std::uint8_t StreamObject = 2;
inline constexpr std::uint8_t RootStorageObject = 5;

} // namespace tomorine::cfb
