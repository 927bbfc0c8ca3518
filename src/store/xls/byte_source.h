#pragma once

#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <span>
#include <vector>

namespace tomorine::xls {

// The bytes of a file read at any offset: the file in memory, or a
// descriptor read with pread, so that only the parts asked for are held.
class ByteSource {
public:
    virtual ~ByteSource() = default;

    // The file's size when it was opened; it may have shrunk since.
    virtual std::uint64_t size() const = 0;
    // Up to `length` bytes from `offset`, fewer where the file ends now. The
    // span is valid until the next read into `buffer`.
    virtual std::span<const std::uint8_t> read(std::uint64_t offset, std::size_t length,
                                               std::vector<std::uint8_t>& buffer) = 0;
    // Copies the bytes from `offset` into `out`; returns how many there were.
    virtual std::size_t copy(std::uint64_t offset, std::span<std::uint8_t> out) = 0;
    // The whole file when it is in memory already, else empty.
    virtual std::span<const std::uint8_t> whole() const { return {}; }
};

class MemorySource final : public ByteSource {
public:
    explicit MemorySource(std::span<const std::uint8_t> bytes) : bytes_(bytes) {}

    std::uint64_t size() const override { return bytes_.size(); }
    std::span<const std::uint8_t> read(std::uint64_t offset, std::size_t length,
                                       std::vector<std::uint8_t>& buffer) override;
    std::size_t copy(std::uint64_t offset, std::span<std::uint8_t> out) override;
    std::span<const std::uint8_t> whole() const override { return bytes_; }

private:
    std::span<const std::uint8_t> bytes_;
};

// Reads with pread from a descriptor the caller keeps open. A failing read
// throws WorkbookError naming `name`.
class DescriptorSource : public ByteSource {
public:
    DescriptorSource(int fd, std::uint64_t size, const std::filesystem::path& name)
        : fd_(fd), size_(size), name_(name) {}

    std::uint64_t size() const override { return size_; }
    std::span<const std::uint8_t> read(std::uint64_t offset, std::size_t length,
                                       std::vector<std::uint8_t>& buffer) override;
    std::size_t copy(std::uint64_t offset, std::span<std::uint8_t> out) override;

private:
    std::size_t readAt(std::uint64_t offset, std::span<std::uint8_t> out) const;

    int fd_;
    std::uint64_t size_;
    std::filesystem::path name_;
};

} // namespace tomorine::xls
