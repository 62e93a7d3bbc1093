// Every text the encoder library shows the user. "%1", "%2" are filled in by Substitute.
#pragma once

#include <initializer_list>
#include <string>

namespace discforge::convert::message {

inline constexpr const char* progressTitle = "Making MPEG";
inline constexpr const char* progressFile = "Writing %1";
inline constexpr const char* progressFrames = "%1 % - frame %2 of %3";
inline constexpr const char* progressPass = "Pass %1 of %2 - ";
inline constexpr const char* progressTimes = "%1 frames/s - elapsed %2 - remaining %3";
inline constexpr const char* cancelButton = "Cancel";

inline constexpr const char* failureTitle = "MPEG encoding failed";
inline constexpr const char* failure = "The MPEG file \"%1\" could not be made: %2";

inline constexpr const char* notInitialised = "no disc format was chosen before the encode";
inline constexpr const char* busy = "another encode is still running";
inline constexpr const char* badParameters = "the encode parameters are not valid (%1)";
inline constexpr const char* videoCallbackFailed = "the picture for frame %1 could not be made (error %2)";
inline constexpr const char* badRowBytes = "the picture for frame %1 has %2 bytes per row instead of %3";
inline constexpr const char* noPixels = "the picture for frame %1 was not delivered";
inline constexpr const char* audioCallbackFailed = "the sound from sample %1 could not be read (error %2)";
inline constexpr const char* badAudioDelivery = "the sound from sample %1 came in an impossible size (%2 bytes)";
inline constexpr const char* trackFailed = "sound stream %1 from \"%2\" could not be made: %3";
inline constexpr const char* cannotCreate = "cannot create a file in \"%1\": %2";
inline constexpr const char* cannotWrite = "cannot write the output: %1";
inline constexpr const char* cannotFinish = "cannot give the output its name: %1";
inline constexpr const char* codecFailed = "%1 failed: %2";
inline constexpr const char* outOfMemory = "not enough memory";
inline constexpr const char* internalError = "an unexpected error in the encoder";
inline constexpr const char* noPictureHeader = "an encoded picture lacks the header its repeated fields are marked in";

// Fills %1, %2, ... with the given values, in order.
inline std::string Substitute(const char* text, std::initializer_list<std::string> values)
{
    std::string result;
    for (const char* p = text; *p != '\0'; ++p) {
        if (p[0] == '%' && p[1] >= '1' && p[1] <= '9') {
            const auto index = static_cast<std::size_t>(p[1] - '1');
            if (index < values.size()) {
                result += *(values.begin() + index);
                ++p;
                continue;
            }
        }
        result += *p;
    }
    return result;
}

} // namespace discforge::convert::message
