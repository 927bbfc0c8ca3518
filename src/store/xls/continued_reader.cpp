#include "store/xls/continued_reader.h"

#include "store/xls/le_read.h"
#include "store/xls/xls_fault.h"

#include <algorithm>
#include <bit>
#include <cstring>

namespace tomorine::xls {

namespace {

void AppendChars(std::u16string& out, const std::uint8_t* p, std::size_t n, bool wide) {
    const std::size_t old = out.size();
    out.resize(old + n);
    char16_t* d = out.data() + old;
    if (!wide) {
        for (std::size_t i = 0; i < n; ++i) {
            d[i] = p[i];
        }
    } else if constexpr (std::endian::native == std::endian::little) {
        std::memcpy(d, p, 2 * n);
    } else {
        for (std::size_t i = 0; i < n; ++i) {
            d[i] = Le16(p + 2 * i);
        }
    }
}

} // namespace

bool ContinuedReader::nextPiece() {
    std::span<const std::uint8_t> body;
    while (records_.nextContinue(body)) {
        if (!body.empty()) {
            piece_ = body;
            pos_ = 0;
            pieceOffset_ = 4;
            return true;
        }
    }
    return false;
}

void ContinuedReader::ranOut() const {
    Fail(FaultKind::Corrupt, std::string(what_) + "のデータが途中で終わっています");
}

bool ContinuedReader::atEnd() {
    return pos_ == piece_.size() && !nextPiece();
}

std::uint8_t ContinuedReader::u8() {
    if (pos_ == piece_.size() && !nextPiece()) {
        ranOut();
    }
    return piece_[pos_++];
}

std::uint16_t ContinuedReader::u16() {
    if (piece_.size() - pos_ >= 2) {
        const std::uint16_t v = Le16(piece_.data() + pos_);
        pos_ += 2;
        return v;
    }
    const std::uint16_t lo = u8();
    const std::uint16_t hi = u8();
    return static_cast<std::uint16_t>(lo | hi << 8);
}

std::uint32_t ContinuedReader::u32() {
    const std::uint32_t lo = u16();
    const std::uint32_t hi = u16();
    return lo | hi << 16;
}

void ContinuedReader::skip(std::size_t count) {
    while (count > 0) {
        if (pos_ == piece_.size() && !nextPiece()) {
            ranOut();
        }
        const std::size_t n = std::min(count, piece_.size() - pos_);
        pos_ += n;
        count -= n;
    }
}

void ContinuedReader::chars(std::size_t count, bool wide, std::u16string& out) {
    while (count > 0) {
        if (pos_ == piece_.size()) {
            if (!nextPiece()) {
                ranOut();
            }
            wide = (piece_[pos_++] & 0x01) != 0;
            continue;
        }
        const std::size_t unit = wide ? 2 : 1;
        const std::size_t n = std::min(count, (piece_.size() - pos_) / unit);
        if (n == 0) {
            // Half a character before a CONTINUE; other readers drop it too.
            pos_ = piece_.size();
            continue;
        }
        AppendChars(out, piece_.data() + pos_, n, wide);
        pos_ += n * unit;
        count -= n;
    }
}

std::u16string ContinuedReader::string(int lengthBytes, bool flagsWhenEmpty) {
    std::u16string text;
    string(lengthBytes, flagsWhenEmpty, text);
    return text;
}

void ContinuedReader::string(int lengthBytes, bool flagsWhenEmpty, std::u16string& text) {
    const std::size_t length = lengthBytes == 1 ? u8() : u16();
    text.clear();
    if (length == 0 && !flagsWhenEmpty) {
        return;
    }
    const std::uint8_t flags = u8();
    const std::size_t runs = (flags & 0x08) != 0 ? u16() : 0;
    const std::size_t phonetic = (flags & 0x04) != 0 ? u32() : 0;
    text.reserve(length);
    chars(length, (flags & 0x01) != 0, text);
    skip(4 * runs);
    skip(phonetic);
}

} // namespace tomorine::xls
