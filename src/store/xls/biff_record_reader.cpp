#include "store/xls/biff_record_reader.h"

#include "store/xls/biff_records.h"
#include "store/xls/le_read.h"
#include "store/xls/xls_fault.h"

#include <algorithm>

namespace tomorine::xls {

BiffRecordReader::BiffRecordReader(std::span<const std::uint8_t> stream, std::size_t begin,
                                   std::size_t end)
    : stream_(stream), end_(std::min(end, stream.size())) {
    pos_ = std::min(begin, end_);
}

bool BiffRecordReader::next(BiffRecord& record) {
    if (pos_ >= end_) {
        return false;
    }
    const bool atStreamEnd = end_ == stream_.size();
    const FaultKind kind = atStreamEnd ? FaultKind::Truncated : FaultKind::Corrupt;
    if (end_ - pos_ < 4) {
        Fail(kind, "オフセット " + std::to_string(pos_) + " のレコードの見出しが欠けています");
    }
    const std::uint8_t* p = stream_.data() + pos_;
    const std::uint16_t length = Le16(p + 2);
    if (end_ - pos_ - 4 < length) {
        Fail(kind, "レコード " + Hex16(Le16(p)) + "（オフセット " + std::to_string(pos_) + "、" +
                       std::to_string(length) + " バイト）が" +
                       (atStreamEnd ? "ストリームの終わり" : "次のシートの始まり") +
                       "を越えています");
    }
    record.id = Le16(p);
    record.body = stream_.subspan(pos_ + 4, length);
    pos_ += 4 + std::size_t{length};
    return true;
}

bool BiffRecordReader::nextContinue(std::span<const std::uint8_t>& body) {
    if (end_ - pos_ < 4 || Le16(stream_.data() + pos_) != biff::Continue) {
        return false;
    }
    BiffRecord record;
    next(record);
    body = record.body;
    return true;
}

} // namespace tomorine::xls
