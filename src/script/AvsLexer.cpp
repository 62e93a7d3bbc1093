#include "script/AvsLexer.h"

#include <cerrno>
#include <cstdio>
#include <cstdlib>

namespace discforge {
namespace {

bool IsIdentifierStart(char c) { return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || c == '_'; }
bool IsDigit(char c) { return c >= '0' && c <= '9'; }
bool IsIdentifierPart(char c) { return IsIdentifierStart(c) || IsDigit(c); }
bool IsHexDigit(char c) { return IsDigit(c) || (c >= 'a' && c <= 'f') || (c >= 'A' && c <= 'F'); }

class Lexer {
public:
    Lexer(std::string_view script, std::vector<AvsToken>& tokens, AvsError& error)
        : text_(script)
        , tokens_(tokens)
        , error_(error)
    {
    }

    bool Run()
    {
        while (pos_ < text_.size()) {
            const char c = text_[pos_];
            if (c == ' ' || c == '\t' || c == '\r') {
                Advance(1);
            } else if (c == '\n') {
                if (!Newline()) {
                    return false;
                }
            } else if (c == '#') {
                SkipLineComment();
            } else if (c == '\\') {
                if (!Continuation()) {
                    return false;
                }
            } else if (Starts("/*")) {
                if (!SkipBlockComment()) {
                    return false;
                }
            } else if (Starts("[*")) {
                if (!SkipNestedComment()) {
                    return false;
                }
            } else if (!Token()) {
                return false;
            }
        }
        Push(AvsTokenKind::End, line_, column_);
        return true;
    }

private:
    bool Starts(std::string_view prefix) const { return text_.substr(pos_, prefix.size()) == prefix; }

    void Advance(std::size_t count)
    {
        for (std::size_t i = 0; i < count && pos_ < text_.size(); ++i, ++pos_) {
            if (text_[pos_] == '\n') {
                ++line_;
                column_ = 1;
            } else {
                ++column_;
            }
        }
    }

    AvsToken& Push(AvsTokenKind kind, int line, int column)
    {
        AvsToken& token = tokens_.emplace_back();
        token.kind = kind;
        token.line = line;
        token.column = column;
        return token;
    }

    bool Fail(std::string message, int line, int column)
    {
        error_ = AvsError{std::move(message), line, column};
        return false;
    }

    // A line that starts with a backslash continues the one before it.
    bool Newline()
    {
        const int line = line_;
        const int column = column_;
        std::size_t ahead = pos_ + 1;
        while (ahead < text_.size() && (text_[ahead] == ' ' || text_[ahead] == '\t' || text_[ahead] == '\r')) {
            ++ahead;
        }
        if (ahead < text_.size() && text_[ahead] == '\\') {
            Advance(ahead + 1 - pos_);
            return true;
        }
        if (tokens_.empty() || tokens_.back().kind != AvsTokenKind::Newline) {
            Push(AvsTokenKind::Newline, line, column);
        }
        Advance(1);
        return true;
    }

    // A backslash ending a line joins the next line to it.
    bool Continuation()
    {
        const int line = line_;
        const int column = column_;
        std::size_t ahead = pos_ + 1;
        while (ahead < text_.size() && (text_[ahead] == ' ' || text_[ahead] == '\t' || text_[ahead] == '\r')) {
            ++ahead;
        }
        if (ahead < text_.size() && text_[ahead] != '\n') {
            return Fail("a backslash continues a line only at its end", line, column);
        }
        Advance(ahead + 1 - pos_);
        return true;
    }

    void SkipLineComment()
    {
        while (pos_ < text_.size() && text_[pos_] != '\n') {
            Advance(1);
        }
    }

    bool SkipBlockComment()
    {
        const int line = line_;
        const int column = column_;
        const std::size_t end = text_.find("*/", pos_ + 2);
        if (end == std::string_view::npos) {
            return Fail("the comment \"/*\" is not closed", line, column);
        }
        Advance(end + 2 - pos_);
        return true;
    }

    bool SkipNestedComment()
    {
        const int line = line_;
        const int column = column_;
        int depth = 0;
        while (pos_ < text_.size()) {
            if (Starts("[*")) {
                ++depth;
                Advance(2);
            } else if (Starts("*]")) {
                Advance(2);
                if (--depth == 0) {
                    return true;
                }
            } else {
                Advance(1);
            }
        }
        return Fail("the comment \"[*\" is not closed", line, column);
    }

    bool Token()
    {
        const char c = text_[pos_];
        if (IsIdentifierStart(c)) {
            return Identifier();
        }
        if (IsDigit(c) || (c == '.' && pos_ + 1 < text_.size() && IsDigit(text_[pos_ + 1]))) {
            return Number();
        }
        if (c == '$') {
            return HexNumber();
        }
        if (c == '"') {
            return String();
        }
        return Symbol();
    }

    bool Identifier()
    {
        AvsToken& token = Push(AvsTokenKind::Identifier, line_, column_);
        const std::size_t start = pos_;
        while (pos_ < text_.size() && IsIdentifierPart(text_[pos_])) {
            Advance(1);
        }
        token.text = std::string(text_.substr(start, pos_ - start));
        return true;
    }

    bool Number()
    {
        const int line = line_;
        const int column = column_;
        const std::size_t start = pos_;
        bool real = false;
        while (pos_ < text_.size() && (IsDigit(text_[pos_]) || (text_[pos_] == '.' && !real))) {
            real = real || text_[pos_] == '.';
            Advance(1);
        }
        const std::string digits(text_.substr(start, pos_ - start));
        AvsToken& token = Push(real ? AvsTokenKind::Float : AvsTokenKind::Integer, line, column);
        errno = 0;
        if (real) {
            token.real = std::strtod(digits.c_str(), nullptr);
        } else {
            token.integer = std::strtoll(digits.c_str(), nullptr, 10);
        }
        if (errno == ERANGE || (!real && token.integer > INT32_MAX)) {
            return Fail("the number " + digits + " is too large", line, column);
        }
        return true;
    }

    // $RRGGBB, the way colours are written.
    bool HexNumber()
    {
        const int line = line_;
        const int column = column_;
        Advance(1);
        const std::size_t start = pos_;
        while (pos_ < text_.size() && IsHexDigit(text_[pos_])) {
            Advance(1);
        }
        const std::size_t count = pos_ - start;
        if (count == 0 || count > 8) {
            return Fail("\"$\" must be followed by one to eight hexadecimal digits", line, column);
        }
        AvsToken& token = Push(AvsTokenKind::Integer, line, column);
        token.integer = std::strtoll(std::string(text_.substr(start, count)).c_str(), nullptr, 16);
        return true;
    }

    bool String()
    {
        const int line = line_;
        const int column = column_;
        const bool triple = Starts("\"\"\"");
        const std::string_view closing = triple ? "\"\"\"" : "\"";
        Advance(closing.size());
        const std::size_t end = text_.find(closing, pos_);
        if (end == std::string_view::npos) {
            return Fail("the string is not closed", line, column);
        }
        AvsToken& token = Push(AvsTokenKind::String, line, column);
        token.text = std::string(text_.substr(pos_, end - pos_));
        Advance(end + closing.size() - pos_);
        return true;
    }

    bool Symbol()
    {
        static constexpr std::string_view twoCharacter[] = {"++", "==", "!=", "<>", "<=", ">=", "&&", "||"};
        for (std::string_view symbol : twoCharacter) {
            if (Starts(symbol)) {
                Push(AvsTokenKind::Symbol, line_, column_).text = std::string(symbol);
                Advance(2);
                return true;
            }
        }
        // Braces are taken so that a user function is refused by name, not by its brace.
        constexpr std::string_view single = "+-*/%()=,.?:!<>{}";
        const char c = text_[pos_];
        if (single.find(c) == std::string_view::npos) {
            char shown[48];
            const auto byte = static_cast<unsigned char>(c);
            if (byte >= 0x20 && byte < 0x7f) {
                std::snprintf(shown, sizeof shown, "the character '%c' is not allowed here", c);
            } else {
                std::snprintf(shown, sizeof shown, "the byte 0x%02X is not allowed in a script", byte);
            }
            return Fail(shown, line_, column_);
        }
        Push(AvsTokenKind::Symbol, line_, column_).text = std::string(1, c);
        Advance(1);
        return true;
    }

    std::string_view text_;
    std::vector<AvsToken>& tokens_;
    AvsError& error_;
    std::size_t pos_ = 0;
    int line_ = 1;
    int column_ = 1;
};

} // namespace

bool LexAvsScript(std::string_view script, std::vector<AvsToken>& tokens, AvsError& error)
{
    tokens.clear();
    return Lexer(script, tokens, error).Run();
}

} // namespace discforge
