// discforge-mediagen: writes the sample inputs the tests and the demo use.
#include "mediagen/MediaGen.h"

extern "C" {
#include <libavutil/log.h>
}

#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <map>
#include <string>

namespace {

using namespace discforge::mediagen;

constexpr const char* helpText
    = "Usage:\n"
      "  discforge-mediagen avi FILE.avi [options]   an AVI with the test picture and click track\n"
      "  discforge-mediagen list FILE.lst [options]  a picture list with numbered BMP pictures\n"
      "  discforge-mediagen --help\n"
      "\n"
      "Every frame shows its number as a band of 24 black and white cells across the top\n"
      "(white, black, 20 bits highest first, even parity, black) and in digits below it.\n"
      "The sound is a 440 Hz tone with a 10 ms click at the start of every second.\n"
      "\n"
      "AVI options:\n"
      "  --video mpeg4|mjpeg|rgb|none video codec (default mpeg4; rgb = uncompressed 24-bit;\n"
      "                               none = sound only)\n"
      "  --audio pcm44|pcm48|u8-11025|u8-22050|mp3|none\n"
      "                               16-bit stereo 44100 or 48000 Hz, 8-bit mono 11025 or\n"
      "                               22050 Hz, MP3 128 kbit/s stereo 44100 Hz, or no sound\n"
      "                               (default pcm44)\n"
      "  --fps 25|29.97|2997/100|23.976\n"
      "                               frame rate (default 25; 29.97 is 30000/1001, 2997/100\n"
      "                               is exactly 29.97, 23.976 is 24000/1001)\n"
      "  --size WxH                   picture size, even numbers from 32 to 4096 (default 352x288)\n"
      "  --seconds S                  length in seconds (default 2)\n"
      "  --frames N                   length in frames (overrides --seconds)\n"
      "  --gop N                      MPEG-4 key-frame interval (default 12)\n"
      "  --fourcc CODE                four-character codec code to write instead of the usual one\n"
      "\n"
      "List options:\n"
      "  --pictures N                 number of pictures (default 10)\n"
      "  --size WxH                   picture size (default 320x240)\n"
      "  --full-paths                 list lines hold full paths instead of bare file names\n";

int Usage(const std::string& problem)
{
    std::fprintf(stderr, "discforge-mediagen: %s\n\n%s", problem.c_str(), helpText);
    return 2;
}

bool ParseSize(const std::string& text, int& width, int& height)
{
    return std::sscanf(text.c_str(), "%dx%d", &width, &height) == 2;
}

bool ParseNumber(const std::string& text, long long& value)
{
    char* end = nullptr;
    value = std::strtoll(text.c_str(), &end, 10);
    return end != text.c_str() && *end == '\0';
}

int WriteAviCommand(const std::map<std::string, std::string>& options, const std::string& path)
{
    static const std::map<std::string, VideoCodec> codecs{{"mpeg4", VideoCodec::Mpeg4}, {"mjpeg", VideoCodec::Mjpeg},
        {"rgb", VideoCodec::RawRgb}, {"none", VideoCodec::None}};
    static const std::map<std::string, AudioForm> forms{{"pcm44", AudioForm::Stereo16At44100},
        {"pcm48", AudioForm::Stereo16At48000}, {"u8-11025", AudioForm::Mono8At11025},
        {"u8-22050", AudioForm::Mono8At22050}, {"mp3", AudioForm::Mp3}, {"none", AudioForm::None}};
    static const std::map<std::string, FrameRate> rates{{"25", FrameRate::Pal25}, {"29.97", FrameRate::Ntsc2997},
        {"2997/100", FrameRate::Exact2997}, {"23.976", FrameRate::Film23976}};
    AviRecipe recipe;
    recipe.path = path;
    double seconds = 2;
    for (const auto& [name, value] : options) {
        long long number = 0;
        if (name == "video" && codecs.count(value) != 0) {
            recipe.video = codecs.at(value);
        } else if (name == "audio" && forms.count(value) != 0) {
            recipe.audio = forms.at(value);
        } else if (name == "fps" && rates.count(value) != 0) {
            recipe.rate = rates.at(value);
        } else if (name == "size" && ParseSize(value, recipe.width, recipe.height)) {
        } else if (name == "seconds" && std::sscanf(value.c_str(), "%lf", &seconds) == 1 && seconds > 0) {
        } else if (name == "frames" && ParseNumber(value, number)) {
            recipe.frames = number;
        } else if (name == "gop" && ParseNumber(value, number) && number > 0 && number < 10000) {
            recipe.keyFrameInterval = static_cast<int>(number);
        } else if (name == "fourcc") {
            recipe.fourCC = value;
        } else {
            return Usage("bad option --" + name + " " + value);
        }
    }
    if (options.count("frames") == 0) {
        int numerator = 0;
        int denominator = 0;
        FrameRateFraction(recipe.rate, numerator, denominator);
        recipe.frames = std::llround(seconds * numerator / denominator);
    }
    std::string error;
    if (!WriteAvi(recipe, error)) {
        std::fprintf(stderr, "discforge-mediagen: %s: %s\n", path.c_str(), error.c_str());
        return 1;
    }
    return 0;
}

int WriteListCommand(const std::map<std::string, std::string>& options, const std::string& path)
{
    ListRecipe recipe;
    recipe.path = path;
    for (const auto& [name, value] : options) {
        long long number = 0;
        if (name == "pictures" && ParseNumber(value, number)) {
            recipe.pictures = number;
        } else if (name == "size" && ParseSize(value, recipe.width, recipe.height)) {
        } else if (name == "full-paths") {
            recipe.fullPaths = true;
        } else {
            return Usage("bad option --" + name);
        }
    }
    std::string error;
    if (!WritePictureList(recipe, error)) {
        std::fprintf(stderr, "discforge-mediagen: %s: %s\n", path.c_str(), error.c_str());
        return 1;
    }
    return 0;
}

} // namespace

int main(int argc, char** argv)
{
    av_log_set_level(AV_LOG_ERROR);
    if (argc >= 2 && (std::string(argv[1]) == "--help" || std::string(argv[1]) == "-h")) {
        std::fputs(helpText, stdout);
        return 0;
    }
    if (argc < 3) {
        return Usage("a command and an output file are needed");
    }
    const std::string command = argv[1];
    const std::string path = argv[2];
    std::map<std::string, std::string> options;
    for (int i = 3; i < argc; ++i) {
        std::string name = argv[i];
        if (name.rfind("--", 0) != 0) {
            return Usage("unexpected argument " + name);
        }
        name = name.substr(2);
        if (name == "full-paths") {
            options[name] = "";
        } else if (i + 1 < argc) {
            options[name] = argv[++i];
        } else {
            return Usage("--" + name + " needs a value");
        }
    }
    if (command == "avi") {
        return WriteAviCommand(options, path);
    }
    if (command == "list") {
        return WriteListCommand(options, path);
    }
    return Usage("unknown command " + command);
}
