// Walks a script's tree: variables in the script's scope, in each call of a
// user function and in the global one, "last", operators, calls bound to the
// built-in table or to the script's own functions, and imported scripts.
#include "script/AvsBinding.h"
#include "script/AvsOperators.h"
#include "script/AvsParser.h"
#include "script/AvsScript.h"

#include <algorithm>
#include <cctype>
#include <filesystem>
#include <map>

namespace discforge {
namespace {

// A script that builds more filters than this is refused; real ones use a few dozen.
constexpr std::size_t maxGraphNodes = 5000;
// User functions calling each other deeper than this are a recursion without an end.
constexpr int maxCallDepth = 100;
// Values nested inside each other, across calls; well within the stack.
constexpr int maxEvaluationDepth = 1000;
// Calls of user functions in all: a recursion that calls itself twice at
// each step would otherwise run for ever within the depth limit.
constexpr std::int64_t maxUserCalls = 100000;

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

std::map<std::string, BoundFunction> FunctionTable()
{
    std::map<std::string, BoundFunction> table;
    for (auto group :
        {AvsSourceFunctions, AvsEditFunctions, AvsPictureFunctions, AvsSoundFunctions, AvsLanguageFunctions,
            AvsStringFunctions, AvsClipProperties, AvsResizeFunctions, AvsFrameFunctions, AvsColourFunctions,
            AvsSoftenFunctions, AvsLayoutFunctions, AvsChannelFunctions, AvsPluginFunctions, AvsPluginSources}) {
        for (const AvsFunction* f = group(); f->name != nullptr; ++f) {
            table[Lowered(f->name)] = BoundFunction{f, AvsParseParameters(f->parameters)};
        }
    }
    return table;
}

// Calls to these mean code this reader cannot run; each gets its own reason.
const char* RefusalReason(const std::string& lowered)
{
    static const std::map<std::string, const char*> reasons = {
        {"loadvirtualdubplugin", "plugins cannot be loaded on this system"},
        {"loadvfapiplugin", "plugins cannot be loaded on this system"},
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

using Variables = std::map<std::string, AvsValue>;

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
        Register(script);
        const AvsNode* at = &script;
        bool returned = false;
        if (!Block(script, result, returned, at)) {
            return false;
        }
        if (!returned) {
            const AvsValue* last = Lookup("last");
            if (last == nullptr) {
                return Fail("the script does not produce a clip", *at);
            }
            result = *last;
        }
        return Finish(*at, result);
    }

    AvsGraph& Graph() { return graph_; }

private:
    // A script's functions may be called before the lines that define them.
    void Register(const AvsNode& script)
    {
        for (const auto& statement : script.children) {
            if (statement->kind == AvsNodeKind::Function) {
                userFunctions_[Lowered(statement->text)] = statement.get();
            }
        }
    }

    // Runs the statements of a script or a function body; `value` is the
    // last one's value (nothing after an assignment), and a return ends it.
    bool Block(const AvsNode& block, AvsValue& value, bool& returned, const AvsNode*& at)
    {
        for (const auto& statement : block.children) {
            at = statement.get();
            if (statement->kind == AvsNodeKind::Function) {
                continue;
            }
            AvsValue computed;
            if (!Evaluate(*statement->children[0], computed)) {
                return false;
            }
            if (statement->kind == AvsNodeKind::Assign) {
                (statement->global ? globals_ : *locals_)[Lowered(statement->text)] = computed;
                value = AvsValue{};
                continue;
            }
            if (std::holds_alternative<AvsClip>(computed)) {
                (*locals_)["last"] = computed;
            }
            value = computed;
            if (statement->kind == AvsNodeKind::Return) {
                returned = true;
                return true;
            }
        }
        return true;
    }

    const AvsValue* Lookup(const std::string& lowered) const
    {
        const auto local = locals_->find(lowered);
        if (local != locals_->end()) {
            return &local->second;
        }
        const auto global = globals_.find(lowered);
        return global == globals_.end() ? nullptr : &global->second;
    }

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
        struct Depth {
            int& depth;
            explicit Depth(int& d)
                : depth(++d)
            {
            }
            ~Depth() { --depth; }
        } guard(depth_);
        if (depth_ > maxEvaluationDepth) {
            return Fail("the script nests its values and calls too deeply", node);
        }
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

    bool IsFunction(const std::string& lowered) const
    {
        return functions_.count(lowered) != 0 || userFunctions_.count(lowered) != 0 || lowered == "import"
            || RefusalReason(lowered) != nullptr;
    }

    bool Name(const AvsNode& node, AvsValue& out)
    {
        const std::string lowered = Lowered(node.text);
        if (const AvsValue* value = Lookup(lowered)) {
            out = *value;
            return true;
        }
        if (IsFunction(lowered)) {
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
        std::string fault;
        if (!Evaluate(*node.children[0], value)) {
            return false;
        }
        return AvsApplyUnary(node.text, value, out, fault) || Fail(fault, node);
    }

    bool Binary(const AvsNode& node, AvsValue& out)
    {
        const std::string& op = node.text;
        AvsValue left;
        AvsValue right;
        if (!Evaluate(*node.children[0], left)) {
            return false;
        }
        // "&&" and "||" stop once the left side decides, so that
        // Defined(x) && x > 0 asks about x only when it is set.
        if ((op == "&&" || op == "||") && std::holds_alternative<bool>(left) && std::get<bool>(left) == (op == "||")) {
            out = left;
            return true;
        }
        if (!Evaluate(*node.children[1], right)) {
            return false;
        }
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
        std::string fault;
        return AvsApplyBinary(op, left, right, out, fault) || Fail(fault, node);
    }

    bool CheckSize(const AvsNode& node)
    {
        if (graph_.Size() > maxGraphNodes) {
            return Fail("the script builds more than " + std::to_string(maxGraphNodes) + " filters", node);
        }
        return true;
    }

    bool Arguments(const AvsNode& node, AvsArguments& arguments)
    {
        for (std::size_t i = 0; i < node.children.size(); ++i) {
            AvsValue value;
            if (!Evaluate(*node.children[i], value)) {
                return false;
            }
            if (i < node.argumentNames.size() && !node.argumentNames[i].empty()) {
                arguments.named.emplace_back(node.argumentNames[i], value);
            } else {
                arguments.positional.push_back(value);
            }
        }
        return true;
    }

    bool Call(const AvsNode& node, AvsValue& out)
    {
        const std::string lowered = Lowered(node.text);
        if (const char* reason = RefusalReason(lowered)) {
            return Fail(node.text + ": " + reason, node);
        }
        const auto user = userFunctions_.find(lowered);
        const auto found = functions_.find(lowered);
        if (user == userFunctions_.end() && found == functions_.end() && lowered != "import") {
            return Fail("there is no function named \"" + node.text + "\"", node);
        }
        AvsArguments arguments;
        if (!Arguments(node, arguments)) {
            return false;
        }
        if (user != userFunctions_.end()) {
            return CallUser(node, *user->second, arguments, out) && CheckSize(node);
        }
        if (lowered == "import") {
            return Import(node, arguments, out) && CheckSize(node);
        }
        const BoundFunction& bound = found->second;
        const std::string& name = bound.function->name;
        AvsCall call(name, node, graph_, probe_, folder_, error_);
        if (!AvsBind(call, bound.parameters, arguments, Lookup("last")) || !bound.function->handler(call, out)) {
            return false;
        }
        return CheckSize(node);
    }

    // The body runs in a scope of its own holding the parameters (an
    // optional one not given holds nothing) and its own "last".
    bool CallUser(const AvsNode& node, const AvsNode& function, AvsArguments& arguments, AvsValue& out)
    {
        AvsCall call(function.text, node, graph_, probe_, folder_, error_);
        if (!AvsBind(call, function.parameters, arguments, Lookup("last"))) {
            return false;
        }
        if (calls_ >= maxCallDepth) {
            return call.Fail("the functions call each other more than " + std::to_string(maxCallDepth)
                + " deep; a recursion needs a case that ends it");
        }
        if (++userCalls_ > maxUserCalls) {
            return call.Fail("the script calls its functions more than " + std::to_string(maxUserCalls) + " times");
        }
        Variables scope;
        for (std::size_t i = 0; i < function.parameters.size(); ++i) {
            AvsValue value = call.arguments[i];
            if (function.parameters[i].type == 'f' && std::holds_alternative<std::int64_t>(value)) {
                value = static_cast<double>(std::get<std::int64_t>(value));
            }
            scope[function.parameters[i].name] = value;
        }
        Variables* const outer = locals_;
        locals_ = &scope;
        ++calls_;
        bool returned = false;
        const AvsNode* at = &function;
        const bool ran = Block(*function.children[0], out, returned, at);
        --calls_;
        locals_ = outer;
        return ran;
    }

    // Each file runs in the scope of the call, its relative paths starting
    // at its own folder; its functions join the script's.
    bool Import(const AvsNode& node, AvsArguments& arguments, AvsValue& out)
    {
        static const std::string importName = "Import";
        AvsCall call(importName, node, graph_, probe_, folder_, error_);
        if (!arguments.named.empty() || arguments.positional.empty()) {
            return call.Fail("give the files to import as strings");
        }
        for (const AvsValue& file : arguments.positional) {
            if (!std::holds_alternative<std::string>(file)) {
                return call.Fail(std::string("a file name is a string, not ") + AvsTypeName(file));
            }
            if (!ImportFile(node, call, std::get<std::string>(file), out)) {
                return false;
            }
        }
        return true;
    }

    bool ImportFile(const AvsNode& node, AvsCall& call, const std::string& given, AvsValue& out)
    {
        std::string path;
        if (!AvsResolvePath(call, given, path)) {
            return false;
        }
        const std::string normal = std::filesystem::path(path).lexically_normal().string();
        if (std::find(importing_.begin(), importing_.end(), normal) != importing_.end()) {
            return call.Fail(
                "\"" + given + "\" is already being imported; scripts cannot import each other in a circle");
        }
        std::string text;
        std::string reason;
        if (!probe_.ReadText(normal, maxAvsScriptBytes, text, reason)) {
            return call.Fail("cannot read \"" + given + "\": " + reason);
        }
        if (text.rfind("\xEF\xBB\xBF", 0) == 0) {
            text.erase(0, 3);
        }
        AvsError inner;
        std::unique_ptr<AvsNode> tree = ParseAvsScript(text, inner);
        if (!tree) {
            return call.Fail("in \"" + given + "\": " + AvsErrorText(inner));
        }
        Register(*tree);
        const std::string outerFolder = folder_;
        folder_ = std::filesystem::path(normal).parent_path().string();
        importing_.push_back(normal);
        bool returned = false;
        const AvsNode* at = tree.get();
        const bool ran = Block(*tree, out, returned, at);
        importing_.pop_back();
        folder_ = outerFolder;
        imported_.push_back(std::move(tree));
        if (!ran) {
            error_ = AvsError{"Import: in \"" + given + "\": " + AvsErrorText(error_), node.line, node.column};
        }
        return ran;
    }

    std::string folder_;
    AvsMediaProbe& probe_;
    AvsError& error_;
    std::map<std::string, BoundFunction> functions_;
    std::map<std::string, const AvsNode*> userFunctions_;
    std::vector<std::unique_ptr<AvsNode>> imported_; // the trees their functions point into
    std::vector<std::string> importing_;
    Variables scriptVariables_;
    Variables* locals_ = &scriptVariables_;
    Variables globals_;
    AvsGraph graph_;
    int calls_ = 0;
    std::int64_t userCalls_ = 0;
    int depth_ = 0;
};

} // namespace

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
    result.notes = evaluator.Graph().Notes();
    return true;
}

} // namespace discforge
