#include "xls_peer.h"

#include "support/temp_dir.h"

#include <cstdio>
#include <fstream>
#include <gtest/gtest.h>
#include <sys/wait.h>

namespace tomorine::test {

namespace {

std::string ShellQuoted(const std::string& text) {
    std::string quoted = "'";
    for (char c : text) {
        quoted += c == '\'' ? std::string("'\\''") : std::string(1, c);
    }
    return quoted + "'";
}

} // namespace

nlohmann::json RunXlsPeer(const std::vector<std::string>& arguments) {
    std::string command = "/usr/bin/python3 " + ShellQuoted(std::string(TOMORINE_SOURCE_DIR) +
                                                            "/tests/store/xls/xls_peer.py");
    for (const std::string& argument : arguments) {
        command += " " + ShellQuoted(argument);
    }
    FILE* pipe = ::popen(command.c_str(), "r");
    if (pipe == nullptr) {
        ADD_FAILURE() << "cannot run " << command;
        return {};
    }
    std::string output;
    char buffer[65536];
    for (std::size_t n; (n = std::fread(buffer, 1, sizeof buffer, pipe)) > 0;) {
        output.append(buffer, n);
    }
    const int status = ::pclose(pipe);
    if (!WIFEXITED(status) || WEXITSTATUS(status) != 0) {
        ADD_FAILURE() << command << " failed with status " << status;
        return {};
    }
    return nlohmann::json::parse(output);
}

nlohmann::json ReadWithXlrd(const std::filesystem::path& file, const std::vector<int>& rows) {
    std::vector<std::string> arguments{"values", file.string()};
    if (!rows.empty()) {
        std::string list;
        for (int row : rows) {
            list += (list.empty() ? "" : ",") + std::to_string(row);
        }
        arguments.push_back(list);
    }
    return RunXlsPeer(arguments);
}

nlohmann::json InspectCompoundFile(const std::filesystem::path& file,
                                   const std::filesystem::path& stream) {
    return RunXlsPeer({"cfb", file.string(), stream.string()});
}

void WriteWithXlwt(const nlohmann::json& spec, const std::filesystem::path& file) {
    const std::filesystem::path specFile = file.string() + ".json";
    std::ofstream(specFile) << spec.dump();
    RunXlsPeer({"xlwt", specFile.string(), file.string()});
}

} // namespace tomorine::test
