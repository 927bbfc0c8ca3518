#pragma once

#include <cstddef>
#include <cstdint>
#include <span>
#include <string>
#include <vector>

namespace tomorine::test {

// One BIFF record of a Workbook stream.
struct BiffRecord {
    std::uint16_t id = 0;
    std::size_t position = 0; // stream position of the record header
    std::vector<std::uint8_t> body;

    std::uint16_t u16(std::size_t at) const;
    std::uint32_t u32(std::size_t at) const;
};

using RecordList = std::vector<BiffRecord>;

// The records of a stream in order, up to the zero padding after the last.
RecordList ListRecords(std::span<const std::uint8_t> stream);

// The records split into substreams, each from its BOF to its EOF.
std::vector<RecordList> SplitSubstreams(const RecordList& records);

// A record's name, length and key fields, e.g.
// "BOF len=16 version=0600 type=0010 build=0dbb year=1996".
std::string Describe(const BiffRecord& record);
// One line per record.
std::string Listing(const RecordList& records);

} // namespace tomorine::test
