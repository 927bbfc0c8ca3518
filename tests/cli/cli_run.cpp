#include "cli/cli_run.h"

#include "store/workbook/utf.h"
#include "support/temp_dir.h"

#include <cstring>
#include <fcntl.h>
#include <fstream>
#include <nlohmann/json.hpp>
#include <spawn.h>
#include <stdexcept>
#include <sys/wait.h>

extern char** environ;

namespace tomorine::test {

namespace {

std::string ReadText(const std::filesystem::path& path) {
    std::vector<std::uint8_t> bytes = ReadBytes(path);
    return std::string(bytes.begin(), bytes.end());
}

std::vector<std::string> Environment(const std::filesystem::path& home) {
    std::vector<std::string> env;
    for (char** item = environ; *item != nullptr; ++item) {
        if (std::strncmp(*item, "TOMORINE_HOME=", 14) != 0) {
            env.emplace_back(*item);
        }
    }
    env.push_back("TOMORINE_HOME=" + home.string());
    return env;
}

std::vector<char*> Pointers(std::vector<std::string>& texts) {
    std::vector<char*> pointers;
    for (std::string& text : texts) {
        pointers.push_back(text.data());
    }
    pointers.push_back(nullptr);
    return pointers;
}

} // namespace

CliRun RunCli(const std::filesystem::path& home, const std::vector<std::string>& args,
              const std::string& input, const std::filesystem::path& cwd) {
    TempDir io;
    const std::filesystem::path in = io / "in", out = io / "out", err = io / "err";
    WriteBytes(in, std::vector<std::uint8_t>(input.begin(), input.end()));
    std::vector<std::string> argv = {TOMORINE_CLI};
    argv.insert(argv.end(), args.begin(), args.end());
    std::vector<std::string> env = Environment(home);
    std::vector<char*> argvPointers = Pointers(argv), envPointers = Pointers(env);

    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_addopen(&actions, 0, in.c_str(), O_RDONLY, 0);
    posix_spawn_file_actions_addopen(&actions, 1, out.c_str(), O_WRONLY | O_CREAT, 0600);
    posix_spawn_file_actions_addopen(&actions, 2, err.c_str(), O_WRONLY | O_CREAT, 0600);
    const std::filesystem::path folder = cwd.empty() ? io.path() : cwd;
    posix_spawn_file_actions_addchdir_np(&actions, folder.c_str());
    pid_t pid = 0;
    int rc =
        posix_spawn(&pid, TOMORINE_CLI, &actions, nullptr, argvPointers.data(), envPointers.data());
    posix_spawn_file_actions_destroy(&actions);
    if (rc != 0) {
        throw std::runtime_error("cannot start tomorine-cli");
    }
    int wstatus = 0;
    waitpid(pid, &wstatus, 0);
    CliRun run;
    run.status = WIFEXITED(wstatus) ? WEXITSTATUS(wstatus) : 128 + WTERMSIG(wstatus);
    run.out = ReadText(out);
    run.err = ReadText(err);
    return run;
}

int LineCount(const std::string& text) {
    int lines = 0;
    for (char c : text) {
        lines += c == '\n';
    }
    return lines;
}

} // namespace tomorine::test

namespace tomorine::test {

std::vector<Entry> ParseHits(const std::string& json) {
    std::vector<Entry> entries;
    const nlohmann::json parsed = nlohmann::json::parse(json);
    for (const nlohmann::json& hit : parsed.at("hits")) {
        auto text = [&](const char* name) { return FromUtf8(hit.at(name).get<std::string>()); };
        entries.push_back(Entry{hit.at("serial").get<std::int32_t>(), text("url"), text("title"),
                                text("subtitle"), text("keywords"), text("comment")});
    }
    return entries;
}

std::string Utf8(std::u16string_view text) {
    return ToUtf8(text);
}

} // namespace tomorine::test

namespace tomorine {

bool operator==(const Entry& a, const Entry& b) {
    return a.serial == b.serial && a.url == b.url && a.title == b.title &&
           a.subtitle == b.subtitle && a.keywords == b.keywords && a.comment == b.comment;
}

void PrintTo(const Entry& e, std::ostream* os) {
    *os << e.serial << " url=" << ToUtf8(e.url) << " title=" << ToUtf8(e.title)
        << " subtitle=" << ToUtf8(e.subtitle) << " keywords=" << ToUtf8(e.keywords)
        << " comment=" << ToUtf8(e.comment);
}

} // namespace tomorine
