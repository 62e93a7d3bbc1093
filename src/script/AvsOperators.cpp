#include "script/AvsOperators.h"

#include <cmath>

namespace discforge {
namespace {

constexpr std::size_t maxTextBytes = std::size_t{1} << 20;

bool IsNumber(const AvsValue& value)
{
    return std::holds_alternative<std::int64_t>(value) || std::holds_alternative<double>(value);
}

double AsDouble(const AvsValue& value)
{
    return std::holds_alternative<double>(value) ? std::get<double>(value)
                                                 : static_cast<double>(std::get<std::int64_t>(value));
}

bool IsComparison(const std::string& op)
{
    return op == "==" || op == "!=" || op == "<>" || op == "<" || op == ">" || op == "<=" || op == ">=";
}

template <typename T> bool Compare(const std::string& op, const T& a, const T& b)
{
    return op == "==" ? a == b
        : op == "<"   ? a < b
        : op == ">"   ? a > b
        : op == "<="  ? a <= b
        : op == ">="  ? a >= b
                      : a != b;
}

bool Arithmetic(const std::string& op, const AvsValue& left, const AvsValue& right, AvsValue& out, std::string& fault)
{
    const bool integers = std::holds_alternative<std::int64_t>(left) && std::holds_alternative<std::int64_t>(right);
    const double a = AsDouble(left);
    const double b = AsDouble(right);
    if (IsComparison(op)) {
        out = Compare(op, a, b);
        return true;
    }
    if ((op == "/" || op == "%") && b == 0) {
        fault = "division by zero";
        return false;
    }
    if (integers) {
        const std::int64_t x = std::get<std::int64_t>(left);
        const std::int64_t y = std::get<std::int64_t>(right);
        const double exact = op == "+" ? a + b : op == "-" ? a - b : op == "*" ? a * b : 0;
        if (std::fabs(exact) > 9e15) {
            fault = "the number is too large";
            return false;
        }
        if (op == "+" || op == "-" || op == "*") {
            out = static_cast<std::int64_t>(exact);
        } else if (op == "/") {
            out = x / y;
        } else if (op == "%") {
            out = x % y;
        } else {
            fault = "\"" + op + "\" cannot join two integers";
            return false;
        }
        return true;
    }
    if (op == "+" || op == "-" || op == "*" || op == "/" || op == "%") {
        out = op == "+" ? a + b : op == "-" ? a - b : op == "*" ? a * b : op == "/" ? a / b : std::fmod(a, b);
        return true;
    }
    fault = "\"" + op + "\" cannot join two numbers";
    return false;
}

} // namespace

bool AvsApplyUnary(const std::string& op, const AvsValue& value, AvsValue& out, std::string& fault)
{
    if (op == "!" && std::holds_alternative<bool>(value)) {
        out = !std::get<bool>(value);
        return true;
    }
    if (op != "!" && std::holds_alternative<std::int64_t>(value)) {
        out = op == "-" ? -std::get<std::int64_t>(value) : std::get<std::int64_t>(value);
        return true;
    }
    if (op != "!" && std::holds_alternative<double>(value)) {
        out = op == "-" ? -std::get<double>(value) : std::get<double>(value);
        return true;
    }
    fault = "\"" + op + "\" cannot be applied to " + AvsTypeName(value);
    return false;
}

bool AvsApplyBinary(
    const std::string& op, const AvsValue& left, const AvsValue& right, AvsValue& out, std::string& fault)
{
    const bool strings = std::holds_alternative<std::string>(left) && std::holds_alternative<std::string>(right);
    if (op == "+" && strings) {
        // A text that doubles in each call of a recursion would fill the memory.
        if (std::get<std::string>(left).size() + std::get<std::string>(right).size() > maxTextBytes) {
            fault = "the text would be longer than " + std::to_string(maxTextBytes) + " bytes";
            return false;
        }
        out = std::get<std::string>(left) + std::get<std::string>(right);
        return true;
    }
    // Strings compare as the language does, without regard to case.
    if (strings && IsComparison(op)) {
        std::string a = std::get<std::string>(left);
        std::string b = std::get<std::string>(right);
        for (std::string* text : {&a, &b}) {
            for (char& c : *text) {
                c = (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c;
            }
        }
        out = Compare(op, a, b);
        return true;
    }
    if ((op == "&&" || op == "||") && std::holds_alternative<bool>(left) && std::holds_alternative<bool>(right)) {
        out = op == "&&" ? (std::get<bool>(left) && std::get<bool>(right))
                         : (std::get<bool>(left) || std::get<bool>(right));
        return true;
    }
    if (IsNumber(left) && IsNumber(right)) {
        return Arithmetic(op, left, right, out, fault);
    }
    if ((op == "==" || op == "!=" || op == "<>") && left.index() == right.index()
        && !std::holds_alternative<AvsClip>(left)) {
        out = (left == right) == (op == "==");
        return true;
    }
    fault = "\"" + op + "\" cannot join " + AvsTypeName(left) + " and " + AvsTypeName(right);
    return false;
}

} // namespace discforge
