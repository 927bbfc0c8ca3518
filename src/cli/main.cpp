#include "cli/command_options.h"
#include "cli/commands.h"
#include "cli/failure.h"
#include "store/files/pending_temporary_files.h"

#include <functional>
#include <iostream>
#include <map>
#include <string_view>

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
    "  keywords [--json]\n"
    "  check-links [--json] [--delete] [--delete-unreachable]   リンク切れを調べます\n"
    "  dump FILE     .xls ファイルの全ワークシートを JSON で出力します\n"
    "  create FILE   新しいデータファイルを作ります\n"
    "  export-html OUT [--comments] [--url U] [--title T] [--subtitle S] [--keywords K] "
    "[--comment C]\n"
    "  import-favorites [FOLDER]  お気に入りフォルダの .url を取り込みます\n"
    "  merge REFERENCE.xls  参照ファイルにあってデータファイルにないエントリを追加します\n"
    "  capture [URL] [--json]   ブラウザのページの URL・タイトル・キーワード\n"
    "  import-bookmarks (--firefox [PROFILE] | --chromium [PROFILE] | FILE.html) [--json]\n"
    "                ブラウザのブックマークを取り込みます\n"
    "  export-bookmarks OUT.html [--url U] [--title T] [--subtitle S] [--keywords K] "
    "[--comment C]\n"
    "                ブラウザに取り込めるブックマークファイルを書きます\n"
    "  conflicts [--json | --merge]  同期ツールの競合コピーを一覧し、マージします\n"
    "  help COMMAND  コマンドの使い方を出力します\n"
    "  --version     バージョンを出力します\n";

using Command = std::function<int(const tomorine::cli::Invocation&)>;

const std::map<std::string, Command>& Commands() {
    using namespace tomorine::cli;
    static const std::map<std::string, Command> commands = {
        {"search", SearchCommand},
        {"show", ShowCommand},
        {"add", AddCommand},
        {"update", UpdateCommand},
        {"delete", DeleteCommand},
        {"check-version", CheckVersionCommand},
        {"compact", CompactCommand},
        {"dump", DumpCommand},
        {"create", CreateCommand},
        {"export-html", ExportHtmlCommand},
        {"help", HelpCommand},
        {"keywords", KeywordsCommand},
        {"import-favorites", ImportFavoritesCommand},
        {"merge", MergeCommand},
        {"check-links", CheckLinksCommand},
        {"capture", CaptureCommand},
        {"import-bookmarks", ImportBookmarksCommand},
        {"export-bookmarks", ExportBookmarksCommand},
        {"conflicts", ConflictsCommand},
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
    if (argc == 2 && std::string_view(argv[1]) == "--version") {
        std::cout << "tomorine-cli " << TOMORINE_VERSION << '\n';
        return std::cout.flush() ? ExitOk : ExitFailure;
    }
    if (argc == 2 && std::string_view(argv[1]) == "--help") {
        std::cout << kUsage;
        return std::cout.flush() ? ExitOk : ExitFailure;
    }
    tomorine::InstallSaveSignalHandling();
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
