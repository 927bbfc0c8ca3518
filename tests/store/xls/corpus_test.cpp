#include "store/workbook/workbook_error.h"
#include "store/xls/xls_file.h"
#include "support/temp_dir.h"
#include "support/xls_peer.h"

#include <algorithm>
#include <fstream>
#include <gmock/gmock.h>
#include <gtest/gtest.h>

namespace tomorine {
namespace {

using ::testing::HasSubstr;

enum class Outcome { Refused, SameAsLenientXlrd };

struct Special {
    const char* file;
    Outcome outcome;
    int number;
    const char* phrase;
};

// Every other file must read exactly as its .json (xlrd 1.2's values) says.
const Special kSpecialFiles[] = {
    {"calamine__too_small.xls", Outcome::Refused, ErrorNumber::NotInExpectedFormat,
     "Excel 97-2003 ブックではありません"},
    {"derived__12561-1_truncated20000.xls", Outcome::Refused, ErrorNumber::NotInExpectedFormat,
     "途中で切れています"},
    // Its directory chain runs past the end of the file.
    {"edr__Test_Issue_12556_corrupt.xls", Outcome::Refused, ErrorNumber::NotInExpectedFormat,
     "途中で切れています"},
    {"parseexcel__encrypted.xls", Outcome::Refused, ErrorNumber::Encrypted, "暗号化されています"},
    // Excel 95 (BIFF7): xlrd reads it, we refuse it with a clear reason.
    {"parseexcel__Test95J.xls", Outcome::Refused, ErrorNumber::NotInExpectedFormat,
     "Excel 97 より前の形式"},
    // xlrd refuses these, but their data is intact.
    {"edr__Test_git_issue624.xls", Outcome::SameAsLenientXlrd, 0, ""},
    {"edr__Test_git_issue_477_sst_wrong_count.xls", Outcome::SameAsLenientXlrd, 0, ""},
    {"xlrd__corrupted_error.xls", Outcome::SameAsLenientXlrd, 0, ""},
};

std::vector<std::string> CorpusFiles() {
    std::vector<std::string> files;
    const std::filesystem::path dir = test::CorpusDir();
    if (!dir.empty()) {
        for (const auto& entry : std::filesystem::directory_iterator(dir)) {
            if (entry.path().extension() == ".xls") {
                files.push_back(entry.path().filename().string());
            }
        }
    }
    std::sort(files.begin(), files.end());
    if (files.empty()) {
        files.push_back(""); // one test that skips
    }
    return files;
}

const Special* FindSpecial(const std::string& file) {
    for (const Special& s : kSpecialFiles) {
        if (file == s.file) {
            return &s;
        }
    }
    return nullptr;
}

nlohmann::json CorpusValues(const std::filesystem::path& file) {
    std::ifstream in(file.string() + ".json");
    return nlohmann::json::parse(in, nullptr, false);
}

class CorpusTest : public ::testing::TestWithParam<std::string> {};

TEST_P(CorpusTest, ReadsWhatXlrdReadsOrRefusesClearly) {
    if (GetParam().empty()) {
        GTEST_SKIP() << "the .xls corpus is not there";
    }
    const std::filesystem::path file = test::CorpusDir() / GetParam();
    const Special* special = FindSpecial(GetParam());
    if (special != nullptr && special->outcome == Outcome::Refused) {
        try {
            ReadXlsFile(file);
            FAIL() << "read without complaint";
        } catch (const WorkbookError& e) {
            EXPECT_EQ(e.number(), special->number) << e.what();
            EXPECT_THAT(e.what(), HasSubstr(special->phrase));
            EXPECT_THAT(e.what(), HasSubstr("「" + file.string() + "」"));
        }
        return;
    }
    nlohmann::json expected;
    if (special != nullptr) {
        expected = test::XlrdValues(file, test::XlrdMode::Lenient);
    } else {
        ASSERT_TRUE(std::filesystem::exists(file.string() + ".json"))
            << "neither xlrd's values nor an expected outcome for this file";
        expected = CorpusValues(file);
    }
    const Workbook book = ReadXlsFile(file);
    EXPECT_TRUE(test::SameAsXlrd(book, expected));
}

std::string TestName(const ::testing::TestParamInfo<std::string>& info) {
    std::string name = info.param.empty() ? "missing" : info.param;
    std::replace_if(
        name.begin(), name.end(),
        [](char c) { return !std::isalnum(static_cast<unsigned char>(c)); }, '_');
    return name;
}

INSTANTIATE_TEST_SUITE_P(Files, CorpusTest, ::testing::ValuesIn(CorpusFiles()), TestName);

} // namespace
} // namespace tomorine
