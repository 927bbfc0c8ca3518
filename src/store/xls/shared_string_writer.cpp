#include "store/xls/shared_string_writer.h"

#include "store/workbook/utf.h"
#include "store/xls/biff_records.h"
#include "store/xls/le_bytes.h"

#include <algorithm>
#include <bit>
#include <functional>

namespace tomorine::biff {

namespace {

constexpr std::size_t kStringHeader = 3; // character count and option flags

// Characters of `text` that may go before a record boundary when `fit`
// would: a surrogate pair is never cut, since readers decode each piece on
// its own.
std::size_t CharsBeforeBoundary(std::u16string_view text, std::size_t fit) {
    if (fit >= text.size()) {
        return text.size();
    }
    if (fit > 0 && IsHighSurrogate(text[fit - 1])) {
        return fit - 1;
    }
    return fit;
}

// Writes one string whose header fits the open record, going on in CONTINUE
// records as needed.
void WriteString(RecordWriter& out, std::u16string_view text, bool wide) {
    const std::size_t unit = wide ? 2 : 1;
    out.u16(static_cast<std::uint16_t>(text.size()));
    out.u8(wide ? 1 : 0);
    while (!text.empty()) {
        const std::size_t n = CharsBeforeBoundary(text, out.room() / unit);
        if (n == 0) {
            // Character data goes on in a CONTINUE record that starts with
            // the option flags again.
            out.continueRecord();
            out.u8(wide ? 1 : 0);
            continue;
        }
        out.chars(text.substr(0, n), wide);
        text.remove_prefix(n);
    }
}

} // namespace

SharedStrings::SharedStrings(std::size_t expectedTexts) {
    resizeSlots(std::bit_ceil(std::max<std::size_t>(2 * expectedTexts, 1024)));
}

std::uint32_t SharedStrings::add(std::u16string_view text) {
    ++total_;
    if (2 * (strings_.size() + 1) > slots_.size()) {
        resizeSlots(2 * slots_.size());
    }
    const std::size_t hash = std::hash<std::u16string_view>{}(text);
    const std::size_t mask = slots_.size() - 1;
    for (std::size_t i = hash & mask;; i = (i + 1) & mask) {
        const std::uint32_t slot = slots_[i];
        if (slot == 0) {
            const bool wide = NeedsWideChars(text); // as every surrogate is
            loneSurrogate_ = loneSurrogate_ || (wide && HasLoneSurrogate(text));
            strings_.push_back({text, hash, wide});
            slots_[i] = static_cast<std::uint32_t>(strings_.size());
            return static_cast<std::uint32_t>(strings_.size() - 1);
        }
        const Entry& entry = strings_[slot - 1];
        if (entry.hash == hash && entry.text == text) {
            return slot - 1;
        }
    }
}

void SharedStrings::resizeSlots(std::size_t count) {
    slots_.assign(count, 0);
    const std::size_t mask = count - 1;
    for (std::size_t s = 0; s < strings_.size(); ++s) {
        std::size_t i = strings_[s].hash & mask;
        while (slots_[i] != 0) {
            i = (i + 1) & mask;
        }
        slots_[i] = static_cast<std::uint32_t>(s + 1);
    }
}

void SharedStrings::write(RecordWriter& out, std::vector<xls::StoredStringStart>& starts) const {
    out.begin(Sst);
    out.u32(total_);
    out.u32(uniqueCount());
    writeStrings(out, starts);
    out.end();
}

void SharedStrings::writeContinued(RecordWriter& out,
                                   std::vector<xls::StoredStringStart>& starts) const {
    if (!strings_.empty()) {
        out.begin(Continue);
        writeStrings(out, starts);
        out.end();
    }
}

void SharedStrings::writeStrings(RecordWriter& out,
                                 std::vector<xls::StoredStringStart>& starts) const {
    for (const Entry& entry : strings_) {
        const std::size_t unit = entry.wide ? 2 : 1;
        // A string header is never split, nor left at the end of a record
        // without its first character (a whole surrogate pair).
        const std::size_t firstChars = entry.text.empty()               ? 0
                                       : IsHighSurrogate(entry.text[0]) ? 2
                                                                        : 1;
        if (out.room() < kStringHeader + firstChars * unit) {
            out.continueRecord();
        }
        starts.push_back({static_cast<std::uint32_t>(out.position()),
                          static_cast<std::uint16_t>(out.offsetInRecord())});
        WriteString(out, entry.text, entry.wide);
    }
}

void SharedStrings::WriteExtSst(RecordWriter& out, std::span<const xls::StoredStringStart> starts) {
    // At most 128 buckets, unless the count no longer fits its 16 bits.
    const std::size_t perBucket = std::clamp<std::size_t>(starts.size() / 128 + 1, 8, 0xFFFF);
    std::vector<std::uint8_t> body;
    body.reserve(2 + 8 * (starts.size() / perBucket + 1));
    le::PutU16(body, static_cast<std::uint16_t>(perBucket));
    for (std::size_t i = 0; i < starts.size(); i += perBucket) {
        le::PutU32(body, starts[i].position);
        le::PutU16(body, starts[i].offsetInRecord);
        le::PutU16(body, 0);
    }
    out.record(ExtSst, body);
}

} // namespace tomorine::biff
