#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace tomorine::cli {

// One text in the two languages it is shown in: Japanese in the program's
// own help, English (and Japanese) in the manual pages.
struct Text {
    std::string_view ja;
    std::string_view en;
};

// What the shell completion offers for an operand or an option's value.
enum class Completion { None, Folder, Workbook, Html, Command };

// An option ("--url", value "U") or an operand ("SERIAL") of a command.
struct Argument {
    std::string_view name;
    std::string_view value = {}; // an option's value; in brackets when it may be left out
    bool required = false;
    bool alternative = false; // one of a run of arguments of which exactly one is given
    Completion completion = Completion::None;
    Text text = {};

    bool option() const { return name.starts_with("--"); }
};

// A command of tomorine-cli, described once: the help command, the usage
// lines, the manual pages and the shell completion are all made from this.
struct CommandReference {
    std::string_view name;
    std::vector<Argument> arguments;
    Text summary;   // what the command does and prints
    Text files;     // what it reads and writes
    Text exit = {}; // exit statuses beyond the common ones
};

// A section of a manual page beyond the commands: a paragraph and a list of
// terms with their explanations.
struct ManualItem {
    std::string_view term;
    Text text;
};

struct ManualSection {
    Text heading;
    Text paragraph;
    std::vector<ManualItem> items;
};

// A program's manual page: tomorine-cli, or the window program tomorine.
struct ProgramReference {
    std::string_view name;
    Text purpose; // the one line of NAME
    std::string_view synopsis;
    Text description;
    std::vector<ManualSection> sections;
};

const std::vector<CommandReference>& CommandReferences();
const CommandReference* FindCommandReference(std::string_view name);
const ProgramReference& CliProgramReference();
const ProgramReference& WindowProgramReference();

// "[--data FILE] SERIAL [--json]": the arguments as the usage line shows them.
std::string Synopsis(const CommandReference& command, bool withDataOption = true);

// The usage of tomorine-cli itself: its first synopsis line, then each
// command's arguments.
std::string ProgramUsage();

// "使い方: tomorine-cli show [--data FILE] SERIAL [--json]", kept for the
// program's lifetime so a command's syntax can hold it.
std::string_view UsageOf(std::string_view commandName);

} // namespace tomorine::cli
