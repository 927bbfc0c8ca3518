// The help, the usage lines, the manual pages and the completion come from one
// command table; a command added to main without its entry is caught here.
#include "cli/bash_completion.h"
#include "cli/command_reference.h"
#include "cli/commands.h"
#include "cli/manual_page.h"
#include "cli_process.h"
#include "support/temp_dir.h"

#include <gtest/gtest.h>
#include <sstream>

namespace tomorine::test {

using namespace tomorine::cli;

TEST(CommandReference, EveryCommandIsInHelpManualsAndCompletion) {
    std::ostringstream english, japanese, completion;
    WriteManualPage(english, CliProgramReference(), CommandReferences(), Language::English, "0",
                    "");
    WriteManualPage(japanese, CliProgramReference(), CommandReferences(), Language::Japanese, "0",
                    "");
    WriteBashCompletion(completion, CommandReferences());
    TempDir dir;
    for (const auto& [name, run] : DispatchedCommands()) {
        SCOPED_TRACE(std::string(name));
        ASSERT_NE(FindCommandReference(name), nullptr);
        const std::string usage(UsageOf(name));
        std::string heading = ".SS \"";
        for (char c : name) {
            heading += c == '-' ? std::string("\\-") : std::string(1, c); // roff's minus sign
        }
        heading += ' ';
        EXPECT_NE(english.str().find(heading), std::string::npos);
        EXPECT_NE(japanese.str().find(heading), std::string::npos);
        EXPECT_NE(completion.str().find("    " + std::string(name) + ")\n"), std::string::npos);

        CliOutcome help = RunCliProcess({{"help", std::string(name)}, dir / "home"});
        EXPECT_EQ(help.status, 0);
        EXPECT_EQ(help.out.substr(0, help.out.find('\n')), usage);
        CliOutcome wrong =
            RunCliProcess({{std::string(name), "--no-such-option", "a", "b"}, dir / "home"});
        EXPECT_EQ(wrong.status, 2);
        EXPECT_TRUE(("\n" + wrong.err).ends_with("\n" + usage + "\n"))
            << "the usage it shows: " << wrong.err;
    }
    for (const CommandReference& command : CommandReferences()) {
        EXPECT_TRUE(DispatchedCommands().contains(command.name)) << command.name;
    }
}

} // namespace tomorine::test
