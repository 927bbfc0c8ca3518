#include "store/xls/byte_source.h"

#include "store/workbook/workbook_error.h"

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <unistd.h>

namespace tomorine::xls {

std::span<const std::uint8_t> MemorySource::read(std::uint64_t offset, std::size_t length,
                                                 std::vector<std::uint8_t>&) {
    if (offset >= bytes_.size()) {
        return {};
    }
    const std::size_t at = static_cast<std::size_t>(offset);
    return bytes_.subspan(at, std::min(length, bytes_.size() - at));
}

std::size_t MemorySource::copy(std::uint64_t offset, std::span<std::uint8_t> out) {
    std::vector<std::uint8_t> unused;
    const std::span<const std::uint8_t> got = read(offset, out.size(), unused);
    if (!got.empty()) {
        std::memcpy(out.data(), got.data(), got.size());
    }
    return got.size();
}

std::span<const std::uint8_t> DescriptorSource::read(std::uint64_t offset, std::size_t length,
                                                     std::vector<std::uint8_t>& buffer) {
    buffer.resize(length);
    buffer.resize(readAt(offset, buffer));
    return buffer;
}

std::size_t DescriptorSource::copy(std::uint64_t offset, std::span<std::uint8_t> out) {
    return readAt(offset, out);
}

std::size_t DescriptorSource::readAt(std::uint64_t offset, std::span<std::uint8_t> out) const {
    std::size_t done = 0;
    while (done < out.size()) {
        const ssize_t got =
            ::pread(fd_, out.data() + done, out.size() - done, static_cast<off_t>(offset + done));
        if (got < 0 && errno == EINTR) {
            continue;
        }
        if (got < 0) {
            throw FileError(errno, "読み込み", name_);
        }
        if (got == 0) {
            break; // the file ends here now
        }
        done += static_cast<std::size_t>(got);
    }
    return done;
}

} // namespace tomorine::xls
