// tomorine-cli-reference: writes the manual pages and the bash completion
// from the command table at build time; not installed.
#include "cli/bash_completion.h"
#include "cli/manual_page.h"

#include <filesystem>
#include <fstream>
#include <functional>
#include <iostream>

namespace {

namespace fs = std::filesystem;
using namespace tomorine::cli;

bool WriteFile(const fs::path& path, const std::function<void(std::ostream&)>& write) {
    fs::create_directories(path.parent_path());
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    write(out);
    out.close();
    if (!out) {
        std::cerr << "tomorine-cli-reference: cannot write " << path << '\n';
        return false;
    }
    return true;
}

} // namespace

int main(int argc, char** argv) {
    if (argc != 4) {
        std::cerr << "usage: tomorine-cli-reference OUTDIR VERSION DATE\n";
        return 2;
    }
    const fs::path dir = argv[1];
    const std::string_view version = argv[2];
    const std::string_view date = argv[3];
    const std::vector<CommandReference> none;
    bool ok = true;
    for (const auto& [language, folder] :
         {std::pair{Language::English, "man1"}, std::pair{Language::Japanese, "ja/man1"}}) {
        ok = WriteFile(dir / folder / "tomorine-cli.1",
                       [&](std::ostream& out) {
                           WriteManualPage(out, CliProgramReference(), CommandReferences(),
                                           language, version, date);
                       }) &&
             ok;
        ok = WriteFile(dir / folder / "tomorine.1",
                       [&](std::ostream& out) {
                           WriteManualPage(out, WindowProgramReference(), none, language, version,
                                           date);
                       }) &&
             ok;
    }
    ok = WriteFile(dir / "completions" / "tomorine-cli",
                   [](std::ostream& out) { WriteBashCompletion(out, CommandReferences()); }) &&
         ok;
    return ok ? 0 : 1;
}
