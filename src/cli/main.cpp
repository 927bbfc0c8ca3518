#include "cli/command_options.h"
#include "cli/commands.h"
#include "cli/failure.h"

#include <functional>
#include <iostream>
#include <map>

namespace {

constexpr const char* kUsage =
    "使い方: tomorine-cli COMMAND [--data FILE] [ARGS]\n"
    "  search [--url U] [--title T] [--subtitle S] [--keywords K] [--comment C] [--json]\n"
    "  show SERIAL [--json]\n"
    "  add --url U --title T [--subtitle S] [--keywords K] [--comment C]\n"
    "  update SERIAL [--url U] [--title T] [--subtitle S] [--keywords K] [--comment C]\n"
    "  delete SERIAL\n"
    "  check-version [--yes]\n"
    "  compact\n"
    "  dump FILE     .xls ファイルの全ワークシートを JSON で出力します\n"
    "  create FILE   新しいデータファイルを作ります\n"
    "  export-html OUT [--comments] [--url U] [--title T] [--subtitle S] [--keywords K] "
    "[--comment C]\n"
    "  capture [URL] [--json]   ブラウザのページの URL・タイトル・キーワード\n";

using Command = std::function<int(const tomorine::cli::Invocation&)>;

const std::map<std::string, Command>& Commands() {
    using namespace tomorine::cli;
    static const std::map<std::string, Command> commands = {
        {"search", SearchCommand},   {"show", ShowCommand},
        {"add", AddCommand},         {"update", UpdateCommand},
        {"delete", DeleteCommand},   {"check-version", CheckVersionCommand},
        {"compact", CompactCommand}, {"dump", DumpCommand},
        {"create", CreateCommand},
        {"export-html", ExportHtmlCommand},
        {"capture", CaptureCommand},
    };
    return commands;
}

int Run(const Command& command, const tomorine::cli::Invocation& call) {
    using namespace tomorine::cli;
    try {
        return command(call);
    } catch (const UsageError& e) {
        call.err << "tomorine-cli: " << e.what() << '\n' << e.usage() << '\n';
        return ExitUsage;
    } catch (const std::exception& e) {
        return Fail(call.err, e.what());
    }
}

} // namespace

int main(int argc, char** argv) {
    using namespace tomorine::cli;
    if (argc < 2 || !Commands().contains(argv[1])) {
        std::cerr << kUsage;
        return ExitUsage;
    }
    Invocation call{std::vector<std::string>(argv + 2, argv + argc), std::cout, std::cerr,
                    std::cin};
    int status = Run(Commands().at(argv[1]), call);
    // A result that did not reach its reader (a full disk, say) is a failure.
    if (!std::cout.flush()) {
        std::cout.clear();
        return Fail(std::cerr, "標準出力に書き込めません");
    }
    return status;
}
