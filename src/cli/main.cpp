#include "cli/commands.h"
#include "store/workbook/workbook_error.h"

#include <functional>
#include <iostream>
#include <map>

namespace {

constexpr const char* kUsage = "使い方: tomorine-cli COMMAND [ARGS]\n"
                               "  dump FILE     .xls ファイルの全ワークシートを JSON で出力します\n"
                               "  create FILE   新しいデータファイルを作ります\n";

} // namespace

int main(int argc, char** argv) {
    using namespace tomorine::cli;
    const std::map<std::string, std::function<int(const Invocation&)>> commands = {
        {"dump", DumpCommand},
        {"create", CreateCommand},
    };
    if (argc < 2 || commands.find(argv[1]) == commands.end()) {
        std::cerr << kUsage;
        return ExitUsage;
    }
    Invocation call{std::vector<std::string>(argv + 2, argv + argc), std::cout, std::cerr};
    try {
        return commands.at(argv[1])(call);
    } catch (const tomorine::WorkbookError& e) {
        std::cerr << "tomorine-cli: " << e.description() << '\n';
    } catch (const std::exception& e) {
        std::cerr << "tomorine-cli: " << e.what() << '\n';
    }
    return ExitFailure;
}
