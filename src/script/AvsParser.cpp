#include "script/AvsParser.h"

#include <algorithm>
#include <cctype>

namespace discforge {
namespace {

// Deep nesting would exhaust the stack; no real script comes near it.
constexpr int maxNesting = 200;

std::string Lowered(std::string text)
{
    std::transform(
        text.begin(), text.end(), text.begin(), [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
    return text;
}

class Parser {
public:
    Parser(const std::vector<AvsToken>& tokens, AvsError& error)
        : tokens_(tokens)
        , error_(error)
    {
    }

    std::unique_ptr<AvsNode> Script()
    {
        auto script = Node(AvsNodeKind::Script, Peek());
        for (;;) {
            while (Peek().kind == AvsTokenKind::Newline) {
                ++pos_;
            }
            if (Peek().kind == AvsTokenKind::End) {
                return script;
            }
            auto statement = Statement();
            if (!statement) {
                return nullptr;
            }
            script->children.push_back(std::move(statement));
            if (Peek().kind != AvsTokenKind::Newline && Peek().kind != AvsTokenKind::End) {
                Fail("unexpected " + Shown(Peek()) + " after the statement", Peek());
                return nullptr;
            }
        }
    }

private:
    const AvsToken& Peek(std::size_t ahead = 0) const { return tokens_[std::min(pos_ + ahead, tokens_.size() - 1)]; }
    bool IsSymbol(const char* symbol, std::size_t ahead = 0) const
    {
        return Peek(ahead).kind == AvsTokenKind::Symbol && Peek(ahead).text == symbol;
    }
    bool IsWord(const char* word) const
    {
        return Peek().kind == AvsTokenKind::Identifier && Lowered(Peek().text) == word;
    }

    static std::unique_ptr<AvsNode> Node(AvsNodeKind kind, const AvsToken& at)
    {
        auto node = std::make_unique<AvsNode>();
        node->kind = kind;
        node->line = at.line;
        node->column = at.column;
        return node;
    }

    std::nullptr_t Fail(const std::string& message, const AvsToken& at)
    {
        if (error_.message.empty()) {
            error_ = AvsError{message, at.line, at.column};
        }
        return nullptr;
    }

    std::string Shown(const AvsToken& token) const
    {
        switch (token.kind) {
        case AvsTokenKind::Newline:
            return "the end of the line";
        case AvsTokenKind::End:
            return "the end of the script";
        case AvsTokenKind::String:
            return "a string";
        case AvsTokenKind::Integer:
        case AvsTokenKind::Float:
            return "a number";
        default:
            return "\"" + token.text + "\"";
        }
    }

    bool Expect(const char* symbol)
    {
        if (!IsSymbol(symbol)) {
            Fail(std::string("expected \"") + symbol + "\" but found " + Shown(Peek()), Peek());
            return false;
        }
        ++pos_;
        return true;
    }

    std::unique_ptr<AvsNode> Statement()
    {
        const AvsToken& start = Peek();
        if (IsWord("function")) {
            return FunctionDefinition();
        }
        if (IsWord("try") || IsWord("catch") || IsWord("for") || IsWord("while") || IsWord("if")) {
            return Fail("\"" + start.text + "\" blocks are not supported", start);
        }
        if (IsWord("return")) {
            ++pos_;
            return Wrap(AvsNodeKind::Return, start, Expression(0));
        }
        bool global = false;
        if (IsWord("global") && Peek(1).kind == AvsTokenKind::Identifier) {
            global = true;
            ++pos_;
        }
        if (Peek().kind == AvsTokenKind::Identifier && IsSymbol("=", 1)) {
            auto assign = Node(AvsNodeKind::Assign, Peek());
            assign->text = Peek().text;
            assign->global = global;
            pos_ += 2;
            auto value = Expression(0);
            if (!value) {
                return nullptr;
            }
            assign->children.push_back(std::move(value));
            return assign;
        }
        if (global) {
            return Fail("\"global\" must be followed by an assignment", start);
        }
        return Wrap(AvsNodeKind::Statement, start, Expression(0));
    }

    // function Name(clip c, int "n", x) { statements }: a quoted name is an
    // optional parameter, one without a type takes any value.
    std::unique_ptr<AvsNode> FunctionDefinition()
    {
        const AvsToken& start = Peek();
        if (insideFunction_) {
            return Fail("a function cannot be defined inside another one", start);
        }
        ++pos_;
        if (Peek().kind != AvsTokenKind::Identifier) {
            return Fail("expected the function's name but found " + Shown(Peek()), Peek());
        }
        auto function = Node(AvsNodeKind::Function, start);
        function->text = Peek().text;
        ++pos_;
        if (!Expect("(") || !ParameterList(*function)) {
            return nullptr;
        }
        while (Peek().kind == AvsTokenKind::Newline) {
            ++pos_;
        }
        const AvsToken& open = Peek();
        if (!Expect("{")) {
            return nullptr;
        }
        auto body = Node(AvsNodeKind::Script, open);
        insideFunction_ = true;
        const bool read = Block(*body, open);
        insideFunction_ = false;
        if (!read) {
            return nullptr;
        }
        function->children.push_back(std::move(body));
        return function;
    }

    bool ParameterList(AvsNode& function)
    {
        if (IsSymbol(")")) {
            ++pos_;
            return true;
        }
        for (;;) {
            AvsParameter parameter;
            parameter.type = '.';
            if (Peek().kind == AvsTokenKind::Identifier
                && (Peek(1).kind == AvsTokenKind::Identifier || Peek(1).kind == AvsTokenKind::String)) {
                const char type = TypeLetter(Lowered(Peek().text));
                if (type == 0) {
                    Fail("\"" + Peek().text + "\" is not a type (clip, int, float, string, bool, val)", Peek());
                    return false;
                }
                parameter.type = type;
                ++pos_;
            }
            const AvsToken& name = Peek();
            if (name.kind != AvsTokenKind::Identifier && name.kind != AvsTokenKind::String) {
                Fail("expected a parameter's name but found " + Shown(name), name);
                return false;
            }
            parameter.optional = name.kind == AvsTokenKind::String;
            parameter.name = Lowered(name.text);
            const bool taken = std::any_of(function.parameters.begin(), function.parameters.end(),
                [&parameter](const AvsParameter& other) { return other.name == parameter.name; });
            if (parameter.name.empty() || taken) {
                Fail("the parameter name \"" + name.text + "\" is empty or given twice", name);
                return false;
            }
            function.parameters.push_back(parameter);
            ++pos_;
            if (IsSymbol(")")) {
                ++pos_;
                return true;
            }
            if (!Expect(",")) {
                return false;
            }
        }
    }

    static char TypeLetter(const std::string& word)
    {
        return word == "clip"                ? 'c'
            : word == "int"                  ? 'i'
            : word == "float"                ? 'f'
            : word == "string"               ? 's'
            : word == "bool"                 ? 'b'
            : word == "val" || word == "var" ? '.'
                                             : 0;
    }

    // The statements up to the "}" that closes `open`.
    bool Block(AvsNode& body, const AvsToken& open)
    {
        for (;;) {
            while (Peek().kind == AvsTokenKind::Newline) {
                ++pos_;
            }
            if (IsSymbol("}")) {
                ++pos_;
                return true;
            }
            if (Peek().kind == AvsTokenKind::End) {
                Fail("the \"{\" of the function is not closed", open);
                return false;
            }
            auto statement = Statement();
            if (!statement) {
                return false;
            }
            body.children.push_back(std::move(statement));
            if (Peek().kind != AvsTokenKind::Newline && !IsSymbol("}")) {
                Fail("unexpected " + Shown(Peek()) + " after the statement", Peek());
                return false;
            }
        }
    }

    std::unique_ptr<AvsNode> Wrap(AvsNodeKind kind, const AvsToken& at, std::unique_ptr<AvsNode> child)
    {
        if (!child) {
            return nullptr;
        }
        auto node = Node(kind, at);
        node->children.push_back(std::move(child));
        return node;
    }

    std::unique_ptr<AvsNode> Expression(int depth)
    {
        if (depth > maxNesting) {
            return Fail("the expression is nested too deeply", Peek());
        }
        auto condition = Binary(0, depth);
        if (!condition || !IsSymbol("?")) {
            return condition;
        }
        auto node = Node(AvsNodeKind::Conditional, Peek());
        ++pos_;
        auto whenTrue = Expression(depth + 1);
        if (!whenTrue || !Expect(":")) {
            return nullptr;
        }
        auto whenFalse = Expression(depth + 1);
        if (!whenFalse) {
            return nullptr;
        }
        node->children.push_back(std::move(condition));
        node->children.push_back(std::move(whenTrue));
        node->children.push_back(std::move(whenFalse));
        return node;
    }

    // Binding strength of a binary operator; 0 for none.
    int Precedence(const AvsToken& token) const
    {
        if (token.kind != AvsTokenKind::Symbol) {
            return 0;
        }
        const std::string& s = token.text;
        if (s == "||")
            return 1;
        if (s == "&&")
            return 2;
        if (s == "==" || s == "!=" || s == "<>" || s == "<" || s == ">" || s == "<=" || s == ">=")
            return 3;
        if (s == "+" || s == "-" || s == "++")
            return 4;
        if (s == "*" || s == "/" || s == "%")
            return 5;
        return 0;
    }

    std::unique_ptr<AvsNode> Binary(int minimum, int depth)
    {
        auto left = Unary(depth);
        while (left) {
            const int precedence = Precedence(Peek());
            if (precedence == 0 || precedence <= minimum) {
                return left;
            }
            auto node = Node(AvsNodeKind::Binary, Peek());
            node->text = Peek().text;
            ++pos_;
            auto right = Binary(precedence, depth + 1);
            if (!right) {
                return nullptr;
            }
            node->children.push_back(std::move(left));
            node->children.push_back(std::move(right));
            left = std::move(node);
        }
        return nullptr;
    }

    std::unique_ptr<AvsNode> Unary(int depth)
    {
        if (depth > maxNesting) {
            return Fail("the expression is nested too deeply", Peek());
        }
        if (IsSymbol("-") || IsSymbol("!") || IsSymbol("+")) {
            auto node = Node(AvsNodeKind::Unary, Peek());
            node->text = Peek().text;
            ++pos_;
            return Wrap2(std::move(node), Unary(depth + 1));
        }
        return Postfix(depth);
    }

    static std::unique_ptr<AvsNode> Wrap2(std::unique_ptr<AvsNode> node, std::unique_ptr<AvsNode> child)
    {
        if (!child) {
            return nullptr;
        }
        node->children.push_back(std::move(child));
        return node;
    }

    // a.F(args) is F(a, args); a.F alone is F(a).
    std::unique_ptr<AvsNode> Postfix(int depth)
    {
        auto value = Primary(depth);
        while (value && IsSymbol(".")) {
            ++pos_;
            if (Peek().kind != AvsTokenKind::Identifier) {
                return Fail("expected a function name after \".\" but found " + Shown(Peek()), Peek());
            }
            auto call = Node(AvsNodeKind::Call, Peek());
            call->text = Peek().text;
            ++pos_;
            call->children.push_back(std::move(value));
            call->argumentNames.emplace_back();
            if (IsSymbol("(") && !Arguments(*call, depth)) {
                return nullptr;
            }
            value = std::move(call);
        }
        return value;
    }

    bool Arguments(AvsNode& call, int depth)
    {
        ++pos_; // "("
        while (Peek().kind == AvsTokenKind::Newline) {
            ++pos_;
        }
        if (IsSymbol(")")) {
            ++pos_;
            return true;
        }
        for (;;) {
            std::string name;
            if (Peek().kind == AvsTokenKind::Identifier && IsSymbol("=", 1)) {
                name = Peek().text;
                pos_ += 2;
            }
            auto argument = Expression(depth + 1);
            if (!argument) {
                return false;
            }
            call.children.push_back(std::move(argument));
            call.argumentNames.push_back(name);
            if (IsSymbol(")")) {
                ++pos_;
                return true;
            }
            if (!IsSymbol(",")) {
                Fail(
                    "expected \",\" or \")\" in the arguments of " + call.text + " but found " + Shown(Peek()), Peek());
                return false;
            }
            ++pos_;
        }
    }

    std::unique_ptr<AvsNode> Primary(int depth)
    {
        const AvsToken& token = Peek();
        switch (token.kind) {
        case AvsTokenKind::Integer: {
            auto node = Node(AvsNodeKind::Integer, token);
            node->integer = token.integer;
            ++pos_;
            return node;
        }
        case AvsTokenKind::Float: {
            auto node = Node(AvsNodeKind::Float, token);
            node->real = token.real;
            ++pos_;
            return node;
        }
        case AvsTokenKind::String: {
            auto node = Node(AvsNodeKind::String, token);
            node->text = token.text;
            ++pos_;
            return node;
        }
        case AvsTokenKind::Identifier:
            return NameOrCall(depth);
        case AvsTokenKind::Symbol:
            if (token.text == "(") {
                ++pos_;
                auto inner = Expression(depth + 1);
                if (!inner || !Expect(")")) {
                    return nullptr;
                }
                return inner;
            }
            break;
        default:
            break;
        }
        return Fail("expected a value but found " + Shown(token), token);
    }

    std::unique_ptr<AvsNode> NameOrCall(int depth)
    {
        const AvsToken& token = Peek();
        const std::string lowered = Lowered(token.text);
        ++pos_;
        if (lowered == "true" || lowered == "yes" || lowered == "false" || lowered == "no") {
            auto node = Node(AvsNodeKind::Boolean, token);
            node->boolean = lowered == "true" || lowered == "yes";
            return node;
        }
        if (!IsSymbol("(")) {
            auto node = Node(AvsNodeKind::Name, token);
            node->text = token.text;
            return node;
        }
        auto call = Node(AvsNodeKind::Call, token);
        call->text = token.text;
        if (!Arguments(*call, depth)) {
            return nullptr;
        }
        return call;
    }

    const std::vector<AvsToken>& tokens_;
    AvsError& error_;
    std::size_t pos_ = 0;
    bool insideFunction_ = false;
};

} // namespace

std::unique_ptr<AvsNode> ParseAvsScript(std::string_view script, AvsError& error)
{
    error = AvsError{};
    if (script.size() > maxAvsScriptBytes) {
        error = AvsError{"the script is larger than " + std::to_string(maxAvsScriptBytes) + " bytes", 1, 1};
        return nullptr;
    }
    std::vector<AvsToken> tokens;
    if (!LexAvsScript(script, tokens, error)) {
        return nullptr;
    }
    return Parser(tokens, error).Script();
}

} // namespace discforge
