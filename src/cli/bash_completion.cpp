#include "cli/bash_completion.h"

#include <ostream>
#include <string>

namespace tomorine::cli {

namespace {

// The bash words that complete one kind of argument into COMPREPLY.
std::string_view Completer(Completion completion) {
    switch (completion) {
    case Completion::None:
        return "return";
    case Completion::Folder:
        return "_tomorine_cli_files -d";
    case Completion::Workbook:
        return "_tomorine_cli_files '*.[xX][lL][sS]'";
    case Completion::Html:
        return "_tomorine_cli_files '*.[hH][tT][mM]*'";
    case Completion::Command:
        return "COMPREPLY=($(compgen -W \"$commands\" -- \"$cur\"))";
    }
    return "return";
}

void WriteCommandCase(std::ostream& out, const CommandReference& command) {
    out << "    " << command.name << ")\n        case $prev in\n";
    std::string options;
    Completion operand = Completion::None;
    for (const Argument& argument : command.arguments) {
        if (!argument.option()) {
            operand = argument.completion;
            continue;
        }
        options += (options.empty() ? "" : " ") + std::string(argument.name);
        // A value in brackets may be left out, so the next word may be anything.
        if (!argument.value.empty() && !argument.value.starts_with('[')) {
            out << "        " << argument.name << ") " << Completer(argument.completion)
                << "; return ;;\n";
        } else if (argument.value.starts_with('[')) {
            operand = argument.completion;
        }
    }
    out << "        esac\n"
        << "        if [[ $cur == -* ]]; then\n"
        << "            COMPREPLY=($(compgen -W \"" << options << "\" -- \"$cur\"))\n"
        << "        else\n"
        << "            " << Completer(operand) << "\n"
        << "        fi\n"
        << "        ;;\n";
}

} // namespace

void WriteBashCompletion(std::ostream& out, const std::vector<CommandReference>& commands) {
    std::string names;
    for (const CommandReference& command : commands) {
        names += (names.empty() ? "" : " ") + std::string(command.name);
    }
    out << "# bash completion for tomorine-cli; made by tomorine-cli-reference from\n"
           "# src/cli/command_reference.cpp.\n\n"
           "_tomorine_cli_files() {\n"
           "    local IFS=$'\\n' pattern=$1\n"
           "    if [[ $pattern == -d ]]; then\n"
           "        COMPREPLY=($(compgen -d -- \"$cur\"))\n"
           "        return\n"
           "    fi\n"
           "    # Folders always, so the user can walk down to the file.\n"
           "    COMPREPLY=($(compgen -d -- \"$cur\"))\n"
           "    local file\n"
           "    while IFS= read -r file; do\n"
           "        [[ -z $pattern || ${file##*/} == $pattern ]] && [[ ! -d $file ]] &&\n"
           "            COMPREPLY+=(\"$file\")\n"
           "    done < <(compgen -f -- \"$cur\")\n"
           "    compopt -o filenames 2>/dev/null\n"
           "}\n\n"
           "_tomorine_cli() {\n"
           "    local cur=${COMP_WORDS[COMP_CWORD]} prev=${COMP_WORDS[COMP_CWORD - 1]}\n"
           "    local commands=\""
        << names
        << "\"\n"
           "    COMPREPLY=()\n"
           "    if ((COMP_CWORD == 1)); then\n"
           "        COMPREPLY=($(compgen -W \"$commands --help --version\" -- \"$cur\"))\n"
           "        return\n"
           "    fi\n"
           "    case ${COMP_WORDS[1]} in\n";
    for (const CommandReference& command : commands) {
        WriteCommandCase(out, command);
    }
    out << "    esac\n"
           "}\n\n"
           "complete -F _tomorine_cli tomorine-cli\n";
}

} // namespace tomorine::cli
