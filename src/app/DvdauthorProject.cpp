#include "app/DvdauthorProject.h"

#include "app/DvdLanguages.h"
#include "core/ConversionSettings.h"
#include "formats/ShapeChoice.h"
#include "platform/MediaError.h"
#include "platform/MediaSource.h"

extern "C" {
#include <libavformat/avformat.h>
}

#include <algorithm>
#include <filesystem>
#include <memory>

namespace discforge {
namespace {

namespace fs = std::filesystem;

// The length of a converted stream; 0 when it cannot be read.
double StreamSeconds(const std::string& path)
{
    MediaError error;
    const std::unique_ptr<MediaSource> source = MediaSource::Open(path, error);
    if (!source || source->Context()->duration <= 0) {
        return 0;
    }
    return static_cast<double>(source->Context()->duration) / AV_TIME_BASE;
}

std::string EscapeXml(const std::string& text)
{
    std::string escaped;
    for (const char c : text) {
        switch (c) {
        case '&':
            escaped += "&amp;";
            break;
        case '<':
            escaped += "&lt;";
            break;
        case '>':
            escaped += "&gt;";
            break;
        case '"':
            escaped += "&quot;";
            break;
        default:
            escaped += c;
        }
    }
    return escaped;
}

// The vob entries of one title: its parts in order, each with the chapters that
// fall in it.
std::string TitleVobs(const StreamParts& parts, int chapterMinutes)
{
    std::string xml;
    double partStart = 0;
    for (const std::string& part : parts) {
        const double seconds = StreamSeconds(part);
        const std::string chapters = PartChapterList(partStart, seconds, chapterMinutes);
        xml += "    <vob file=\"" + EscapeXml(fs::absolute(part).string()) + "\"";
        if (!chapters.empty()) {
            xml += " chapters=\"" + chapters + "\"";
        }
        xml += " />\n";
        partStart += seconds;
    }
    return xml;
}

// Where each input's title goes: a title set holds one shape, in the order the
// shapes first come; titles are numbered within their set and across the disc.
struct TitlePlace {
    bool wide = false;
    int titleSet = 0;
    int title = 0; // within the set, from 1
    int discTitle = 0; // across the disc, from 1
};

std::vector<TitlePlace> PlaceTitles(const std::vector<bool>& wide)
{
    std::vector<TitlePlace> places(wide.size());
    std::vector<bool> setShapes;
    for (std::size_t i = 0; i < wide.size(); ++i) {
        places[i].wide = wide[i];
        if (std::find(setShapes.begin(), setShapes.end(), places[i].wide) == setShapes.end()) {
            setShapes.push_back(places[i].wide);
        }
    }
    int discTitle = 0;
    for (std::size_t set = 0; set < setShapes.size(); ++set) {
        int title = 0;
        for (TitlePlace& place : places) {
            if (place.wide == setShapes[set]) {
                place.titleSet = static_cast<int>(set);
                place.title = ++title;
                place.discTitle = ++discTitle;
            }
        }
    }
    return places;
}

// The sound streams a title set declares: a player shows their languages on its Audio
// button. A set has one list for all its titles, taken from its title of the most streams.
std::string SoundLines(const AuthoringRequest& request, const std::vector<TitlePlace>& places, int set)
{
    const std::vector<std::string>* most = nullptr;
    for (std::size_t i = 0; i < places.size() && i < request.soundLanguages.size(); ++i) {
        if (places[i].titleSet == set && (most == nullptr || request.soundLanguages[i].size() > most->size())) {
            most = &request.soundLanguages[i];
        }
    }
    std::string lines;
    if (most == nullptr || most->size() < 2) {
        // One stream of no language: dvdauthor finds it by itself, as always.
        const std::string code = most != nullptr && !most->empty() ? DvdLanguageCode(most->front()) : "";
        return code.empty() ? lines : "   <audio lang=\"" + code + "\" />\n";
    }
    for (const std::string& language : *most) {
        const std::string code = DvdLanguageCode(language);
        lines += code.empty() ? "   <audio />\n" : "   <audio lang=\"" + code + "\" />\n";
    }
    return lines;
}

// The subtitle streams a title set declares, from its title of the most; a 16:9 set's
// come in pairs, for widescreen and letterbox (see SubtitleAuthoring).
std::string SubtitleLines(const AuthoringRequest& request, const std::vector<TitlePlace>& places, int set, bool wide)
{
    const std::vector<std::string>* most = nullptr;
    for (std::size_t i = 0; i < places.size() && i < request.subtitleLanguages.size(); ++i) {
        if (places[i].titleSet == set && (most == nullptr || request.subtitleLanguages[i].size() > most->size())) {
            most = &request.subtitleLanguages[i];
        }
    }
    std::string lines;
    for (std::size_t i = 0; most != nullptr && i < most->size(); ++i) {
        const std::string code = DvdLanguageCode((*most)[i]);
        const std::string lang = code.empty() ? "" : " lang=\"" + code + "\"";
        if (wide) {
            lines += "   <subpicture" + lang + "><stream id=\"" + std::to_string(2 * i)
                + "\" mode=\"widescreen\" /><stream id=\"" + std::to_string(2 * i + 1)
                + "\" mode=\"letterbox\" /></subpicture>\n";
        } else {
            lines += "   <subpicture" + lang + " />\n";
        }
    }
    return lines;
}

} // namespace

// A title of another set is reached through a menu of the video manager, since a
// title can only jump within its own set.
std::string DvdauthorProject(
    const AuthoringRequest& request, const std::string& destination, const std::vector<bool>& wide)
{
    const std::string format = request.tvStandard == standardPal ? "pal" : "ntsc";
    // The disc's video manager needs the standard too, though it has no menu.
    const std::string video = "<video format=\"" + format + "\" />";
    const std::string wideVideo = "<video format=\"" + format + "\" aspect=\"16:9\" widescreen=\"nopanscan\" />";
    std::vector<bool> shapes = wide;
    shapes.resize(request.streams.size(), false);
    const std::vector<TitlePlace> places = PlaceTitles(shapes);
    std::string crossings;
    std::vector<std::string> posts(places.size());
    int menus = 0;
    for (std::size_t i = 0; i + 1 < places.size(); ++i) {
        const TitlePlace& next = places[i + 1];
        if (next.titleSet == places[i].titleSet) {
            posts[i] = "jump title " + std::to_string(next.title) + ";";
        } else {
            crossings += "<pgc><pre>jump title " + std::to_string(next.discTitle) + ";</pre></pgc>";
            posts[i] = "call vmgm menu " + std::to_string(++menus) + ";";
        }
    }
    std::string xml = "<dvdauthor dest=\"" + EscapeXml(destination) + "\">\n <vmgm><menus>" + video + crossings
        + "</menus></vmgm>\n";
    int sets = 0;
    for (const TitlePlace& place : places) {
        sets = std::max(sets, place.titleSet + 1);
    }
    for (int set = 0; set < sets; ++set) {
        std::string titles;
        bool wide = false;
        for (std::size_t i = 0; i < places.size(); ++i) {
            if (places[i].titleSet != set) {
                continue;
            }
            wide = places[i].wide;
            titles += "   <pgc>\n" + TitleVobs(request.streams[i], request.chapterMinutes);
            if (!posts[i].empty()) {
                titles += "    <post>" + posts[i] + "</post>\n";
            }
            titles += "   </pgc>\n";
        }
        xml += " <titleset>\n  <titles>\n   " + (wide ? wideVideo : video) + "\n" + SoundLines(request, places, set)
            + SubtitleLines(request, places, set, wide) + titles
            + "  </titles>\n </titleset>\n";
    }
    xml += "</dvdauthor>\n";
    return xml;
}

// Whether a converted stream's frames are shown 16:9, by its sequence header's shape.
bool StreamIsWide(const std::string& path)
{
    MediaError error;
    const std::unique_ptr<MediaSource> source = MediaSource::Open(path, error);
    if (!source) {
        return false;
    }
    AVFormatContext* context = source->Context();
    for (unsigned i = 0; i < context->nb_streams; ++i) {
        const AVCodecParameters& video = *context->streams[i]->codecpar;
        if (video.codec_type != AVMEDIA_TYPE_VIDEO || video.width <= 0 || video.height <= 0) {
            continue;
        }
        const AVRational pixel = av_guess_sample_aspect_ratio(context, context->streams[i], nullptr);
        if (pixel.num <= 0 || pixel.den <= 0) {
            return false;
        }
        return static_cast<double>(video.width) * pixel.num / (static_cast<double>(video.height) * pixel.den)
            > autoWideAspect;
    }
    return false;
}

} // namespace discforge
