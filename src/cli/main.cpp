#include "browser/history_copy.h"
#include "cli/command_options.h"
#include "cli/command_reference.h"
#include "cli/commands.h"
#include "cli/failure.h"
#include "cli/huge_page_heap.h"
#include "store/files/pending_temporary_files.h"

#include <cstdlib>
#include <iostream>
#include <string>
#include <string_view>

namespace {

int Run(tomorine::cli::CommandFunction command, const tomorine::cli::Invocation& call) {
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
        std::cout << ProgramUsage();
        return std::cout.flush() ? ExitOk : ExitFailure;
    }
    UseHugePageHeap();
    tomorine::InstallSaveSignalHandling();
    tomorine::SweepAbandonedHistoryCopies();
    if (argc < 2 || !DispatchedCommands().contains(argv[1])) {
        std::cerr << ProgramUsage();
        return ExitUsage;
    }
    Invocation call{std::vector<std::string>(argv + 2, argv + argc), std::cout, std::cerr,
                    std::cin};
    int status = Run(DispatchedCommands().at(argv[1]), call);
    // A result that did not reach its reader (a full disk, say) is a failure.
    if (!std::cout.flush()) {
        std::cout.clear();
        status = Fail(std::cerr, "標準出力に書き込めません");
    }
    // The command's locks and temporary files went with its scope; what stays
    // (the workbook cache above all) goes back with the process, and freeing
    // it piece by piece would only take time.
    std::_Exit(status);
}
