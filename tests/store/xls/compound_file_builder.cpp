#include "compound_file_builder.h"

#include <algorithm>
#include <numeric>

namespace tomorine::test {

namespace {

constexpr std::uint32_t kFree = 0xFFFFFFFF;
constexpr std::uint32_t kEnd = 0xFFFFFFFE;
constexpr std::uint32_t kFatSector = 0xFFFFFFFD;
constexpr std::uint32_t kDifatSector = 0xFFFFFFFC;
constexpr std::size_t kMini = 64;

using Bytes = std::vector<std::uint8_t>;

void Put16(Bytes& b, std::size_t at, std::uint16_t v) {
    b[at] = static_cast<std::uint8_t>(v);
    b[at + 1] = static_cast<std::uint8_t>(v >> 8);
}

struct Plan {
    std::size_t sectorSize;
    std::vector<Bytes> sectors;
    std::vector<std::uint32_t> fat;

    // Places `bytes` in new sectors, chained in order (or backwards through
    // the file when scattered); returns the first sector.
    std::uint32_t place(const Bytes& bytes, bool scattered) {
        const std::size_t n = (bytes.size() + sectorSize - 1) / sectorSize;
        if (n == 0) {
            return kEnd;
        }
        const std::size_t base = sectors.size();
        sectors.resize(base + n, Bytes(sectorSize));
        fat.resize(base + n, kFree);
        std::vector<std::uint32_t> order(n);
        std::iota(order.begin(), order.end(), static_cast<std::uint32_t>(base));
        if (scattered) {
            std::reverse(order.begin(), order.end());
        }
        for (std::size_t k = 0; k < n; ++k) {
            const std::size_t from = k * sectorSize;
            const std::size_t len = std::min(sectorSize, bytes.size() - from);
            std::copy_n(bytes.begin() + static_cast<std::ptrdiff_t>(from), len,
                        sectors[order[k]].begin());
            fat[order[k]] = k + 1 < n ? order[k + 1] : kEnd;
        }
        return order.front();
    }
};

Bytes DirectoryEntry(const std::u16string& name, std::uint8_t type, std::uint32_t right,
                     std::uint32_t child, std::uint32_t start, std::uint64_t size) {
    Bytes e(128, 0);
    for (std::size_t i = 0; i < name.size() && i < 31; ++i) {
        Put16(e, 2 * i, name[i]);
    }
    Put16(e, 64, static_cast<std::uint16_t>(type == 0 ? 0 : 2 * (name.size() + 1)));
    e[66] = type;
    e[67] = 1; // black
    SetU32(e, 68, kFree);
    SetU32(e, 72, right);
    SetU32(e, 76, child);
    SetU32(e, 116, start);
    SetU32(e, 120, static_cast<std::uint32_t>(size));
    SetU32(e, 124, static_cast<std::uint32_t>(size >> 32));
    return e;
}

} // namespace

std::uint32_t GetU32(const Bytes& bytes, std::size_t offset) {
    return static_cast<std::uint32_t>(bytes[offset]) | bytes[offset + 1] << 8 |
           bytes[offset + 2] << 16 | static_cast<std::uint32_t>(bytes[offset + 3]) << 24;
}

void SetU32(Bytes& bytes, std::size_t offset, std::uint32_t value) {
    for (int i = 0; i < 4; ++i) {
        bytes[offset + i] = static_cast<std::uint8_t>(value >> (8 * i));
    }
}

Bytes BuildCompoundFile(const std::vector<CfbStream>& streams, const CfbLayout& layout) {
    const std::size_t sectorSize = std::size_t{1} << layout.sectorShift;
    const std::size_t perSector = sectorSize / 4;
    Plan plan{sectorSize, {}, {}};

    Bytes mini;
    std::vector<std::uint32_t> miniFat;
    std::vector<std::uint32_t> starts;
    for (const CfbStream& s : streams) {
        if (s.bytes.size() >= layout.miniCutoff) {
            starts.push_back(plan.place(s.bytes, layout.scattered));
            continue;
        }
        const std::size_t n = (s.bytes.size() + kMini - 1) / kMini;
        const std::uint32_t first = static_cast<std::uint32_t>(mini.size() / kMini);
        starts.push_back(n == 0 ? kEnd : first);
        mini.insert(mini.end(), s.bytes.begin(), s.bytes.end());
        mini.resize(mini.size() + (kMini - mini.size() % kMini) % kMini);
        for (std::size_t k = 0; k < n; ++k) {
            miniFat.push_back(k + 1 < n ? first + static_cast<std::uint32_t>(k) + 1 : kEnd);
        }
    }
    const std::uint32_t miniStart = plan.place(mini, false);
    Bytes miniFatBytes(miniFat.size() * 4);
    for (std::size_t i = 0; i < miniFat.size(); ++i) {
        SetU32(miniFatBytes, 4 * i, miniFat[i]);
    }
    const std::uint32_t miniFatStart = plan.place(miniFatBytes, false);
    const std::size_t miniFatCount = (miniFatBytes.size() + sectorSize - 1) / sectorSize;

    Bytes dir = DirectoryEntry(u"Root Entry", 5, kFree, streams.empty() ? kFree : 1, miniStart,
                               mini.size());
    for (std::size_t i = 0; i < streams.size(); ++i) {
        const std::uint32_t right =
            i + 1 < streams.size() ? static_cast<std::uint32_t>(i + 2) : kFree;
        const Bytes e =
            DirectoryEntry(streams[i].name, 2, right, kFree, starts[i], streams[i].bytes.size());
        dir.insert(dir.end(), e.begin(), e.end());
    }
    while (dir.size() % sectorSize != 0) {
        const Bytes e = DirectoryEntry(u"", 0, kFree, kFree, 0, 0);
        dir.insert(dir.end(), e.begin(), e.end());
    }
    const std::uint32_t dirStart = plan.place(dir, false);
    const std::size_t dirCount = dir.size() / sectorSize;

    // FAT and DIFAT sectors go at the end; their number depends on itself.
    const std::size_t used = plan.sectors.size();
    std::size_t fatCount = 1;
    std::size_t difatCount = 0;
    for (;;) {
        const std::size_t total = used + fatCount + difatCount;
        const std::size_t needFat = (total + perSector - 1) / perSector;
        const std::size_t needDifat =
            needFat > 109 ? (needFat - 109 + perSector - 2) / (perSector - 1) : 0;
        if (needFat == fatCount && needDifat == difatCount) {
            break;
        }
        fatCount = needFat;
        difatCount = needDifat;
    }
    std::vector<std::uint32_t> fatIds(fatCount);
    std::iota(fatIds.begin(), fatIds.end(), static_cast<std::uint32_t>(used));
    const std::uint32_t difatFirst = static_cast<std::uint32_t>(used + fatCount);
    std::vector<std::uint32_t> fat = plan.fat;
    fat.resize(fatCount * perSector, kFree);
    for (std::uint32_t id : fatIds) {
        fat[id] = kFatSector;
    }
    for (std::size_t d = 0; d < difatCount; ++d) {
        fat[difatFirst + d] = kDifatSector;
    }

    Bytes file(sectorSize, 0);
    const std::uint8_t signature[8] = {0xD0, 0xCF, 0x11, 0xE0, 0xA1, 0xB1, 0x1A, 0xE1};
    std::copy(std::begin(signature), std::end(signature), file.begin());
    Put16(file, 24, 0x3E);
    Put16(file, 26, layout.sectorShift == 12 ? 4 : 3);
    Put16(file, 28, 0xFFFE);
    Put16(file, 30, static_cast<std::uint16_t>(layout.sectorShift));
    Put16(file, 32, 6);
    SetU32(file, 40, layout.sectorShift == 12 ? static_cast<std::uint32_t>(dirCount) : 0);
    SetU32(file, 44, static_cast<std::uint32_t>(fatCount));
    SetU32(file, 48, dirStart);
    SetU32(file, 56, layout.miniCutoff);
    SetU32(file, 60, miniFatCount == 0 ? kEnd : miniFatStart);
    SetU32(file, 64, static_cast<std::uint32_t>(miniFatCount));
    SetU32(file, 68, difatCount == 0 ? kEnd : difatFirst);
    SetU32(file, 72, static_cast<std::uint32_t>(difatCount));
    for (std::size_t i = 0; i < 109; ++i) {
        SetU32(file, 76 + 4 * i, i < fatCount ? fatIds[i] : kFree);
    }
    for (const Bytes& s : plan.sectors) {
        file.insert(file.end(), s.begin(), s.end());
    }
    for (std::size_t k = 0; k < fatCount; ++k) {
        Bytes s(sectorSize);
        for (std::size_t j = 0; j < perSector; ++j) {
            SetU32(s, 4 * j, fat[k * perSector + j]);
        }
        file.insert(file.end(), s.begin(), s.end());
    }
    std::size_t listed = std::min<std::size_t>(fatCount, 109);
    for (std::size_t d = 0; d < difatCount; ++d) {
        Bytes s(sectorSize);
        for (std::size_t j = 0; j + 1 < perSector; ++j) {
            SetU32(s, 4 * j, listed < fatCount ? fatIds[listed++] : kFree);
        }
        SetU32(s, sectorSize - 4,
               d + 1 < difatCount ? difatFirst + static_cast<std::uint32_t>(d) + 1 : kEnd);
        file.insert(file.end(), s.begin(), s.end());
    }
    return file;
}

std::size_t SectorOffset(const Bytes& file, std::uint32_t sector) {
    const std::size_t shift = file[30];
    return (std::size_t{sector} + 1) << shift;
}

std::size_t FatEntryOffset(const Bytes& file, std::uint32_t sector) {
    return SectorOffset(file, GetU32(file, 76)) + 4 * std::size_t{sector};
}

std::size_t DirectoryEntryOffset(const Bytes& file, std::uint32_t entry) {
    return SectorOffset(file, GetU32(file, 48)) + 128 * std::size_t{entry};
}

} // namespace tomorine::test
