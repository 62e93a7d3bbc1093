// Walks a script's tree: variables, "last", operators, and calls bound to
// the function table.
#include "script/AvsFunctions.h"
#include "script/AvsParser.h"
#include "script/AvsScript.h"

#include <algorithm>
#include <cctype>
#include <cmath>
#include <map>

namespace discforge {
namespace {

// A script that builds more filters than this is refused; real ones use a few dozen.
constexpr std::size_t maxGraphNodes = 5000;

std::string Lowered(std::string text)
{
    std::transform(
        text.begin(), text.end(), text.begin(), [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
    return text;
}

struct BoundFunction {
    const AvsFunction* function;
    std::vector<AvsParameter> parameters;
};

std::vector<AvsParameter> ParseParameters(const char* text)
{
    std::vector<AvsParameter> parameters;
    std::string signature(text);
    std::size_t pos = 0;
    while (pos < signature.size()) {
        std::size_t end = signature.find(' ', pos);
        if (end == std::string::npos) {
            end = signature.size();
        }
        std::string word = signature.substr(pos, end - pos);
        pos = end + 1;
        AvsParameter parameter;
        if (word.front() == '[') {
            parameter.optional = true;
            word = word.substr(1, word.size() - 2);
        }
        if (word.back() == '+') {
            parameter.repeats = true;
            word.pop_back();
        }
        if (word == "c") {
            parameter.name = "clip";
        } else {
            const std::size_t colon = word.find(':');
            parameter.name = Lowered(word.substr(0, colon));
            parameter.type = word[colon + 1];
        }
        parameters.push_back(parameter);
    }
    return parameters;
}

std::map<std::string, BoundFunction> FunctionTable()
{
    std::map<std::string, BoundFunction> table;
    for (auto group : {AvsSourceFunctions, AvsEditFunctions, AvsPictureFunctions, AvsSoundFunctions}) {
        for (const AvsFunction* f = group(); f->name != nullptr; ++f) {
            table[Lowered(f->name)] = BoundFunction{f, ParseParameters(f->parameters)};
        }
    }
    return table;
}

bool Fits(char type, const AvsValue& value)
{
    switch (type) {
    case 'c':
        return std::holds_alternative<AvsClip>(value);
    case 'i':
        return std::holds_alternative<std::int64_t>(value);
    case 'f':
        return std::holds_alternative<std::int64_t>(value) || std::holds_alternative<double>(value);
    case 's':
        return std::holds_alternative<std::string>(value);
    case 'b':
        return std::holds_alternative<bool>(value);
    default:
        return true;
    }
}

const char* TypeWord(char type)
{
    switch (type) {
    case 'c':
        return "a clip";
    case 'i':
        return "an integer";
    case 'f':
        return "a number";
    case 's':
        return "a string";
    case 'b':
        return "true or false";
    default:
        return "a value";
    }
}

// Calls to these mean code this reader cannot run; each gets its own reason.
const char* RefusalReason(const std::string& lowered)
{
    static const std::map<std::string, const char*> reasons = {
        {"loadplugin", "plugins cannot be loaded on this system"},
        {"loadcplugin", "plugins cannot be loaded on this system"},
        {"load_stdcall_plugin", "plugins cannot be loaded on this system"},
        {"loadvirtualdubplugin", "plugins cannot be loaded on this system"},
        {"loadvfapiplugin", "plugins cannot be loaded on this system"},
        {"import", "other scripts cannot be imported"},
        {"eval", "evaluating text as script is not supported"},
        {"scriptclip", "runtime filters are not supported"},
        {"conditionalfilter", "runtime filters are not supported"},
        {"frameevaluate", "runtime filters are not supported"},
        {"conditionalreader", "runtime filters are not supported"},
        {"writefile", "runtime filters are not supported"},
        {"writefileif", "runtime filters are not supported"},
        {"writefilestart", "runtime filters are not supported"},
        {"writefileend", "runtime filters are not supported"},
    };
    const auto found = reasons.find(lowered);
    return found == reasons.end() ? nullptr : found->second;
}

class Evaluator {
public:
    Evaluator(const std::string& folder, AvsMediaProbe& probe, AvsError& error)
        : folder_(folder)
        , probe_(probe)
        , error_(error)
        , functions_(FunctionTable())
    {
    }

    bool Run(const AvsNode& script, AvsValue& result)
    {
        AvsValue value;
        const AvsNode* lastStatement = &script;
        for (const auto& statement : script.children) {
            lastStatement = statement.get();
            if (statement->kind == AvsNodeKind::Assign) {
                if (!Evaluate(*statement->children[0], value)) {
                    return false;
                }
                variables_[Lowered(statement->text)] = value;
                continue;
            }
            if (!Evaluate(*statement->children[0], value)) {
                return false;
            }
            if (std::holds_alternative<AvsClip>(value)) {
                variables_["last"] = value;
            }
            if (statement->kind == AvsNodeKind::Return) {
                result = value;
                return Finish(*statement, result);
            }
        }
        const auto last = variables_.find("last");
        if (last == variables_.end()) {
            return Fail("the script does not produce a clip", *lastStatement);
        }
        result = last->second;
        return Finish(*lastStatement, result);
    }

    AvsGraph& Graph() { return graph_; }

private:
    bool Finish(const AvsNode& at, const AvsValue& result)
    {
        if (!std::holds_alternative<AvsClip>(result)) {
            return Fail(std::string("the script's result is ") + AvsTypeName(result) + ", not a clip", at);
        }
        if (!std::get<AvsClip>(result).hasVideo) {
            return Fail("the script's result has no picture", at);
        }
        return true;
    }

    bool Fail(const std::string& message, const AvsNode& at)
    {
        error_ = AvsError{message, at.line, at.column};
        return false;
    }

    bool Evaluate(const AvsNode& node, AvsValue& out)
    {
        switch (node.kind) {
        case AvsNodeKind::Integer:
            out = node.integer;
            return true;
        case AvsNodeKind::Float:
            out = node.real;
            return true;
        case AvsNodeKind::String:
            out = node.text;
            return true;
        case AvsNodeKind::Boolean:
            out = node.boolean;
            return true;
        case AvsNodeKind::Name:
            return Name(node, out);
        case AvsNodeKind::Call:
            return Call(node, out);
        case AvsNodeKind::Unary:
            return Unary(node, out);
        case AvsNodeKind::Binary:
            return Binary(node, out);
        case AvsNodeKind::Conditional:
            return Conditional(node, out);
        default:
            return Fail("this statement cannot be used as a value", node);
        }
    }

    bool Name(const AvsNode& node, AvsValue& out)
    {
        const auto found = variables_.find(Lowered(node.text));
        if (found != variables_.end()) {
            out = found->second;
            return true;
        }
        const std::string lowered = Lowered(node.text);
        if (functions_.count(lowered) != 0 || RefusalReason(lowered) != nullptr) {
            return Call(node, out);
        }
        return Fail("I don't know what \"" + node.text + "\" means", node);
    }

    bool Conditional(const AvsNode& node, AvsValue& out)
    {
        AvsValue condition;
        if (!Evaluate(*node.children[0], condition)) {
            return false;
        }
        if (!std::holds_alternative<bool>(condition)) {
            return Fail(std::string("the condition before \"?\" is ") + AvsTypeName(condition) + ", not true or false",
                *node.children[0]);
        }
        return Evaluate(*node.children[std::get<bool>(condition) ? 1 : 2], out);
    }

    bool Unary(const AvsNode& node, AvsValue& out)
    {
        AvsValue value;
        if (!Evaluate(*node.children[0], value)) {
            return false;
        }
        if (node.text == "!" && std::holds_alternative<bool>(value)) {
            out = !std::get<bool>(value);
            return true;
        }
        if (node.text != "!" && std::holds_alternative<std::int64_t>(value)) {
            out = node.text == "-" ? -std::get<std::int64_t>(value) : std::get<std::int64_t>(value);
            return true;
        }
        if (node.text != "!" && std::holds_alternative<double>(value)) {
            out = node.text == "-" ? -std::get<double>(value) : std::get<double>(value);
            return true;
        }
        return Fail("\"" + node.text + "\" cannot be applied to " + AvsTypeName(value), node);
    }

    bool Binary(const AvsNode& node, AvsValue& out)
    {
        AvsValue left;
        AvsValue right;
        if (!Evaluate(*node.children[0], left) || !Evaluate(*node.children[1], right)) {
            return false;
        }
        const std::string& op = node.text;
        if (std::holds_alternative<AvsClip>(left) && std::holds_alternative<AvsClip>(right)
            && (op == "+" || op == "++")) {
            static const std::string joinName = "Splice";
            AvsCall call(joinName, node, graph_, probe_, folder_, error_);
            AvsClip joined;
            if (!AvsJoin(call, std::get<AvsClip>(left), std::get<AvsClip>(right), op == "++", joined)) {
                return false;
            }
            out = joined;
            return CheckSize(node);
        }
        if (op == "+" && std::holds_alternative<std::string>(left) && std::holds_alternative<std::string>(right)) {
            out = std::get<std::string>(left) + std::get<std::string>(right);
            return true;
        }
        if ((op == "&&" || op == "||") && std::holds_alternative<bool>(left) && std::holds_alternative<bool>(right)) {
            out = op == "&&" ? (std::get<bool>(left) && std::get<bool>(right))
                             : (std::get<bool>(left) || std::get<bool>(right));
            return true;
        }
        if (Fits('f', left) && Fits('f', right)) {
            return Arithmetic(node, left, right, out);
        }
        if ((op == "==" || op == "!=" || op == "<>") && left.index() == right.index()
            && !std::holds_alternative<AvsClip>(left)) {
            out = (left == right) == (op == "==");
            return true;
        }
        return Fail("\"" + op + "\" cannot join " + AvsTypeName(left) + " and " + AvsTypeName(right), node);
    }

    bool Arithmetic(const AvsNode& node, const AvsValue& left, const AvsValue& right, AvsValue& out)
    {
        const std::string& op = node.text;
        const bool integers = std::holds_alternative<std::int64_t>(left) && std::holds_alternative<std::int64_t>(right);
        const double a = integers ? static_cast<double>(std::get<std::int64_t>(left)) : AsDouble(left);
        const double b = integers ? static_cast<double>(std::get<std::int64_t>(right)) : AsDouble(right);
        if (op == "==" || op == "!=" || op == "<>" || op == "<" || op == ">" || op == "<=" || op == ">=") {
            out = op == "==" ? a == b
                : op == "<"  ? a < b
                : op == ">"  ? a > b
                : op == "<=" ? a <= b
                : op == ">=" ? a >= b
                             : a != b;
            return true;
        }
        if ((op == "/" || op == "%") && b == 0) {
            return Fail("division by zero", node);
        }
        if (integers) {
            const std::int64_t x = std::get<std::int64_t>(left);
            const std::int64_t y = std::get<std::int64_t>(right);
            const double exact = op == "+" ? a + b : op == "-" ? a - b : op == "*" ? a * b : 0;
            if (std::fabs(exact) > 9e15) {
                return Fail("the number is too large", node);
            }
            if (op == "+" || op == "-" || op == "*") {
                out = static_cast<std::int64_t>(exact);
            } else if (op == "/") {
                out = x / y;
            } else if (op == "%") {
                out = x % y;
            } else {
                return Fail("\"" + op + "\" cannot join two integers", node);
            }
            return true;
        }
        if (op == "+" || op == "-" || op == "*" || op == "/" || op == "%") {
            out = op == "+" ? a + b : op == "-" ? a - b : op == "*" ? a * b : op == "/" ? a / b : std::fmod(a, b);
            return true;
        }
        return Fail("\"" + op + "\" cannot join two numbers", node);
    }

    static double AsDouble(const AvsValue& value)
    {
        return std::holds_alternative<double>(value) ? std::get<double>(value)
                                                     : static_cast<double>(std::get<std::int64_t>(value));
    }

    bool CheckSize(const AvsNode& node)
    {
        if (graph_.Size() > maxGraphNodes) {
            return Fail("the script builds more than " + std::to_string(maxGraphNodes) + " filters", node);
        }
        return true;
    }

    bool Call(const AvsNode& node, AvsValue& out)
    {
        const std::string lowered = Lowered(node.text);
        if (const char* reason = RefusalReason(lowered)) {
            return Fail(node.text + ": " + reason, node);
        }
        const auto found = functions_.find(lowered);
        if (found == functions_.end()) {
            return Fail("there is no function named \"" + node.text + "\"", node);
        }
        std::vector<AvsValue> positional;
        std::vector<std::pair<std::string, AvsValue>> named;
        for (std::size_t i = 0; i < node.children.size(); ++i) {
            AvsValue value;
            if (!Evaluate(*node.children[i], value)) {
                return false;
            }
            if (i < node.argumentNames.size() && !node.argumentNames[i].empty()) {
                named.emplace_back(node.argumentNames[i], value);
            } else {
                positional.push_back(value);
            }
        }
        const BoundFunction& bound = found->second;
        const std::string& name = bound.function->name;
        AvsCall call(name, node, graph_, probe_, folder_, error_);
        if (!Bind(call, bound.parameters, positional, named)) {
            return false;
        }
        if (!bound.function->handler(call, out)) {
            return false;
        }
        return CheckSize(node);
    }

    bool Bind(AvsCall& call, const std::vector<AvsParameter>& parameters, std::vector<AvsValue>& positional,
        const std::vector<std::pair<std::string, AvsValue>>& named)
    {
        call.arguments.assign(parameters.size(), AvsValue{});
        const bool takesClip = !parameters.empty() && parameters[0].type == 'c' && !parameters[0].optional;
        if (takesClip && (positional.empty() || !std::holds_alternative<AvsClip>(positional[0]))) {
            const auto last = variables_.find("last");
            if (last == variables_.end()) {
                return call.Fail("there is no clip to work on (\"last\" is not set)");
            }
            positional.insert(positional.begin(), last->second);
        }
        std::size_t p = 0;
        for (std::size_t i = 0; i < positional.size(); ++i) {
            if (p >= parameters.size()) {
                return call.Fail("too many arguments (at most " + std::to_string(parameters.size()) + ")");
            }
            const AvsParameter& parameter = parameters[p];
            if (!Fits(parameter.type, positional[i])) {
                return call.Fail("argument " + std::to_string(i + 1) + " (" + parameter.name + ") must be "
                    + TypeWord(parameter.type) + ", not " + AvsTypeName(positional[i]));
            }
            if (parameter.repeats && call.Given(p)) {
                call.extra.push_back(positional[i]);
                continue;
            }
            call.arguments[p] = positional[i];
            if (!parameter.repeats) {
                ++p;
            }
        }
        for (const auto& [name, value] : named) {
            const std::string wanted = Lowered(name);
            const auto match = std::find_if(parameters.begin(), parameters.end(),
                [&wanted](const AvsParameter& parameter) { return parameter.name == wanted; });
            if (match == parameters.end()) {
                return call.Fail("there is no argument named \"" + name + "\"");
            }
            const auto index = static_cast<std::size_t>(match - parameters.begin());
            if (call.Given(index)) {
                return call.Fail("the argument \"" + name + "\" is given twice");
            }
            if (!Fits(match->type, value)) {
                return call.Fail(
                    "the argument \"" + name + "\" must be " + TypeWord(match->type) + ", not " + AvsTypeName(value));
            }
            call.arguments[index] = value;
        }
        for (std::size_t i = 0; i < parameters.size(); ++i) {
            if (!parameters[i].optional && !call.Given(i)) {
                return call.Fail("the argument \"" + parameters[i].name + "\" is missing");
            }
        }
        return true;
    }

    const std::string& folder_;
    AvsMediaProbe& probe_;
    AvsError& error_;
    std::map<std::string, BoundFunction> functions_;
    std::map<std::string, AvsValue> variables_;
    AvsGraph graph_;
};

} // namespace

const char* AvsTypeName(const AvsValue& value)
{
    static constexpr const char* names[] = {"nothing", "a boolean", "an integer", "a number", "a string", "a clip"};
    return names[value.index()];
}

std::int64_t AvsSamplesForFrames(const AvsClip& clip, std::int64_t frames)
{
    if (clip.fpsNumerator <= 0) {
        return 0;
    }
    // Rounded to the nearest sample, in 128-bit-safe steps for long clips.
    const auto product = static_cast<__int128>(frames) * clip.sampleRate * clip.fpsDenominator;
    return static_cast<std::int64_t>((product + clip.fpsNumerator / 2) / clip.fpsNumerator);
}

std::string AvsErrorText(const AvsError& error)
{
    return error.message + " (line " + std::to_string(error.line) + ", column " + std::to_string(error.column) + ")";
}

std::int64_t AvsCall::Int(std::size_t i, std::int64_t fallback) const
{
    return Given(i) ? std::get<std::int64_t>(arguments[i]) : fallback;
}

double AvsCall::Number(std::size_t i, double fallback) const
{
    if (!Given(i)) {
        return fallback;
    }
    return std::holds_alternative<double>(arguments[i]) ? std::get<double>(arguments[i])
                                                        : static_cast<double>(std::get<std::int64_t>(arguments[i]));
}

std::string AvsCall::String(std::size_t i, const std::string& fallback) const
{
    return Given(i) ? std::get<std::string>(arguments[i]) : fallback;
}

bool AvsCall::Bool(std::size_t i, bool fallback) const { return Given(i) ? std::get<bool>(arguments[i]) : fallback; }

bool AvsCall::Fail(const std::string& message) const
{
    error_ = AvsError{name_ + ": " + message, at_.line, at_.column};
    return false;
}

bool EvaluateAvsScript(
    std::string_view script, const std::string& folder, AvsMediaProbe& probe, AvsResult& result, AvsError& error)
{
    const std::unique_ptr<AvsNode> tree = ParseAvsScript(script, error);
    if (!tree) {
        return false;
    }
    Evaluator evaluator(folder, probe, error);
    AvsValue value;
    if (!evaluator.Run(*tree, value)) {
        return false;
    }
    result.clip = std::get<AvsClip>(value);
    result.graph = evaluator.Graph().Render(result.clip.videoPad, result.clip.hasAudio ? result.clip.audioPad : -1);
    return true;
}

} // namespace discforge
