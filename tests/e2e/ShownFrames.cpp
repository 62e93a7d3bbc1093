#include "ShownFrames.h"

namespace discforge::test {

ShownFrames ConvertAndRead(const std::string& folder, const std::string& input, const char* target, bool pal)
{
    ShownFrames shown;
    const std::string output = folder + "/shown.mpg";
    shown.run = RunCli({"--target", target, "--standard", pal ? "pal" : "ntsc", "--output", output, input}, folder);
    if (shown.run.exitCode != 0) {
        shown.output.error = "discforge-cli ended with " + std::to_string(shown.run.exitCode) + ": " + shown.run.err;
        return shown;
    }
    shown.output = DecodeOutput(output);
    for (const DecodedPicture& picture : shown.output.pictures) {
        shown.numbers.push_back(picture.number);
    }
    return shown;
}

} // namespace discforge::test
