#include "store/table/not_exists_form.h"

#include "store/workbook/ascii_case.h"

namespace tomorine {

namespace {

enum class TokenKind { Word, Name, Symbol };

struct Token {
    TokenKind kind;
    std::string text; // a Name without its quotes
};

bool IsWordChar(unsigned char c) {
    return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || (c >= '0' && c <= '9') || c == '_' ||
           c == '$' || c >= 0x80;
}

// A quoted name from `at` (on its opening quote) to its closing one; a
// doubled closing quote stands for one, except in [].
bool ReadQuoted(std::string_view sql, size_t& at, std::string& name) {
    const char open = sql[at];
    const char close = open == '[' ? ']' : open;
    for (size_t i = at + 1; i < sql.size(); ++i) {
        if (sql[i] != close) {
            name += sql[i];
        } else if (open != '[' && i + 1 < sql.size() && sql[i + 1] == close) {
            name += close;
            ++i;
        } else {
            at = i + 1;
            return true;
        }
    }
    return false;
}

std::optional<std::vector<Token>> Tokenise(std::string_view sql) {
    std::vector<Token> tokens;
    size_t at = 0;
    while (at < sql.size()) {
        const unsigned char c = static_cast<unsigned char>(sql[at]);
        if (c == ' ' || c == '\t' || c == '\r' || c == '\n' || c == '\f' || c == '\v') {
            ++at;
        } else if (c == '[' || c == '"' || c == '`') {
            Token name{TokenKind::Name, {}};
            if (!ReadQuoted(sql, at, name.text)) {
                return std::nullopt;
            }
            tokens.push_back(std::move(name));
        } else if (IsWordChar(c)) {
            size_t end = at;
            while (end < sql.size() && IsWordChar(static_cast<unsigned char>(sql[end]))) {
                ++end;
            }
            tokens.push_back({TokenKind::Word, std::string(sql.substr(at, end - at))});
            at = end;
        } else if (c == '(' || c == ')' || c == '.' || c == '*' || c == '=') {
            tokens.push_back({TokenKind::Symbol, std::string(1, static_cast<char>(c))});
            ++at;
        } else {
            return std::nullopt; // comments, literals, other operators
        }
    }
    return tokens;
}

bool SameName(std::string_view a, std::string_view b) {
    return EqualIgnoringAsciiCase(a, b);
}

class Reader {
public:
    explicit Reader(std::vector<Token> tokens) : tokens_(std::move(tokens)) {}

    bool atEnd() const { return at_ == tokens_.size(); }

    bool keyword(std::string_view word) {
        if (at_ < tokens_.size() && tokens_[at_].kind == TokenKind::Word &&
            SameName(tokens_[at_].text, word)) {
            ++at_;
            return true;
        }
        return false;
    }

    bool symbol(char c) {
        if (at_ < tokens_.size() && tokens_[at_].kind == TokenKind::Symbol &&
            tokens_[at_].text[0] == c) {
            ++at_;
            return true;
        }
        return false;
    }

    // A bare word that is no keyword of the form, or a quoted name.
    std::optional<std::string> name() {
        if (at_ >= tokens_.size() || tokens_[at_].kind == TokenKind::Symbol) {
            return std::nullopt;
        }
        if (tokens_[at_].kind == TokenKind::Word) {
            for (std::string_view word :
                 {"select", "from", "where", "not", "exists", "and", "or", "is", "null"}) {
                if (SameName(tokens_[at_].text, word)) {
                    return std::nullopt;
                }
            }
        }
        return tokens_[at_++].text;
    }

    // table "." column, the table being one of the two given.
    std::optional<std::pair<std::string, std::string>> column() {
        std::optional<std::string> table = name();
        if (!table || !symbol('.')) {
            return std::nullopt;
        }
        std::optional<std::string> column = name();
        if (!column) {
            return std::nullopt;
        }
        return std::pair{*table, *column};
    }

private:
    std::vector<Token> tokens_;
    size_t at_ = 0;
};

// "(o.x = i.y or o.x Is Null)" or "(i.y = o.x or o.x Is Null)".
std::optional<NotExistsPair> ReadCondition(Reader& in, const NotExistsForm& form) {
    if (!in.symbol('(')) {
        return std::nullopt;
    }
    auto left = in.column();
    if (!left || !in.symbol('=')) {
        return std::nullopt;
    }
    auto right = in.column();
    if (!right || !in.keyword("or")) {
        return std::nullopt;
    }
    auto tested = in.column();
    if (!tested || !in.keyword("is") || !in.keyword("null") || !in.symbol(')')) {
        return std::nullopt;
    }
    if (SameName(left->first, form.innerTable)) {
        std::swap(left, right);
    }
    if (!SameName(left->first, form.outerTable) || !SameName(right->first, form.innerTable) ||
        !SameName(tested->first, form.outerTable) || !SameName(tested->second, left->second)) {
        return std::nullopt;
    }
    return NotExistsPair{left->second, right->second};
}

} // namespace

std::optional<NotExistsForm> RecogniseNotExists(std::string_view sql) {
    std::optional<std::vector<Token>> tokens = Tokenise(sql);
    if (!tokens) {
        return std::nullopt;
    }
    Reader in(std::move(*tokens));
    NotExistsForm form;
    if (!in.keyword("select")) {
        return std::nullopt;
    }
    std::optional<std::string> selected = in.name();
    if (!selected || !in.symbol('.') || !in.symbol('*') || !in.keyword("from")) {
        return std::nullopt;
    }
    std::optional<std::string> outer = in.name();
    if (!outer || !SameName(*outer, *selected) || !in.keyword("where") || !in.keyword("not") ||
        !in.keyword("exists") || !in.symbol('(') || !in.keyword("select")) {
        return std::nullopt;
    }
    form.outerTable = *outer;
    // The subquery's select list: * or i.*, checked once i is known.
    std::optional<std::string> innerSelected;
    if (!in.symbol('*')) {
        innerSelected = in.name();
        if (!innerSelected || !in.symbol('.') || !in.symbol('*')) {
            return std::nullopt;
        }
    }
    std::optional<std::string> inner;
    if (!in.keyword("from") || !(inner = in.name()) || SameName(*inner, form.outerTable) ||
        (innerSelected && !SameName(*innerSelected, *inner)) || !in.keyword("where")) {
        return std::nullopt;
    }
    form.innerTable = *inner;
    do {
        std::optional<NotExistsPair> pair = ReadCondition(in, form);
        if (!pair) {
            return std::nullopt;
        }
        form.pairs.push_back(std::move(*pair));
    } while (in.keyword("and"));
    if (!in.symbol(')') || !in.atEnd()) {
        return std::nullopt;
    }
    return form;
}

} // namespace tomorine
