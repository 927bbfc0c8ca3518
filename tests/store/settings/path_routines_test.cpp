#include "store/settings/app_dir.h"
#include "store/settings/path_routines.h"
#include "store/settings/settings_file.h"
#include "support/temp_dir.h"

#include <cstdlib>
#include <functional>
#include <gtest/gtest.h>
#include <map>

namespace tomorine {
namespace {

namespace fs = std::filesystem;
using Routine = std::function<std::string(std::string_view)>;

std::string Split(std::string_view path) {
    FilePathParts parts = SplitFilePath(path);
    return parts.folder + "|" + parts.fileName;
}

std::string Extension(std::string_view name) {
    FileNameParts parts = SplitFileExtension(name);
    return parts.baseName + "|" + parts.extension;
}

// "/x.xls" is a file in the root folder: no folder and no file name.
TEST(PathRoutines, SplitAsTheSettingsRulesSay) {
    const std::tuple<Routine, std::string, std::string> cases[] = {
        {GetFolderPart, "x.xls", ""},
        {GetFolderPart, "/home/u/x.xls", "/home/u/"},
        {Split, "/x.xls", "|"},
        {Split, "dir/x.xls", "|"},
        {Split, "./x.xls", "./|x.xls"},
        {Split, "../../x", "../../|x"},
        {Split, "/home/u/", "/home/u/|"},
        {Extension, "a.b.xls", "a.b|xls"},
        {Extension, "noext", "|"},
        {Extension, ".ini", "|ini"},
        {GetIniPath, "/home/u/d.xls", "/home/u/トモリネ.ini"},
        {GetIniPath, "d.xls", "トモリネ.ini"}};
    for (const auto& [routine, path, expected] : cases) {
        EXPECT_EQ(routine(path), expected) << path;
    }
}

// Runs in a folder of its own ("@" in texts) and puts the environment back.
class InTempFolder : public testing::Test {
protected:
    using Env = std::optional<std::string>;

    InTempFolder() {
        for (const char* name : {"TOMORINE_HOME", "XDG_DATA_HOME", "HOME"}) {
            saved_[name] = std::getenv(name) ? Env(std::getenv(name)) : std::nullopt;
        }
        fs::current_path(dir.path());
        ResetAppDirCache();
    }
    ~InTempFolder() override {
        for (const auto& [name, value] : saved_) {
            value ? ::setenv(name.c_str(), value->c_str(), 1) : ::unsetenv(name.c_str());
        }
        fs::current_path(cwd_);
        ResetAppDirCache();
    }

    static void set(const char* name, const Env& value) {
        value ? ::setenv(name, at(*value).c_str(), 1) : ::unsetenv(name);
    }
    static std::string at(std::string text) {
        if (size_t i = text.find('@'); i != std::string::npos) {
            text.replace(i, 1, fs::current_path().string());
        }
        return text;
    }

    const fs::path cwd_ = fs::current_path();
    test::TempDir dir;
    std::map<std::string, Env> saved_;
};

TEST_F(InTempFolder, AbsolutePathsAreNormalAndAnEmptyPathStaysEmpty) {
    fs::create_directory(dir / "cwd");
    fs::current_path(dir / "cwd");
    for (auto [path, expected] : {std::pair<std::string, std::string>{"", ""},
                                  {"./a/../表.xls", "@/表.xls"},
                                  {"../x.xls", (dir / "x.xls").string()},
                                  {"/a//b/./../c.xls", "/a/c.xls"},
                                  {"/..", "/"},
                                  {"missing/x", "@/missing/x"}}) {
        EXPECT_EQ(GetAbsolutePath(path), at(expected)) << path;
    }
}

TEST_F(InTempFolder, AppDirComesFromTheEnvironmentAndIsCreated) {
    for (auto [tomorineHome, xdgDataHome, expected] :
         {std::tuple<Env, Env, std::string>{"@/th/", "@/xdg", "@/th/"},
          {"rel/./th", std::nullopt, "@/rel/th/"},
          {"", "@/xdg", "@/xdg/tomorine/"},
          {std::nullopt, "xdg", "@/home/.local/share/tomorine/"}, // relative: ignored
          {std::nullopt, std::nullopt, "@/home/.local/share/tomorine/"}}) {
        set("TOMORINE_HOME", tomorineHome);
        set("XDG_DATA_HOME", xdgDataHome);
        set("HOME", "@/home");
        ResetAppDirCache();
        EXPECT_EQ(GetAppDir(), at(expected));
        EXPECT_TRUE(fs::is_directory(GetAppDir()));
    }
}

TEST_F(InTempFolder, AppDirKeepsItsTextWhenTheFolderAndEnvironmentChange) {
    set("TOMORINE_HOME", "rel");
    const std::string first = GetAppDir();
    fs::create_directory(dir / "elsewhere");
    fs::current_path(dir / "elsewhere");
    set("TOMORINE_HOME", "@/other");
    EXPECT_EQ(GetAppDir(), first);
}

} // namespace
} // namespace tomorine
