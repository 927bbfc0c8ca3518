#pragma once

#include <filesystem>

namespace tomorine {

// `path` against the working folder, normalised; as given (normalised) when
// the working folder is gone.
inline std::filesystem::path AbsolutePath(const std::filesystem::path& path) {
    std::error_code error;
    const std::filesystem::path absolute = std::filesystem::absolute(path, error);
    return (error ? path : absolute).lexically_normal();
}

} // namespace tomorine
