#pragma once

#include <bit>
#include <cstdint>

namespace tomorine::xls {

// Little-endian fields at any alignment; the file's bytes are never cast.
inline std::uint16_t Le16(const std::uint8_t* p) {
    return static_cast<std::uint16_t>(p[0] | p[1] << 8);
}

inline std::uint32_t Le32(const std::uint8_t* p) {
    return static_cast<std::uint32_t>(p[0]) | static_cast<std::uint32_t>(p[1]) << 8 |
           static_cast<std::uint32_t>(p[2]) << 16 | static_cast<std::uint32_t>(p[3]) << 24;
}

inline std::uint64_t Le64(const std::uint8_t* p) {
    return static_cast<std::uint64_t>(Le32(p)) | static_cast<std::uint64_t>(Le32(p + 4)) << 32;
}

inline double LeDouble(const std::uint8_t* p) {
    return std::bit_cast<double>(Le64(p));
}

} // namespace tomorine::xls
