// The keyword list of workbooks written by xlwt against the list that the
// peer (keyword_peer.py) computes from xlrd's reading of the same file.
#include "keyword_book.h"
#include "support/temp_dir.h"

#include <cstdlib>
#include <gtest/gtest.h>
#include <nlohmann/json.hpp>

namespace tomorine::test {
namespace {

class AgainstPeer : public ::testing::TestWithParam<int> {};

TEST_P(AgainstPeer, SameKeywordsInTheSameOrder) {
    TempDir dir;
    const std::string command = "/usr/bin/python3 '" TOMORINE_KEYWORD_PEER "' '" +
                                (dir / "data.xls").string() + "' " + std::to_string(GetParam()) +
                                " 3000 >'" + (dir / "peer.json").string() + "'";
    ASSERT_EQ(std::system(command.c_str()), 0) << command;
    const std::vector<std::uint8_t> json = ReadBytes(dir / "peer.json");
    const auto expected = nlohmann::json::parse(json)["keywords"].get<std::vector<std::string>>();
    ASSERT_GT(expected.size(), 1000u) << "a list worth comparing";
    const std::vector<std::string> listed = Utf8Keywords(dir / "data.xls");
    ASSERT_EQ(listed.size(), expected.size());
    for (size_t i = 0; i < listed.size(); ++i) {
        ASSERT_EQ(listed[i], expected[i]) << "line " << i;
    }
}

INSTANTIATE_TEST_SUITE_P(Seeds, AgainstPeer, ::testing::Values(1, 2));

} // namespace
} // namespace tomorine::test
