#include "store/settings/app_dir.h"
#include "support/temp_dir.h"

#include <cstdlib>
#include <gtest/gtest.h>

namespace tomorine {
namespace {

namespace fs = std::filesystem;

// Saves and restores the environment and the current folder around a test.
class AppDirTest : public testing::Test {
protected:
    void SetUp() override {
        for (const char* name : kNames) {
            const char* value = std::getenv(name);
            saved_.emplace_back(name, value ? std::optional<std::string>(value) : std::nullopt);
        }
        savedCwd_ = fs::current_path();
        fs::current_path(dir.path());
        ResetAppDirCache();
    }

    void TearDown() override {
        for (const auto& [name, value] : saved_) {
            set(name, value);
        }
        fs::current_path(savedCwd_);
        ResetAppDirCache();
    }

    static void set(const char* name, const std::optional<std::string>& value) {
        if (value) {
            ::setenv(name, value->c_str(), 1);
        } else {
            ::unsetenv(name);
        }
    }

    // "@" in a value stands for the test's folder.
    std::optional<std::string> expand(const std::optional<std::string>& value) const {
        if (!value || value->find('@') == std::string::npos) {
            return value;
        }
        std::string text = *value;
        text.replace(text.find('@'), 1, fs::current_path().string());
        return text;
    }

    static constexpr const char* kNames[] = {"TOMORINE_HOME", "XDG_DATA_HOME", "HOME"};
    test::TempDir dir;

private:
    std::vector<std::pair<const char*, std::optional<std::string>>> saved_;
    fs::path savedCwd_;
};

struct EnvCase {
    const char* name;
    std::optional<std::string> tomorineHome;
    std::optional<std::string> xdgDataHome;
    std::string expected;
};

void PrintTo(const EnvCase& c, std::ostream* os) {
    *os << c.name;
}

class AppDirFromEnvironment : public AppDirTest, public testing::WithParamInterface<EnvCase> {};

TEST_P(AppDirFromEnvironment, ChoosesAndCreatesTheFolder) {
    const EnvCase& c = GetParam();
    set("TOMORINE_HOME", expand(c.tomorineHome));
    set("XDG_DATA_HOME", expand(c.xdgDataHome));
    set("HOME", expand("@/home"));

    const std::string appDir = GetAppDir();
    EXPECT_EQ(appDir, *expand(c.expected));
    EXPECT_TRUE(fs::is_directory(appDir));
}

INSTANTIATE_TEST_SUITE_P(
    Table, AppDirFromEnvironment,
    testing::Values(
        EnvCase{"TomorineHome", "@/th", std::nullopt, "@/th/"},
        EnvCase{"TomorineHomeWithSlash", "@/th/", std::nullopt, "@/th/"},
        EnvCase{"TomorineHomeWins", "@/th", "@/xdg", "@/th/"},
        EnvCase{"RelativeTomorineHome", "rel/./th", std::nullopt, "@/rel/th/"},
        EnvCase{"EmptyTomorineHome", "", "@/xdg", "@/xdg/tomorine/"},
        EnvCase{"XdgDataHome", std::nullopt, "@/xdg", "@/xdg/tomorine/"},
        EnvCase{"RelativeXdgDataHomeIgnored", std::nullopt, "xdg", "@/home/.local/share/tomorine/"},
        EnvCase{"NeitherSet", std::nullopt, std::nullopt, "@/home/.local/share/tomorine/"}),
    [](const auto& info) { return std::string(info.param.name); });

TEST_F(AppDirTest, SameTextAfterTheCurrentFolderAndEnvironmentChange) {
    set("TOMORINE_HOME", "rel");
    const std::string first = GetAppDir();
    fs::create_directory(dir / "elsewhere");
    fs::current_path(dir / "elsewhere");
    set("TOMORINE_HOME", expand("@/other"));

    EXPECT_EQ(GetAppDir(), first);
    ResetAppDirCache();
    EXPECT_EQ(GetAppDir(), (dir / "elsewhere" / "other").string() + "/");
}

} // namespace
} // namespace tomorine
