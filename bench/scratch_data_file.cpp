#include "scratch_data_file.h"

#include "entry_generator.h"
#include "store/xls/xls_file.h"

#include <cstdlib>
#include <fstream>
#include <iterator>
#include <string>

namespace tomorine::bench {

namespace fs = std::filesystem;

ScratchDataFile::ScratchDataFile(const std::vector<Entry>& entries) {
    std::string pattern = (fs::temp_directory_path() / "tomorine-bench-XXXXXX").string();
    dir_ = mkdtemp(pattern.data());
    data_ = dir_ / "トモリネ.xls";
    WriteXlsFile(DataWorkbookWith(entries), data_);
    std::ifstream in(data_, std::ios::binary);
    bytes_.assign(std::istreambuf_iterator<char>(in), {});
}

ScratchDataFile::~ScratchDataFile() {
    fs::remove_all(dir_);
}

StoreState ScratchDataFile::restored() const {
    std::ofstream out(data_, std::ios::binary | std::ios::trunc);
    out.write(reinterpret_cast<const char*>(bytes_.data()),
              static_cast<std::streamsize>(bytes_.size()));
    out.close();
    StoreState store;
    store.dataFilePath = data_;
    return store;
}

} // namespace tomorine::bench
