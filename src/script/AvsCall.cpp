// A call's arguments as the function files read them, and the helpers every
// group shares.
#include "script/AvsFunctions.h"

namespace discforge {

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
    return AvsNumber(arguments[i]);
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

double AvsNumber(const AvsValue& value)
{
    return std::holds_alternative<double>(value) ? std::get<double>(value)
                                                 : static_cast<double>(std::get<std::int64_t>(value));
}

} // namespace discforge
