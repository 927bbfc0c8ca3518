#include "store/xls/biff_record_reader.h"

#include "store/xls/biff_records.h"
#include "store/xls/le_read.h"
#include "store/xls/xls_fault.h"

namespace tomorine::xls {

bool BiffRecordReader::take(BiffRecord& record, std::size_t kept) {
    const std::size_t left = stream_.size() - pos_;
    if (left == 0) {
        return false;
    }
    if (left < 4) {
        Fail(FaultKind::Truncated,
             "オフセット " + std::to_string(pos_) + " のレコードの見出しが欠けています");
    }
    require(pos_, 4, kept);
    const std::uint8_t* p = stream_.data() + pos_;
    const std::uint16_t id = Le16(p);
    const std::uint16_t length = Le16(p + 2);
    if (left - 4 < length) {
        Fail(FaultKind::Truncated, "レコード " + Hex16(id) + "（オフセット " +
                                       std::to_string(pos_) + "、" + std::to_string(length) +
                                       " バイト）がストリームの終わりを越えています");
    }
    require(pos_ + 4, length, kept);
    record.id = id;
    record.body = stream_.subspan(pos_ + 4, length);
    pos_ += 4 + std::size_t{length};
    return true;
}

bool BiffRecordReader::next(BiffRecord& record) {
    const std::size_t start = pos_;
    if (!take(record, taken_.size() - 1)) {
        return false;
    }
    if (pages_ != nullptr) {
        std::shift_left(taken_.begin(), taken_.end(), 1);
        taken_.back() = {start, pos_};
    }
    return true;
}

bool BiffRecordReader::nextContinue(std::span<const std::uint8_t>& body) {
    if (stream_.size() - pos_ < 4) {
        return false;
    }
    require(pos_, 2, taken_.size());
    if (Le16(stream_.data() + pos_) != biff::Continue) {
        return false;
    }
    BiffRecord record;
    take(record, taken_.size());
    body = record.body;
    return true;
}

std::span<const std::uint8_t> BiffRecordReader::bytesAt(std::size_t offset, std::size_t length) {
    require(offset, length, taken_.size());
    return stream_.subspan(offset, length);
}

} // namespace tomorine::xls
