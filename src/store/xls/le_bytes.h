#pragma once

#include <bit>
#include <cstdint>
#include <cstring>
#include <span>
#include <vector>

namespace tomorine::le {

static_assert(std::endian::native == std::endian::little,
              "the .xls writer lays out little-endian values by copying them");

// Appends little-endian values to a byte buffer.
inline void PutU8(std::vector<std::uint8_t>& out, std::uint8_t value) {
    out.push_back(value);
}

template <typename T>
void PutRaw(std::vector<std::uint8_t>& out, T value) {
    const std::size_t at = out.size();
    out.resize(at + sizeof(T));
    std::memcpy(out.data() + at, &value, sizeof(T));
}

inline void PutU16(std::vector<std::uint8_t>& out, std::uint16_t value) {
    PutRaw(out, value);
}
inline void PutU32(std::vector<std::uint8_t>& out, std::uint32_t value) {
    PutRaw(out, value);
}
inline void PutF64(std::vector<std::uint8_t>& out, double value) {
    PutRaw(out, value);
}
inline void PutBytes(std::vector<std::uint8_t>& out, std::span<const std::uint8_t> bytes) {
    out.insert(out.end(), bytes.begin(), bytes.end());
}

inline void SetU16(std::vector<std::uint8_t>& out, std::size_t at, std::uint16_t value) {
    std::memcpy(out.data() + at, &value, sizeof value);
}
inline void SetU32(std::vector<std::uint8_t>& out, std::size_t at, std::uint32_t value) {
    std::memcpy(out.data() + at, &value, sizeof value);
}

} // namespace tomorine::le
