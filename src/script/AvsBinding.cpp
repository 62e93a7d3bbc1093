#include "script/AvsBinding.h"

#include <algorithm>
#include <cctype>

namespace discforge {
namespace {

std::string Lowered(std::string text)
{
    std::transform(
        text.begin(), text.end(), text.begin(), [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
    return text;
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

} // namespace

std::vector<AvsParameter> AvsParseParameters(const char* text)
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

bool AvsFits(char type, const AvsValue& value)
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

bool AvsBind(AvsCall& call, const std::vector<AvsParameter>& parameters, AvsArguments& given, const AvsValue* last)
{
    std::vector<AvsValue>& positional = given.positional;
    call.arguments.assign(parameters.size(), AvsValue{});
    const bool takesClip = !parameters.empty() && parameters[0].type == 'c' && !parameters[0].optional;
    if (takesClip && (positional.empty() || !std::holds_alternative<AvsClip>(positional[0]))) {
        if (last == nullptr) {
            return call.Fail("there is no clip to work on (\"last\" is not set)");
        }
        positional.insert(positional.begin(), *last);
    }
    std::size_t p = 0;
    for (std::size_t i = 0; i < positional.size(); ++i) {
        if (p >= parameters.size()) {
            return call.Fail("too many arguments (at most " + std::to_string(parameters.size()) + ")");
        }
        const AvsParameter& parameter = parameters[p];
        if (std::holds_alternative<std::monostate>(positional[i])) {
            p += parameter.repeats ? 0 : 1;
            continue;
        }
        // A repeating parameter that has what it needs ends at the first value
        // of another type, which goes to the parameter after it.
        if (parameter.repeats && !AvsFits(parameter.type, positional[i]) && (parameter.optional || call.Given(p))
            && p + 1 < parameters.size()) {
            ++p;
            --i;
            continue;
        }
        if (!AvsFits(parameter.type, positional[i])) {
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
    for (const auto& [name, value] : given.named) {
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
        if (std::holds_alternative<std::monostate>(value)) {
            continue;
        }
        if (!AvsFits(match->type, value)) {
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

} // namespace discforge
