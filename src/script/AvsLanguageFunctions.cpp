// The language's own functions: whether a value is set, choosing among
// values, whether a file exists, and arithmetic.
#include "script/AvsFunctions.h"

#include <cmath>
#include <numbers>

namespace discforge {
namespace {

bool Defined(AvsCall& call, AvsValue& result)
{
    result = call.Given(0);
    return true;
}

bool Default(AvsCall& call, AvsValue& result)
{
    result = call.Given(0) ? call.arguments[0] : call.arguments[1];
    return true;
}

// Select(index, item0, item1, ...): the item the index counts to from 0.
bool Select(AvsCall& call, AvsValue& result)
{
    const std::int64_t index = call.Int(0, 0);
    const auto count = static_cast<std::int64_t>(call.extra.size()) + 1;
    if (index < 0 || index >= count) {
        return call.Fail(
            "the index " + std::to_string(index) + " chooses none of the " + std::to_string(count) + " values");
    }
    result = index == 0 ? call.arguments[1] : call.extra[static_cast<std::size_t>(index - 1)];
    return true;
}

bool Exist(AvsCall& call, AvsValue& result)
{
    std::string path;
    const std::string given = call.String(0, "");
    result = !given.empty() && AvsLocalPath(call, given, path) && call.Probe().IsFile(path);
    return true;
}

// A number that an integer result must hold.
bool Whole(AvsCall& call, AvsValue& result, double value)
{
    if (!(std::fabs(value) <= 9e15)) {
        return call.Fail("the number is out of range");
    }
    result = static_cast<std::int64_t>(value);
    return true;
}

bool Int(AvsCall& call, AvsValue& result) { return Whole(call, result, std::trunc(call.Number(0, 0))); }
bool Round(AvsCall& call, AvsValue& result) { return Whole(call, result, std::round(call.Number(0, 0))); }
bool Floor(AvsCall& call, AvsValue& result) { return Whole(call, result, std::floor(call.Number(0, 0))); }
bool Ceil(AvsCall& call, AvsValue& result) { return Whole(call, result, std::ceil(call.Number(0, 0))); }

bool Float(AvsCall& call, AvsValue& result)
{
    result = call.Number(0, 0);
    return true;
}

// Integers stay integers.
bool Abs(AvsCall& call, AvsValue& result)
{
    if (std::holds_alternative<std::int64_t>(call.arguments[0])) {
        result = std::abs(call.Int(0, 0));
    } else {
        result = std::fabs(call.Number(0, 0));
    }
    return true;
}

bool Sign(AvsCall& call, AvsValue& result)
{
    const double value = call.Number(0, 0);
    result = std::int64_t{value > 0 ? 1 : value < 0 ? -1 : 0};
    return true;
}

// The least or greatest of its values: an integer when all are.
bool Extreme(AvsCall& call, AvsValue& result, bool least)
{
    std::vector<AvsValue> values{call.arguments[0]};
    values.insert(values.end(), call.extra.begin(), call.extra.end());
    bool integers = true;
    AvsValue best = values[0];
    for (const AvsValue& value : values) {
        integers = integers && std::holds_alternative<std::int64_t>(value);
        if (least ? AvsNumber(value) < AvsNumber(best) : AvsNumber(value) > AvsNumber(best)) {
            best = value;
        }
    }
    result = integers ? best : AvsValue{AvsNumber(best)};
    return true;
}

bool Min(AvsCall& call, AvsValue& result) { return Extreme(call, result, true); }
bool Max(AvsCall& call, AvsValue& result) { return Extreme(call, result, false); }

bool Real(AvsCall& call, AvsValue& result, double value)
{
    if (!std::isfinite(value)) {
        return call.Fail("the result is not a finite number");
    }
    result = value;
    return true;
}

bool Sqrt(AvsCall& call, AvsValue& result) { return Real(call, result, std::sqrt(call.Number(0, 0))); }
bool Pow(AvsCall& call, AvsValue& result) { return Real(call, result, std::pow(call.Number(0, 0), call.Number(1, 0))); }
bool Exp(AvsCall& call, AvsValue& result) { return Real(call, result, std::exp(call.Number(0, 0))); }
bool Log(AvsCall& call, AvsValue& result) { return Real(call, result, std::log(call.Number(0, 0))); }
bool Sin(AvsCall& call, AvsValue& result) { return Real(call, result, std::sin(call.Number(0, 0))); }
bool Cos(AvsCall& call, AvsValue& result) { return Real(call, result, std::cos(call.Number(0, 0))); }
bool Frac(AvsCall& call, AvsValue& result)
{
    const double value = call.Number(0, 0);
    return Real(call, result, value - std::trunc(value));
}
bool Pi(AvsCall& call, AvsValue& result) { return Real(call, result, std::numbers::pi); }

constexpr AvsFunction languageFunctions[] = {
    {"Defined", "[value:.]", Defined},
    {"Default", "[value:.] default:.", Default},
    {"Select", "index:i item:.+", Select},
    {"Exist", "filename:s", Exist},
    {"Int", "value:f", Int},
    {"Float", "value:f", Float},
    {"Round", "value:f", Round},
    {"Floor", "value:f", Floor},
    {"Ceil", "value:f", Ceil},
    {"Abs", "value:f", Abs},
    {"Sign", "value:f", Sign},
    {"Min", "value:f+", Min},
    {"Max", "value:f+", Max},
    {"Sqrt", "value:f", Sqrt},
    {"Pow", "base:f power:f", Pow},
    {"Exp", "value:f", Exp},
    {"Log", "value:f", Log},
    {"Sin", "value:f", Sin},
    {"Cos", "value:f", Cos},
    {"Frac", "value:f", Frac},
    {"Pi", "", Pi},
    {nullptr, nullptr, nullptr},
};

} // namespace

const AvsFunction* AvsLanguageFunctions() { return languageFunctions; }

} // namespace discforge
