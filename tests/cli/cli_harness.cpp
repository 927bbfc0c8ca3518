#include "cli/cli_harness.h"

#include "store/data_workbook.h"
#include "store/entry_statements.h"
#include "store/table/connection.h"
#include "store/workbook/utf.h"
#include "support/temp_dir.h"

#include <algorithm>
#include <cstdlib>
#include <sys/wait.h>

namespace tomorine::test {

namespace {

std::string Quoted(const std::string& text) {
    std::string quoted = "'";
    for (char c : text) {
        quoted += c == '\'' ? std::string("'\\''") : std::string(1, c);
    }
    return quoted + "'";
}

std::string ReadText(const std::filesystem::path& path) {
    const std::vector<std::uint8_t> bytes = ReadBytes(path);
    return std::string(bytes.begin(), bytes.end());
}

} // namespace

CliRun RunCli(const std::filesystem::path& home, const std::vector<std::string>& args,
              const std::string& input) {
    TempDir io;
    WriteBytes(io / "in", std::vector<std::uint8_t>(input.begin(), input.end()));
    std::string command = "cd " + Quoted(home.parent_path().string()) +
                          " && TOMORINE_HOME=" + Quoted(home.string()) + " exec " +
                          Quoted(TOMORINE_CLI);
    for (const std::string& arg : args) {
        command += " " + Quoted(arg);
    }
    command += " <" + Quoted((io / "in").string()) + " >" + Quoted((io / "out").string()) + " 2>" +
               Quoted((io / "err").string());
    const int status = std::system(command.c_str());
    return {WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status), ReadText(io / "out"),
            ReadText(io / "err")};
}

CliRun RunOn(const std::filesystem::path& data, std::vector<std::string> args,
             const std::string& input) {
    args.insert(args.begin() + 1, {"--data", data.string()});
    return RunCli(data.parent_path() / "home", args, input);
}

int LineCount(const std::string& text) {
    return static_cast<int>(std::count(text.begin(), text.end(), '\n'));
}

nlohmann::json Hits(const std::vector<Entry>& entries) {
    nlohmann::json hits = nlohmann::json::array();
    for (const Entry& e : entries) {
        hits.push_back({{"serial", e.serial},
                        {"url", ToUtf8(e.url)},
                        {"title", ToUtf8(e.title)},
                        {"subtitle", ToUtf8(e.subtitle)},
                        {"keywords", ToUtf8(e.keywords)},
                        {"comment", ToUtf8(e.comment)}});
    }
    return {{"hits", hits}};
}

void WriteDataWorkbook(const std::filesystem::path& path, const std::vector<Entry>& entries,
                       const std::vector<int>& deleted) {
    Connection connection(path, NewDataWorkbook());
    for (const Entry& entry : entries) {
        connection.execute(BuildInsertStatement(entry.serial, entry));
    }
    for (int serial : deleted) {
        connection.execute(u"UPDATE [トモリネ$] SET 削除 = 1 WHERE シリアル番号 = " +
                           FromUtf8(std::to_string(serial)));
    }
    connection.close();
}

} // namespace tomorine::test
