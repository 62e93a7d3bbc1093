#include "CliOptions.h"

#include "core/ConversionSettings.h"

#include <algorithm>
#include <charconv>
#include <map>

namespace discforge::cli {
namespace {

std::optional<int> ParseInt(const std::string& text)
{
    int value = 0;
    const char* end = text.data() + text.size();
    const auto [stop, error] = std::from_chars(text.data(), end, value);
    if (error != std::errc() || stop != end || text.empty()) {
        return std::nullopt;
    }
    return value;
}

std::optional<CropRect> ParseCrop(const std::string& text)
{
    CropRect rect;
    int* fields[] = {&rect.x, &rect.y, &rect.width, &rect.height};
    std::size_t start = 0;
    for (std::size_t index = 0; index < 4; ++index) {
        const std::size_t comma = text.find(',', start);
        const bool last = index == 3;
        if (last != (comma == std::string::npos)) {
            return std::nullopt;
        }
        const auto value = ParseInt(text.substr(start, last ? std::string::npos : comma - start));
        if (!value || *value < 0) {
            return std::nullopt;
        }
        *fields[index] = *value;
        start = comma + 1;
    }
    return rect;
}

// "1,3": track numbers from 1, each once.
std::optional<std::vector<int>> ParseTrackList(const std::string& text)
{
    std::vector<int> tracks;
    std::size_t start = 0;
    while (start <= text.size()) {
        const std::size_t comma = std::min(text.find(',', start), text.size());
        const auto track = ParseInt(text.substr(start, comma - start));
        if (!track || *track < 1 || std::find(tracks.begin(), tracks.end(), *track) != tracks.end()) {
            return std::nullopt;
        }
        tracks.push_back(*track);
        start = comma + 1;
    }
    return tracks;
}

// COMPONENT:NAME=VALUE; component names may hold ':', option names do not.
std::optional<DecoderOption> ParseDecoderOption(const std::string& text)
{
    const std::size_t equals = text.find('=');
    if (equals == std::string::npos) {
        return std::nullopt;
    }
    const std::size_t colon = text.rfind(':', equals);
    if (colon == std::string::npos || colon == 0 || colon + 1 == equals) {
        return std::nullopt;
    }
    return DecoderOption{text.substr(0, colon), text.substr(colon + 1, equals - colon - 1), text.substr(equals + 1)};
}

template <typename Value>
bool Choose(const std::map<std::string, Value>& choices, const std::string& text, Value& target)
{
    const auto it = choices.find(text);
    if (it == choices.end()) {
        return false;
    }
    target = it->second;
    return true;
}

} // namespace

const char* UsageText()
{
    return "usage: discforge-cli [--target vcd|svcd|dvd] [--standard ntsc|pal] [--fit proportional|fill|crop]\n"
           "                     [--aspect auto|4:3|16:9] [--invert] [--deinterlace] [--crop X,Y,W,H] [--split MB]\n"
           "                     [--output FILE] [--shutdown-when-done] [--save-project FILE.mdp]\n"
           "                     [--disc-size dvd5|dvd9|cd74|cd80|MB]\n"
           "                     [--decoder-option COMPONENT:NAME=VALUE]... [--audio-track N]\n"
           "                     [--author DIR [--iso FILE.iso] [--chapters MIN] [--remove-streams]\n"
           "                      [--menu|--no-menu] [--menu-background PICTURE] [--title NAME]...]\n"
           "                     [--subtitles FILE[:LANG]]... [--burn-subtitles] [--dvd-audio-tracks N,N...]\n"
           "                     INPUT...\n"
           "       discforge-cli [options] --project FILE.mdp\n";
}

ParseResult ParseCommandLine(const std::vector<std::string>& arguments)
{
    static const std::map<std::string, int> targets{{"vcd", formatVcd}, {"svcd", formatSvcd}, {"dvd", formatDvd}};
    static const std::map<std::string, int> standards{{"ntsc", standardNtsc}, {"pal", standardPal}};
    static const std::map<std::string, Fit> fits{
        {"proportional", Fit::Proportional}, {"fill", Fit::Fill}, {"crop", Fit::Crop}};
    static const std::map<std::string, ShapeChoice> shapes{
        {"auto", ShapeChoice::automatic}, {"4:3", ShapeChoice::fourByThree}, {"16:9", ShapeChoice::sixteenByNine}};

    ParseResult result;
    CliOptions& options = result.options;
    bool optionsEnded = false;
    std::vector<std::string> pendingSubtitles; // for the next input
    for (std::size_t i = 0; i < arguments.size(); ++i) {
        const std::string& argument = arguments[i];
        if (optionsEnded || argument.empty() || argument[0] != '-' || argument == "-") {
            options.inputs.push_back(argument);
            options.subtitles.resize(options.inputs.size());
            options.subtitles.back() = std::move(pendingSubtitles);
            pendingSubtitles.clear();
            continue;
        }
        if (argument == "--") {
            optionsEnded = true;
            continue;
        }
        if (argument == "--help" || argument == "-h") {
            options.help = true;
            continue;
        }
        if (argument == "--version") {
            options.version = true;
            continue;
        }
        if (argument == "--invert") {
            options.invert = true;
            continue;
        }
        if (argument == "--deinterlace") {
            options.deinterlace = true;
            continue;
        }
        if (argument == "--shutdown-when-done") {
            options.shutdownWhenDone = true;
            continue;
        }
        if (argument == "--remove-streams") {
            options.removeStreams = true;
            continue;
        }
        if (argument == "--burn-subtitles") {
            options.burnSubtitles = true;
            continue;
        }
        if (argument == "--menu" || argument == "--no-menu") {
            options.menu = argument == "--menu";
            continue;
        }
        const bool takesValue = argument == "--target" || argument == "--standard" || argument == "--fit"
            || argument == "--aspect" || argument == "--crop" || argument == "--split" || argument == "--output"
            || argument == "--project" || argument == "--save-project" || argument == "--decoder-option"
            || argument == "--author" || argument == "--iso" || argument == "--chapters" || argument == "--audio-track"
            || argument == "--disc-size" || argument == "--title" || argument == "--menu-background"
            || argument == "--subtitles" || argument == "--dvd-audio-tracks";
        if (!takesValue) {
            result.error = "unknown option " + argument;
            return result;
        }
        if (i + 1 >= arguments.size()) {
            result.error = argument + " needs a value";
            return result;
        }
        const std::string& value = arguments[++i];
        bool good = true;
        if (argument == "--target") {
            good = Choose(targets, value, options.outputFormat);
        } else if (argument == "--standard") {
            int standard = 0;
            good = Choose(standards, value, standard);
            options.tvStandard = standard;
        } else if (argument == "--fit") {
            Fit fit = Fit::Proportional;
            good = Choose(fits, value, fit);
            options.fit = fit;
        } else if (argument == "--aspect") {
            ShapeChoice shape = ShapeChoice::automatic;
            good = Choose(shapes, value, shape);
            options.shape = shape;
        } else if (argument == "--crop") {
            options.crop = ParseCrop(value);
            good = options.crop.has_value();
        } else if (argument == "--split") {
            const auto megabytes = ParseInt(value);
            good = megabytes && *megabytes >= 1 && *megabytes <= 4096;
            options.splitMB = good ? *megabytes : 0;
        } else if (argument == "--disc-size") {
            options.discSize = ParseDiscSize(value);
            good = options.discSize.has_value();
        } else if (argument == "--project") {
            options.project = value;
        } else if (argument == "--save-project") {
            options.saveProject = value;
        } else if (argument == "--author") {
            options.authorFolder = value;
        } else if (argument == "--title") {
            options.titles.push_back(value);
        } else if (argument == "--menu-background") {
            options.menuBackground = value;
        } else if (argument == "--iso") {
            options.isoImage = value;
        } else if (argument == "--chapters") {
            const auto minutes = ParseInt(value);
            good = minutes && *minutes >= 1 && *minutes <= 999;
            options.chapterMinutes = good ? *minutes : 0;
        } else if (argument == "--audio-track") {
            options.audioTrack = ParseInt(value);
            good = options.audioTrack && *options.audioTrack >= 1;
        } else if (argument == "--subtitles") {
            pendingSubtitles.push_back(value);
        } else if (argument == "--dvd-audio-tracks") {
            options.dvdAudioTracks = ParseTrackList(value);
            good = options.dvdAudioTracks.has_value();
        } else if (argument == "--decoder-option") {
            const std::optional<DecoderOption> option = ParseDecoderOption(value);
            good = option.has_value();
            if (good) {
                options.decoderOptions.push_back(*option);
            }
        } else {
            options.output = value;
        }
        if (!good) {
            const char* hint = argument == "--split" ? " (1 to 4096 megabytes)"
                : argument == "--decoder-option"     ? " (COMPONENT:NAME=VALUE)"
                : argument == "--chapters"           ? " (1 to 999 minutes)"
                : argument == "--audio-track"        ? " (a track number from 1)"
                : argument == "--dvd-audio-tracks"   ? " (track numbers from 1, parted by commas)"
                : argument == "--disc-size"          ? " (dvd5, dvd9, cd74, cd80 or 1 to 1000000 MB)"
                                                     : "";
            result.error = "bad value '" + value + "' for " + argument + hint;
            return result;
        }
    }
    if (options.help || options.version) {
        return result;
    }
    const bool anySubtitles = std::any_of(options.subtitles.begin(), options.subtitles.end(),
        [](const std::vector<std::string>& files) { return !files.empty(); });
    if (!pendingSubtitles.empty()) {
        result.error = "--subtitles goes before the INPUT it belongs to";
        return result;
    }
    // A VCD or SVCD carries subtitles in its picture; a DVD's go on its disc or into its picture.
    if (anySubtitles && options.outputFormat == formatDvd && !options.authorFolder && !options.burnSubtitles) {
        result.error = "--subtitles on a DVD goes with --author or --burn-subtitles";
        return result;
    }
    if (options.dvdAudioTracks && options.outputFormat != formatDvd) {
        result.error = "--dvd-audio-tracks is for DVDs only";
        return result;
    }
    if (options.project) {
        if (!options.inputs.empty()) {
            result.error = "--project takes its inputs from the project; give no INPUT";
        } else if (options.saveProject) {
            result.error = "--project and --save-project cannot be combined";
        } else if (options.audioTrack) {
            result.error = "--audio-track is for INPUTs; a project keeps each input's own track";
        }
    } else if (options.inputs.empty()) {
        result.error = "no input given";
    } else if (options.output && options.inputs.size() > 1) {
        result.error = "--output is only allowed with one input";
    }
    if (!result.error.empty()) {
        return result;
    }
    if ((options.isoImage || options.removeStreams) && !options.authorFolder) {
        result.error = "--iso and --remove-streams go with --author";
    } else if (options.isoImage && options.outputFormat != formatDvd) {
        result.error = "--iso is for DVDs only";
    } else if (options.authorFolder && options.saveProject) {
        result.error = "--save-project converts nothing to put on a disc";
    } else if (!options.project && options.titles.size() > options.inputs.size()) {
        result.error = "more --title names than INPUTs";
    }
    return result;
}

} // namespace discforge::cli
