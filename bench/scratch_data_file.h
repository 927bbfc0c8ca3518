#pragma once

#include "store/data_connection.h"
#include "store/entry.h"

#include <cstdint>
#include <filesystem>
#include <vector>

namespace tomorine::bench {

// A data file holding the given entries in a fresh temporary folder, which
// goes away with the object; each run of an import starts from its first
// bytes again.
class ScratchDataFile {
public:
    explicit ScratchDataFile(const std::vector<Entry>& entries);
    ~ScratchDataFile();
    ScratchDataFile(const ScratchDataFile&) = delete;
    ScratchDataFile& operator=(const ScratchDataFile&) = delete;

    const std::filesystem::path& dir() const { return dir_; }
    const std::filesystem::path& data() const { return data_; }

    // Puts the data file back as it was first written; a state that points at it.
    StoreState restored() const;

private:
    std::filesystem::path dir_;
    std::filesystem::path data_;
    std::vector<std::uint8_t> bytes_;
};

} // namespace tomorine::bench
