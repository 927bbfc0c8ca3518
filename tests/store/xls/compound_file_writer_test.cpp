// Compound files around the sizes where the FAT grows a sector or needs
// DIFAT sectors, read by xlrd's compound document reader.
#include "store/xls/compound_file_writer.h"
#include "support/temp_dir.h"
#include "support/xls_peer.h"

#include <gtest/gtest.h>

namespace tomorine {
namespace {

struct SizeCase {
    const char* name;
    std::size_t streamBytes;
    int fatSectors;
    int difatSectors;
};

void PrintTo(const SizeCase& c, std::ostream* os) {
    *os << c.name;
}

constexpr std::size_t kSector = 512;

// A FAT sector maps 128 sectors, its own and the DIFAT's among them; the
// header lists 109 FAT sectors, each DIFAT sector 127 more.
const SizeCase kSizes[] = {
    {"Empty", 0, 1, 0},
    {"BelowMiniStreamCutoff", 4095, 1, 0},
    {"AtCutoff", 4096, 1, 0},
    {"OddSize", 4097, 1, 0},
    {"OneFatSectorFull", 126 * kSector, 1, 0},
    {"SecondFatSector", 126 * kSector + 1, 2, 0},
    {"HeaderDifatFull", 13842 * kSector, 109, 0},
    {"FirstDifatSector", 13842 * kSector + 1, 110, 1},
    {"FirstDifatSectorFull", 29970 * kSector, 236, 1},
    {"SecondDifatSector", 29970 * kSector + 1, 237, 2},
};

class CompoundFileSize : public ::testing::TestWithParam<SizeCase> {};

TEST_P(CompoundFileSize, XlrdReadsTheStreamBack) {
    const SizeCase& c = GetParam();
    std::vector<std::uint8_t> file(cfb::HeaderSize + c.streamBytes);
    for (std::size_t i = cfb::HeaderSize; i < file.size(); ++i) {
        file[i] = static_cast<std::uint8_t>(i * 31 % 251);
    }
    std::vector<std::uint8_t> stream(file.begin() + cfb::HeaderSize, file.end());
    stream.resize(std::max<std::size_t>(stream.size(), 4096), 0); // no mini stream
    cfb::FinishCompoundFile(file);

    test::TempDir dir;
    test::WriteBytes(dir / "file.cfb", file);
    const nlohmann::json peer = test::InspectCompoundFile(dir / "file.cfb", dir / "stream");
    EXPECT_EQ(peer["log"], "");
    EXPECT_TRUE(test::ReadBytes(dir / "stream") == stream) << "stream differs";
    EXPECT_EQ(peer["directory"][1]["size"], stream.size());
    EXPECT_EQ(peer["header"]["fat_sectors"], c.fatSectors);
    EXPECT_EQ(peer["header"]["difat_sectors"], c.difatSectors);
    EXPECT_EQ(peer["fat_sectors_used"], c.fatSectors);
    EXPECT_EQ(peer["difat_sectors_used"], c.difatSectors);
    EXPECT_EQ(peer["unused_sectors"], 0);
    EXPECT_EQ(peer["misflagged_sectors"], 0);
    if (c.difatSectors == 0) {
        EXPECT_EQ(peer["header"]["first_difat_sector"], 0xFFFFFFFEu) << "end of chain";
    }
}

INSTANTIATE_TEST_SUITE_P(Boundaries, CompoundFileSize, ::testing::ValuesIn(kSizes),
                         [](const auto& info) { return std::string(info.param.name); });

} // namespace
} // namespace tomorine
