#include "cli/manual_page.h"

#include <algorithm>
#include <ostream>
#include <string>

namespace tomorine::cli {

namespace {

std::string_view Pick(const Text& text, Language language) {
    return language == Language::Japanese ? text.ja : text.en;
}

// Japanese has no spaces: a line may break after any character of three
// UTF-8 bytes (kana, kanji, full-width forms), but not before closing
// punctuation nor after an opening bracket.
bool BreakBetween(std::string_view before, std::string_view after) {
    static constexpr std::string_view kNoBreakBefore[] = {"。", "、", "）", "」", "』", "，",
                                                          "．", "：", "；", "！", "？", "・"};
    static constexpr std::string_view kNoBreakAfter[] = {"（", "「", "『"};
    if (before.size() != 3) {
        return false;
    }
    for (std::string_view mark : kNoBreakBefore) {
        if (after.starts_with(mark)) {
            return false;
        }
    }
    for (std::string_view mark : kNoBreakAfter) {
        if (before == mark) {
            return false;
        }
    }
    return true;
}

std::size_t CharacterLength(unsigned char lead) {
    return lead < 0xC0 ? 1 : lead < 0xE0 ? 2 : lead < 0xF0 ? 3 : 4;
}

// Plain text made safe for roff: backslashes and minus signs escaped, no line
// that man would take for a request, and break points in Japanese.
std::string Roff(std::string_view text) {
    std::string out;
    for (std::size_t i = 0; i < text.size();) {
        const std::size_t length =
            std::min(CharacterLength(static_cast<unsigned char>(text[i])), text.size() - i);
        const std::string_view character = text.substr(i, length);
        i += length;
        if (character == "\\") {
            out += "\\e";
        } else if (character == "-") {
            out += "\\-";
        } else if (character == "\n") {
            out += "\n\\&";
        } else {
            out += character;
        }
        if (i < text.size() && BreakBetween(character, text.substr(i))) {
            out += "\\:";
        }
    }
    if (out.starts_with('.') || out.starts_with('\'')) {
        out.insert(0, "\\&");
    }
    return out;
}

// A macro argument: in quotes, with its own quotes as characters.
std::string Quoted(std::string_view text) {
    std::string out = "\"";
    for (char c : Roff(text)) {
        out += c == '"' ? std::string("\\(dq") : std::string(1, c);
    }
    return out + '"';
}

void WriteParagraph(std::ostream& out, std::string_view text) {
    if (!text.empty()) {
        out << ".PP\n" << Roff(text) << '\n';
    }
}

void WriteItem(std::ostream& out, std::string_view term, std::string_view text) {
    out << ".TP\n.B " << Quoted(term) << '\n' << Roff(text) << '\n';
}

void WriteCommand(std::ostream& out, const CommandReference& command, Language language) {
    const bool ja = language == Language::Japanese;
    out << ".SS " << Quoted(std::string(command.name) + ' ' + Synopsis(command)) << '\n'
        << Roff(Pick(command.summary, language)) << '\n';
    for (const Argument& argument : command.arguments) {
        if (argument.name == "--data") {
            continue; // described once under OPTIONS
        }
        out << ".TP\n.B " << Roff(argument.name);
        if (!argument.value.empty()) {
            out << " \\fI" << Roff(argument.value) << "\\fR";
        }
        out << '\n' << Roff(Pick(argument.text, language)) << '\n';
    }
    out << ".PP\n"
        << (ja ? "ファイル: " : "Files: ") << Roff(Pick(command.files, language)) << '\n';
    if (!Pick(command.exit, language).empty()) {
        out << ".PP\n"
            << (ja ? "終了ステータス: " : "Exit status: ") << Roff(Pick(command.exit, language))
            << '\n';
    }
}

void WriteSynopsis(std::ostream& out, std::string_view synopsis) {
    bool first = true;
    while (!synopsis.empty()) {
        const std::size_t end = synopsis.find('\n');
        std::string_view line = synopsis.substr(0, end);
        out << (first ? "" : ".br\n");
        const std::size_t space = line.find(' ');
        out << "\\fB" << Roff(line.substr(0, space)) << "\\fR";
        if (space != std::string_view::npos) {
            out << ' ' << Roff(line.substr(space + 1));
        }
        out << '\n';
        first = false;
        synopsis = end == std::string_view::npos ? std::string_view{} : synopsis.substr(end + 1);
    }
}

std::string Upper(std::string_view text) {
    std::string out(text);
    for (char& c : out) {
        if (c >= 'a' && c <= 'z') {
            c = static_cast<char>(c - 'a' + 'A');
        }
    }
    return out;
}

} // namespace

void WriteManualPage(std::ostream& out, const ProgramReference& program,
                     const std::vector<CommandReference>& commands, Language language,
                     std::string_view version, std::string_view date) {
    const bool ja = language == Language::Japanese;
    out << ".\\\" Made by tomorine-cli-reference from src/cli/command_reference.cpp.\n"
        << ".TH " << Upper(program.name) << " 1 " << Quoted(date) << ' '
        << Quoted("tomorine " + std::string(version)) << ' '
        << Quoted(ja ? "ユーザーコマンド" : "User Commands") << '\n'
        << ".nh\n.ad l\n"
        << ".SH " << (ja ? "名前" : "NAME") << '\n'
        << Roff(program.name) << " \\- " << Roff(Pick(program.purpose, language)) << '\n'
        << ".SH " << (ja ? "書式" : "SYNOPSIS") << '\n';
    WriteSynopsis(out, program.synopsis);
    out << ".SH " << (ja ? "説明" : "DESCRIPTION") << '\n'
        << Roff(Pick(program.description, language)) << '\n';
    if (!commands.empty()) {
        out << ".SH " << (ja ? "コマンド" : "COMMANDS") << '\n';
        for (const CommandReference& command : commands) {
            WriteCommand(out, command, language);
        }
    }
    for (const ManualSection& section : program.sections) {
        out << ".SH " << Quoted(Pick(section.heading, language)) << '\n';
        WriteParagraph(out, Pick(section.paragraph, language));
        for (const ManualItem& item : section.items) {
            WriteItem(out, item.term, Pick(item.text, language));
        }
    }
}

} // namespace tomorine::cli
