#include "store/xls/compound_file_writer.h"

#include "store/xls/compound_file_format.h"
#include "store/xls/le_bytes.h"

#include <algorithm>
#include <stdexcept>
#include <string_view>

namespace tomorine::cfb {

namespace {

constexpr std::size_t kSectorSize = 512;
constexpr std::uint32_t kIdsPerSector = kSectorSize / 4;
constexpr std::uint32_t kDifatIdsPerSector = kIdsPerSector - 1; // last one chains
constexpr std::uint8_t kBlack = 1;

// Sector layout, in xlwt's order: stream, DIFAT, FAT, directory.
struct Layout {
    std::uint32_t streamSectors = 0;
    std::uint32_t difatSectors = 0;
    std::uint32_t fatSectors = 0;
    std::uint32_t firstDifat() const { return streamSectors; }
    std::uint32_t firstFat() const { return streamSectors + difatSectors; }
    std::uint32_t directory() const { return firstFat() + fatSectors; }
    std::uint32_t total() const { return directory() + 1; }
};

std::uint32_t DifatSectorsFor(std::uint32_t fatSectors) {
    if (fatSectors <= HeaderDifatEntries) {
        return 0;
    }
    return (fatSectors - HeaderDifatEntries + kDifatIdsPerSector - 1) / kDifatIdsPerSector;
}

Layout PlanLayout(std::size_t streamSize) {
    Layout layout;
    layout.streamSectors = static_cast<std::uint32_t>((streamSize + kSectorSize - 1) / kSectorSize);
    // The FAT must also map its own sectors and the DIFAT's.
    while (std::uint64_t{layout.fatSectors} * kIdsPerSector < layout.total()) {
        ++layout.fatSectors;
        layout.difatSectors = DifatSectorsFor(layout.fatSectors);
    }
    return layout;
}

void PutIds(std::vector<std::uint8_t>& out, std::uint32_t count, std::uint32_t id) {
    for (std::uint32_t i = 0; i < count; ++i) {
        le::PutU32(out, id);
    }
}

void AppendDifat(std::vector<std::uint8_t>& out, const Layout& layout) {
    std::uint32_t fat = HeaderDifatEntries;
    for (std::uint32_t d = 0; d < layout.difatSectors; ++d) {
        for (std::uint32_t i = 0; i < kDifatIdsPerSector; ++i, ++fat) {
            le::PutU32(out, fat < layout.fatSectors ? layout.firstFat() + fat : FreeSect);
        }
        const bool last = d + 1 == layout.difatSectors;
        le::PutU32(out, last ? EndOfChain : layout.firstDifat() + d + 1);
    }
}

void AppendFat(std::vector<std::uint8_t>& out, const Layout& layout) {
    for (std::uint32_t s = 1; s < layout.streamSectors; ++s) {
        le::PutU32(out, s);
    }
    le::PutU32(out, EndOfChain);
    PutIds(out, layout.difatSectors, DifSect);
    PutIds(out, layout.fatSectors, FatSect);
    le::PutU32(out, EndOfChain); // the directory's one sector
    PutIds(out, layout.fatSectors * kIdsPerSector - layout.total(), FreeSect);
}

// Class ids, state bits and time stamps stay zero, as xlwt writes them.
void AppendDirectoryEntry(std::vector<std::uint8_t>& out, std::u16string_view name,
                          std::uint8_t type, std::uint32_t child, std::uint32_t start,
                          std::uint32_t size) {
    const std::size_t at = out.size();
    for (char16_t c : name) {
        le::PutU16(out, c);
    }
    out.resize(at + 64, 0);
    le::PutU16(out, static_cast<std::uint16_t>(name.empty() ? 0 : 2 * (name.size() + 1)));
    le::PutU8(out, type);
    le::PutU8(out, type == 0 ? 0 : kBlack);
    le::PutU32(out, NoStream); // left sibling
    le::PutU32(out, NoStream); // right sibling
    le::PutU32(out, child);
    out.resize(at + 116, 0); // class id, state bits, creation and modification times
    le::PutU32(out, start);
    le::PutU32(out, size);
    le::PutU32(out, 0); // high half of the size: zero in version 3
}

void AppendDirectory(std::vector<std::uint8_t>& out, std::uint32_t streamSize) {
    // The root's only child is the stream, so the tree is one black node.
    AppendDirectoryEntry(out, u"Root Entry", RootStorageObject, 1, EndOfChain, 0);
    AppendDirectoryEntry(out, u"Workbook", StreamObject, NoStream, 0, streamSize);
    AppendDirectoryEntry(out, u"", 0, NoStream, 0, 0);
    AppendDirectoryEntry(out, u"", 0, NoStream, 0, 0);
}

void FillHeader(std::vector<std::uint8_t>& file, const Layout& layout) {
    std::vector<std::uint8_t> header;
    header.reserve(HeaderSize);
    for (std::uint8_t b : Signature) {
        le::PutU8(header, b);
    }
    header.resize(24, 0);                 // class id
    le::PutU16(header, 0x003E);           // minor version
    le::PutU16(header, 0x0003);           // major version
    le::PutU16(header, 0xFFFE);           // little-endian
    le::PutU16(header, 9);                // 512-byte sectors
    le::PutU16(header, 6);                // 64-byte mini sectors
    header.resize(header.size() + 10, 0); // reserved; directory sector count is 0 in version 3
    le::PutU32(header, layout.fatSectors);
    le::PutU32(header, layout.directory());
    le::PutU32(header, 0); // transaction signature
    le::PutU32(header, MiniStreamCutoff);
    le::PutU32(header, EndOfChain); // no mini FAT
    le::PutU32(header, 0);
    le::PutU32(header, layout.difatSectors > 0 ? layout.firstDifat() : EndOfChain);
    le::PutU32(header, layout.difatSectors);
    const std::uint32_t inHeader = std::min(layout.fatSectors, HeaderDifatEntries);
    for (std::uint32_t i = 0; i < inHeader; ++i) {
        le::PutU32(header, layout.firstFat() + i);
    }
    PutIds(header, HeaderDifatEntries - inHeader, FreeSect);
    std::copy(header.begin(), header.end(), file.begin());
}

} // namespace

void FinishCompoundFile(std::vector<std::uint8_t>& file, std::size_t elsewhere) {
    if (file.size() < HeaderSize) {
        throw std::logic_error("compound file buffer lacks its header");
    }
    if (file.size() + elsewhere < HeaderSize + MiniStreamCutoff) {
        file.resize(HeaderSize + MiniStreamCutoff - elsewhere, 0);
    }
    const std::size_t streamSize = file.size() - HeaderSize + elsewhere;
    if (streamSize > MaxStreamSize) {
        throw std::length_error("workbook stream too large for a compound file");
    }
    const Layout layout = PlanLayout(streamSize);
    file.resize(HeaderSize + std::size_t{layout.streamSectors} * kSectorSize - elsewhere, 0);
    file.reserve(file.size() + (std::size_t{layout.total()} - layout.streamSectors) * kSectorSize);
    AppendDifat(file, layout);
    AppendFat(file, layout);
    AppendDirectory(file, static_cast<std::uint32_t>(streamSize));
    FillHeader(file, layout);
}

} // namespace tomorine::cfb
