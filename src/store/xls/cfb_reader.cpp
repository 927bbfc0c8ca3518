#include "store/xls/cfb_reader.h"

#include "store/workbook/ascii_case.h"
#include "store/workbook/utf.h"
#include "store/xls/compound_file_format.h"
#include "store/xls/le_read.h"
#include "store/xls/xls_fault.h"

#include <algorithm>
#include <cstring>

namespace tomorine::xls {

namespace {

using cfb::HeaderDifatEntries;
using cfb::HeaderSize;
using cfb::MaxRegularSector;
using cfb::MiniSectorSize;
constexpr std::size_t kEntrySize = cfb::DirectoryEntrySize;
constexpr std::uint32_t kNoEntry = cfb::NoStream;
// FAT entries whose FAT sector is not in the file. The value is reserved by
// the format, so no writer puts it in a chain.
constexpr std::uint32_t kUnknown = 0xFFFFFFFB;
constexpr std::uint8_t kStreamEntry = cfb::StreamObject;
constexpr std::uint8_t kRootEntry = cfb::RootStorageObject;

std::size_t CeilDiv(std::uint64_t value, std::size_t unit) {
    return static_cast<std::size_t>((value + unit - 1) / unit);
}

} // namespace

bool CompoundFile::HasSignature(std::span<const std::uint8_t> head) {
    return head.size() >= sizeof cfb::Signature &&
           std::memcmp(head.data(), cfb::Signature, sizeof cfb::Signature) == 0;
}

CompoundFile::CompoundFile(ByteSource& file) : file_(file), fileSize_(file.size()) {
    readHeader();
    readFat();
    readDirectory();
}

void CompoundFile::readHeader() {
    std::vector<std::uint8_t> buffer;
    const std::span<const std::uint8_t> head = file_.read(0, HeaderSize, buffer);
    if (!HasSignature(head)) {
        Fail(FaultKind::NotWorkbook, "複合ファイルの署名がありません");
    }
    if (head.size() < HeaderSize) {
        Fail(FaultKind::Truncated, head.size() < fileSize_
                                       ? "ファイルのオフセット " + std::to_string(head.size()) +
                                             " から先が読み込み中になくなりました"
                                       : "複合ファイルのヘッダが " + std::to_string(head.size()) +
                                             " バイトしかありません");
    }
    header_.assign(head.begin(), head.end());
    const std::uint8_t* h = header_.data();
    if (Le16(h + 28) != 0xFFFE) {
        Fail(FaultKind::Corrupt, "複合ファイルのバイト順の印がありません");
    }
    sectorShift_ = Le16(h + 30);
    if (sectorShift_ != 9 && sectorShift_ != 12) {
        Fail(FaultKind::Corrupt,
             "セクタの大きさ 2^" + std::to_string(sectorShift_) + " は複合ファイルにありません");
    }
    if (Le16(h + 32) != 6) {
        Fail(FaultKind::Corrupt, "ミニセクタの大きさが 64 バイトではありません");
    }
    sectorSize_ = std::size_t{1} << sectorShift_;
    version4_ = sectorShift_ == 12;
    // The header takes the place of sector -1; a last sector cut short still counts.
    sectorCount_ = fileSize_ > sectorSize_ ? CeilDiv(fileSize_ - sectorSize_, sectorSize_) : 0;
    fatSectorsClaimed_ = Le32(h + 44);
    firstDirectorySector_ = Le32(h + 48);
    miniCutoff_ = Le32(h + 56);
    firstMiniFatSector_ = Le32(h + 60);
    firstDifatSector_ = Le32(h + 68);
}

std::span<const std::uint8_t> CompoundFile::sector(std::uint32_t index) {
    const std::uint64_t offset = sectorOffset(index);
    const std::size_t inFile =
        static_cast<std::size_t>(std::min<std::uint64_t>(sectorSize_, fileSize_ - offset));
    const std::span<const std::uint8_t> bytes = file_.read(offset, inFile, buffer_);
    if (bytes.size() < inFile) {
        Fail(FaultKind::Truncated, "ファイルのオフセット " + std::to_string(offset) +
                                       " から先が読み込み中になくなりました");
    }
    return bytes;
}

void CompoundFile::readFat() {
    const std::size_t perSector = sectorSize_ / 4;
    // FAT sectors describing sectors past the end of the file are never needed.
    const std::size_t wanted =
        std::min<std::size_t>(fatSectorsClaimed_, CeilDiv(sectorCount_, perSector));
    fat_.assign(sectorCount_, kUnknown);
    const std::vector<std::uint32_t> ids = fatSectorIds(wanted);
    for (std::size_t k = 0; k < ids.size(); ++k) {
        if (ids[k] >= sectorCount_) {
            continue; // its entries stay unknown; a chain that needs them fails there
        }
        const std::span<const std::uint8_t> s = sector(ids[k]);
        const std::size_t base = k * perSector;
        const std::size_t n = std::min(s.size() / 4, sectorCount_ - base);
        for (std::size_t j = 0; j < n; ++j) {
            fat_[base + j] = Le32(s.data() + 4 * j);
        }
    }
}

std::vector<std::uint32_t> CompoundFile::fatSectorIds(std::size_t wanted) {
    std::vector<std::uint32_t> ids;
    ids.reserve(wanted);
    for (std::size_t i = 0; i < HeaderDifatEntries && ids.size() < wanted; ++i) {
        ids.push_back(Le32(header_.data() + 76 + 4 * i));
    }
    const std::size_t perSector = sectorSize_ / 4;
    std::vector<bool> seen(sectorCount_);
    std::uint32_t next = firstDifatSector_;
    while (ids.size() < wanted && next < sectorCount_) {
        if (seen[next]) {
            Fail(FaultKind::Corrupt, "DIFAT のセクタ連鎖が循環しています");
        }
        seen[next] = true;
        const std::span<const std::uint8_t> s = sector(next);
        const std::size_t n = std::min(perSector - 1, s.size() / 4);
        for (std::size_t j = 0; j < n && ids.size() < wanted; ++j) {
            ids.push_back(Le32(s.data() + 4 * j));
        }
        if (s.size() < sectorSize_) {
            break;
        }
        next = Le32(s.data() + 4 * (perSector - 1));
    }
    return ids;
}

std::uint32_t CompoundFile::nextSector(std::uint32_t index) const {
    const std::uint32_t next = fat_[index];
    if (next == kUnknown) {
        const std::uint64_t claimed = std::uint64_t{fatSectorsClaimed_} * (sectorSize_ / 4);
        if (index < claimed) {
            Fail(FaultKind::Truncated, "セクタ " + std::to_string(index) +
                                           " を記した FAT のセクタがファイルの外にあります");
        }
        Fail(FaultKind::Corrupt, "セクタ " + std::to_string(index) + " が FAT に載っていません");
    }
    return next;
}

void CompoundFile::sectorOutOfFile(std::uint32_t index, const std::string& what) const {
    const std::string detail =
        what + "のセクタ " + std::to_string(index) + " がファイルの外を指しています";
    const std::uint64_t claimed = std::uint64_t{fatSectorsClaimed_} * (sectorSize_ / 4);
    Fail(index < claimed ? FaultKind::Truncated : FaultKind::Corrupt, detail);
}

std::vector<std::uint32_t> CompoundFile::chainUntilEnd(std::uint32_t start,
                                                       const std::string& what) const {
    std::vector<std::uint32_t> chain;
    std::vector<bool> seen(sectorCount_);
    // ENDOFCHAIN ends a chain; so does any other special value, as readers tolerate.
    for (std::uint32_t s = start; s <= MaxRegularSector; s = nextSector(s)) {
        if (s >= sectorCount_) {
            sectorOutOfFile(s, what);
        }
        if (seen[s]) {
            Fail(FaultKind::Corrupt, what + "のセクタ連鎖が循環しています");
        }
        seen[s] = true;
        chain.push_back(s);
    }
    return chain;
}

void CompoundFile::readDirectory() {
    const std::vector<std::uint32_t> chain = chainUntilEnd(firstDirectorySector_, "ディレクトリ");
    entries_.reserve(chain.size() * (sectorSize_ / kEntrySize));
    for (std::uint32_t s : chain) {
        const std::span<const std::uint8_t> bytes = sector(s);
        if (bytes.size() < sectorSize_) {
            Fail(FaultKind::Truncated,
                 "ディレクトリのセクタ " + std::to_string(s) + " が欠けています");
        }
        for (std::size_t off = 0; off < bytes.size(); off += kEntrySize) {
            const std::uint8_t* e = bytes.data() + off;
            Entry entry;
            const std::size_t chars = std::min<std::size_t>(Le16(e + 64), 64) / 2;
            for (std::size_t i = 0; i + 1 < chars; ++i) { // the count includes the NUL
                entry.name.push_back(static_cast<char16_t>(Le16(e + 2 * i)));
            }
            entry.type = e[66];
            entry.left = Le32(e + 68);
            entry.right = Le32(e + 72);
            entry.child = Le32(e + 76);
            entry.start = Le32(e + 116);
            // Version 3 files may leave garbage in the size's high half.
            entry.size = version4_ ? Le64(e + 120) : Le32(e + 120);
            entries_.push_back(std::move(entry));
        }
    }
    if (entries_.empty() || entries_[0].type != kRootEntry) {
        Fail(FaultKind::Corrupt, "ディレクトリにルート項目がありません");
    }
}

const CompoundFile::Entry* CompoundFile::findRootChild(std::u16string_view name) const {
    const Entry* found = nullptr;
    std::vector<bool> seen(entries_.size());
    seen[0] = true;
    std::vector<std::uint32_t> todo{entries_[0].child};
    while (!todo.empty()) {
        const std::uint32_t id = todo.back();
        todo.pop_back();
        if (id == kNoEntry) {
            continue;
        }
        if (id >= entries_.size()) {
            Fail(FaultKind::Corrupt, "ディレクトリ項目 " + std::to_string(id) + " がありません");
        }
        if (seen[id]) {
            Fail(FaultKind::Corrupt, "ディレクトリが循環しています");
        }
        seen[id] = true;
        const Entry& e = entries_[id];
        if (found == nullptr && e.type == kStreamEntry &&
            EqualIgnoringAsciiCase<char16_t>(e.name, name)) {
            found = &e;
        }
        todo.push_back(e.left);
        todo.push_back(e.right);
    }
    return found;
}

std::optional<StreamBytes> CompoundFile::stream(std::u16string_view name, std::size_t blockBytes) {
    const Entry* e = findRootChild(name);
    if (e == nullptr) {
        return std::nullopt;
    }
    const std::string what = ToUtf8(name) + " ストリーム";
    if (e->size < miniCutoff_) {
        return miniStream(e->start, e->size, what);
    }
    return regularStream(e->start, e->size, what, blockBytes);
}

std::vector<PagedStream::Run> CompoundFile::regularRuns(std::uint32_t start, std::uint64_t size,
                                                        const std::string& what) const {
    const std::uint64_t inFile = fileSize_ - std::min<std::uint64_t>(fileSize_, sectorSize_);
    if (size > inFile) {
        const std::uint64_t claimed =
            std::uint64_t{fatSectorsClaimed_} * (sectorSize_ / 4) * sectorSize_;
        Fail(size <= claimed ? FaultKind::Truncated : FaultKind::Corrupt,
             what + "の " + std::to_string(size) + " バイトのうち " + std::to_string(inFile) +
                 " バイトしかファイルにありません");
    }
    // A chain longer than the size is accepted: some writers leave a sector over.
    const std::size_t count = CeilDiv(size, sectorSize_);
    const std::size_t lastBytes = static_cast<std::size_t>(size - (count - 1) * sectorSize_);
    std::vector<PagedStream::Run> runs;
    std::vector<bool> seen(sectorCount_);
    std::uint32_t s = start;
    for (std::size_t k = 0; k < count; ++k) {
        const std::uint32_t previous = s;
        if (k > 0) {
            s = nextSector(s);
            if (s > MaxRegularSector) {
                Fail(FaultKind::Corrupt,
                     what + "のセクタ連鎖が大きさ " + std::to_string(size) + " バイトより短いです");
            }
        }
        if (s >= sectorCount_) {
            sectorOutOfFile(s, what);
        }
        if (seen[s]) {
            Fail(FaultKind::Corrupt, what + "のセクタ連鎖が循環しています");
        }
        seen[s] = true;
        const std::size_t needed = k + 1 < count ? sectorSize_ : lastBytes;
        if (fileSize_ - sectorOffset(s) < needed) {
            Fail(FaultKind::Truncated,
                 k + 1 < count ? what + "のセクタ " + std::to_string(s) + " が欠けています"
                               : what + "の最後のセクタが欠けています");
        }
        if (k == 0 || s != previous + 1) {
            runs.push_back({std::uint64_t{k} * sectorSize_, sectorOffset(s)});
        }
    }
    return runs;
}

StreamBytes CompoundFile::regularStream(std::uint32_t start, std::uint64_t size,
                                        const std::string& what, std::size_t blockBytes) {
    if (size == 0) {
        return {};
    }
    std::vector<PagedStream::Run> runs = regularRuns(start, size, what);
    const std::span<const std::uint8_t> whole = file_.whole();
    if (runs.size() == 1 && !whole.empty()) {
        return StreamBytes(whole.subspan(static_cast<std::size_t>(runs.front().fileOffset),
                                         static_cast<std::size_t>(size)));
    }
    if (!whole.empty()) { // in memory already: a copy in order is quicker than blocks
        std::vector<std::uint8_t> out(static_cast<std::size_t>(size));
        for (std::size_t k = 0; k < runs.size(); ++k) {
            const std::uint64_t end = k + 1 < runs.size() ? runs[k + 1].streamOffset : size;
            std::memcpy(out.data() + runs[k].streamOffset, whole.data() + runs[k].fileOffset,
                        static_cast<std::size_t>(end - runs[k].streamOffset));
        }
        return StreamBytes(std::move(out));
    }
    return StreamBytes(std::make_unique<PagedStream>(file_, std::move(runs),
                                                     static_cast<std::size_t>(size), blockBytes));
}

StreamBytes CompoundFile::miniStream(std::uint32_t start, std::uint64_t size,
                                     const std::string& what) {
    if (size == 0) {
        return {};
    }
    const std::uint64_t containerSize = entries_[0].size;
    const std::vector<PagedStream::Run> container =
        containerSize == 0 ? std::vector<PagedStream::Run>{}
                           : regularRuns(entries_[0].start, containerSize, "ミニストリーム");
    if (size > containerSize) {
        Fail(FaultKind::Corrupt, what + "がミニストリームより大きいです");
    }
    std::vector<std::uint32_t> miniFat;
    for (std::uint32_t s : chainUntilEnd(firstMiniFatSector_, "ミニ FAT ")) {
        const std::span<const std::uint8_t> bytes = sector(s);
        for (std::size_t off = 0; off + 4 <= bytes.size(); off += 4) {
            miniFat.push_back(Le32(bytes.data() + off));
        }
    }
    const std::size_t miniCount = CeilDiv(containerSize, MiniSectorSize);
    const std::size_t count = CeilDiv(size, MiniSectorSize);
    std::vector<std::uint8_t> out(static_cast<std::size_t>(size));
    std::vector<bool> seen(miniCount);
    std::uint32_t s = start;
    for (std::size_t k = 0; k < count; ++k) {
        if (k > 0) {
            if (s >= miniFat.size()) {
                Fail(FaultKind::Corrupt,
                     "ミニセクタ " + std::to_string(s) + " がミニ FAT にありません");
            }
            s = miniFat[s];
        }
        if (s >= miniCount) {
            Fail(FaultKind::Corrupt, what + "のミニセクタ " + std::to_string(s) +
                                         " がミニストリームの外を指しています");
        }
        if (seen[s]) {
            Fail(FaultKind::Corrupt, what + "のミニセクタ連鎖が循環しています");
        }
        seen[s] = true;
        const std::uint64_t offset = std::uint64_t{s} * MiniSectorSize;
        const std::size_t n =
            std::min<std::size_t>(MiniSectorSize, out.size() - k * MiniSectorSize);
        if (containerSize - offset < n) {
            Fail(FaultKind::Corrupt,
                 what + "のミニセクタ " + std::to_string(s) + " が欠けています");
        }
        // A mini sector never crosses a sector of the container, nor a run.
        const auto run = std::upper_bound(container.begin(), container.end(), offset,
                                          [](std::uint64_t at, const PagedStream::Run& r) {
                                              return at < r.streamOffset;
                                          }) -
                         1;
        const std::uint64_t from = run->fileOffset + (offset - run->streamOffset);
        if (file_.copy(from, {out.data() + k * MiniSectorSize, n}) < n) {
            Fail(FaultKind::Truncated, what + "のミニセクタ " + std::to_string(s) +
                                           "（ファイルのオフセット " + std::to_string(from) +
                                           "）が読み込み中になくなりました");
        }
    }
    return StreamBytes(std::move(out));
}

} // namespace tomorine::xls
