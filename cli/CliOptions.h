// The command line of discforge-cli.
#pragma once

#include "formats/DiscSize.h"
#include "formats/ShapeChoice.h"

#include <optional>
#include <string>
#include <vector>

namespace discforge::cli {

enum class Fit { Proportional, Fill, Crop };

struct CropRect {
    int x = 0;
    int y = 0;
    int width = 0;
    int height = 0;
};

// A setting of one component of the media layer for this run.
struct DecoderOption {
    std::string component;
    std::string name;
    std::string value;
};

struct CliOptions {
    int outputFormat = formatVcd;
    std::optional<int> tvStandard;
    // Picture options: each one given overrides the input's own (or the project's).
    std::optional<Fit> fit;
    // The frames' shape; the project's own, or automatic, when not given.
    std::optional<ShapeChoice> shape;
    bool invert = false;
    bool deinterlace = false;
    std::optional<CropRect> crop;
    int splitMB = 0;
    // The batch's video rate is planned to fill a disc of this size; the project's own otherwise.
    std::optional<DiscSize> discSize;
    std::optional<std::string> output;
    bool shutdownWhenDone = false;
    std::vector<DecoderOption> decoderOptions;
    std::optional<int> audioTrack; // from 1, for every input; none: each file's default
    std::optional<std::string> project; // convert the inputs of this project file
    std::optional<std::string> saveProject; // write the inputs into this project file instead of converting
    std::optional<std::string> authorFolder; // make a disc of the converted streams here
    std::optional<std::string> isoImage; // and, for a DVD, its ISO image
    int chapterMinutes = 5;
    std::optional<bool> menu; // a DVD menu of the titles; the project's choice (or on) when not given
    std::vector<std::string> titles; // the menu's names of the inputs, in their order
    std::optional<std::string> menuBackground; // a picture behind the menu
    bool removeStreams = false; // once the disc is made
    // Per input, in order: the subtitle files ("FILE" or "FILE:LANG") given before it.
    std::vector<std::vector<std::string>> subtitles;
    bool burnSubtitles = false; // a DVD's picture carries each input's first subtitle
    // The sound tracks (from 1) of every input that go on a DVD; none given: all of them.
    std::optional<std::vector<int>> dvdAudioTracks;
    bool help = false;
    bool version = false;
    std::vector<std::string> inputs;
};

struct ParseResult {
    CliOptions options;
    std::string error; // one line; empty when the command line is good
};

ParseResult ParseCommandLine(const std::vector<std::string>& arguments);

const char* UsageText();

} // namespace discforge::cli
