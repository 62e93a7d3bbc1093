// The tree a script parses into. Every node keeps the line and column of the
// token it starts at, so a failure found while evaluating still points into
// the script.
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

namespace discforge {

enum class AvsNodeKind {
    Integer,
    Float,
    String,
    Boolean,
    Name, // a variable, or a function called without parentheses
    Call, // text = function name; children = arguments; argumentNames per child ("" = positional)
    Unary, // text = operator; one child
    Binary, // text = operator; two children
    Conditional, // condition ? a : b
    Assign, // text = variable name; one child; global_ for "global x = ..."
    Return, // one child
    Statement, // an expression on a line of its own; one child
    Function, // text = name; parameters; one child, the body (a Script node)
    Script, // children = statements
};

// One parameter of a function: type 'c' clip, 'i' integer, 'f' number,
// 's' string, 'b' boolean, '.' any value; `repeats` takes every further
// positional value. An optional parameter is given by name (or left out).
struct AvsParameter {
    char type = 'c';
    std::string name;
    bool optional = false;
    bool repeats = false;
};

struct AvsNode {
    AvsNodeKind kind = AvsNodeKind::Script;
    int line = 1;
    int column = 1;
    std::string text;
    std::int64_t integer = 0;
    double real = 0;
    bool boolean = false;
    bool global = false;
    std::vector<std::unique_ptr<AvsNode>> children;
    std::vector<std::string> argumentNames;
    std::vector<AvsParameter> parameters;
};

} // namespace discforge
