#include "store/xls/biff_record_reader.h"

#include "store/xls/biff_records.h"
#include "store/xls/le_read.h"
#include "store/xls/xls_fault.h"

namespace tomorine::xls {

bool BiffRecordReader::next(BiffRecord& record) {
    const std::size_t left = stream_.size() - pos_;
    if (left == 0) {
        return false;
    }
    if (left < 4) {
        Fail(FaultKind::Truncated,
             "オフセット " + std::to_string(pos_) + " のレコードの見出しが欠けています");
    }
    const std::uint8_t* p = stream_.data() + pos_;
    const std::uint16_t length = Le16(p + 2);
    if (left - 4 < length) {
        Fail(FaultKind::Truncated, "レコード " + Hex16(Le16(p)) + "（オフセット " +
                                       std::to_string(pos_) + "、" + std::to_string(length) +
                                       " バイト）がストリームの終わりを越えています");
    }
    record.id = Le16(p);
    record.body = stream_.subspan(pos_ + 4, length);
    pos_ += 4 + std::size_t{length};
    return true;
}

bool BiffRecordReader::nextContinue(std::span<const std::uint8_t>& body) {
    if (stream_.size() - pos_ < 4 || Le16(stream_.data() + pos_) != biff::Continue) {
        return false;
    }
    BiffRecord record;
    next(record);
    body = record.body;
    return true;
}

} // namespace tomorine::xls
