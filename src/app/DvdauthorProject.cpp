#include "app/DvdauthorProject.h"

#include "core/ConversionSettings.h"
#include "formats/ShapeChoice.h"
#include "platform/MediaError.h"
#include "platform/MediaSource.h"

extern "C" {
#include <libavformat/avformat.h>
}

#include <QString>
#include <QXmlStreamWriter>

#include <algorithm>
#include <filesystem>
#include <memory>

namespace discforge {
namespace {

namespace fs = std::filesystem;

QString Text(const std::string& text) { return QString::fromStdString(text); }

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

// The vob entries of one title: its parts in order, each with the chapters that
// fall in it.
void WriteTitleVobs(QXmlStreamWriter& xml, const StreamParts& parts, int chapterMinutes)
{
    double partStart = 0;
    for (const std::string& part : parts) {
        const double seconds = StreamSeconds(part);
        const std::string chapters = PartChapterList(partStart, seconds, chapterMinutes);
        xml.writeEmptyElement("vob");
        xml.writeAttribute("file", Text(fs::absolute(part).string()));
        if (!chapters.empty()) {
            xml.writeAttribute("chapters", Text(chapters));
        }
        partStart += seconds;
    }
}

// The picture's attributes; the disc's video manager needs the standard too,
// though it may have no menu of its own.
void WriteVideo(QXmlStreamWriter& xml, const std::string& format, bool wide)
{
    xml.writeEmptyElement("video");
    xml.writeAttribute("format", Text(format));
    if (wide) {
        xml.writeAttribute("aspect", "16:9");
        xml.writeAttribute("widescreen", "nopanscan");
    }
}

// The stream attributes a title set declares before its titles.
void WriteTitleSetStreams(QXmlStreamWriter& xml, const std::string& format, const TitleTraits& traits)
{
    WriteVideo(xml, format, traits.wide);
    for (const std::string& language : traits.audioLanguages) {
        xml.writeEmptyElement("audio");
        if (!language.empty()) {
            xml.writeAttribute("lang", Text(language));
        }
    }
    for (std::size_t i = 0; i < traits.subpictureLanguages.size(); ++i) {
        xml.writeStartElement("subpicture");
        if (!traits.subpictureLanguages[i].empty()) {
            xml.writeAttribute("lang", Text(traits.subpictureLanguages[i]));
        }
        // A 16:9 title's subtitles come in pairs, drawn for widescreen and for letterbox sets.
        if (traits.wide) {
            for (const char* mode : {"widescreen", "letterbox"}) {
                xml.writeEmptyElement("stream");
                xml.writeAttribute("id", QString::number(2 * i + (mode[0] == 'l' ? 1 : 0)));
                xml.writeAttribute("mode", mode);
            }
        }
        xml.writeEndElement();
    }
}

// Where each input's title goes: a title set holds one kind of title, in the
// order the kinds first come; titles are numbered within their set and across the disc.
struct TitlePlace {
    int titleSet = 0;
    int title = 0; // within the set, from 1
    int discTitle = 0; // across the disc, from 1
};

struct DiscLayout {
    std::vector<TitleTraits> setKinds; // one a title set, in set order
    std::vector<TitlePlace> places; // one an input
};

DiscLayout PlaceTitles(const std::vector<TitleTraits>& traits)
{
    DiscLayout layout;
    layout.places.resize(traits.size());
    for (const TitleTraits& kind : traits) {
        if (std::find(layout.setKinds.begin(), layout.setKinds.end(), kind) == layout.setKinds.end()) {
            layout.setKinds.push_back(kind);
        }
    }
    int discTitle = 0;
    for (std::size_t set = 0; set < layout.setKinds.size(); ++set) {
        int title = 0;
        for (std::size_t i = 0; i < traits.size(); ++i) {
            if (traits[i] == layout.setKinds[set]) {
                layout.places[i] = {static_cast<int>(set), ++title, ++discTitle};
            }
        }
    }
    return layout;
}

void WriteCommandPgc(QXmlStreamWriter& xml, const char* part, const std::string& commands)
{
    xml.writeStartElement("pgc");
    xml.writeTextElement(part, Text(commands));
    xml.writeEndElement();
}

} // namespace

// A title of another set is reached through a menu of the video manager, since a
// title can only jump within its own set.
std::string DvdauthorProject(
    const AuthoringRequest& request, const std::string& destination, const std::vector<TitleTraits>& traits)
{
    const std::string format = request.tvStandard == standardPal ? "pal" : "ntsc";
    std::vector<TitleTraits> kinds = traits;
    kinds.resize(request.streams.size());
    const DiscLayout layout = PlaceTitles(kinds);
    const std::vector<TitlePlace>& places = layout.places;
    std::vector<std::string> crossings;
    std::vector<std::string> posts(places.size());
    for (std::size_t i = 0; i + 1 < places.size(); ++i) {
        const TitlePlace& next = places[i + 1];
        if (next.titleSet == places[i].titleSet) {
            posts[i] = "jump title " + std::to_string(next.title) + ";";
        } else {
            crossings.push_back("jump title " + std::to_string(next.discTitle) + ";");
            posts[i] = "call vmgm menu " + std::to_string(crossings.size()) + ";";
        }
    }

    QString text;
    QXmlStreamWriter xml(&text);
    xml.setAutoFormatting(true);
    xml.setAutoFormattingIndent(1);
    xml.writeStartDocument();
    xml.writeStartElement("dvdauthor");
    xml.writeAttribute("dest", Text(destination));
    xml.writeStartElement("vmgm");
    xml.writeStartElement("menus");
    WriteVideo(xml, format, false);
    for (const std::string& crossing : crossings) {
        WriteCommandPgc(xml, "pre", crossing);
    }
    xml.writeEndElement(); // menus
    xml.writeEndElement(); // vmgm
    for (std::size_t set = 0; set < layout.setKinds.size(); ++set) {
        xml.writeStartElement("titleset");
        xml.writeStartElement("titles");
        WriteTitleSetStreams(xml, format, layout.setKinds[set]);
        for (std::size_t i = 0; i < places.size(); ++i) {
            if (places[i].titleSet != static_cast<int>(set)) {
                continue;
            }
            xml.writeStartElement("pgc");
            WriteTitleVobs(xml, request.streams[i], request.chapterMinutes);
            if (!posts[i].empty()) {
                xml.writeTextElement("post", Text(posts[i]));
            }
            xml.writeEndElement(); // pgc
        }
        xml.writeEndElement(); // titles
        xml.writeEndElement(); // titleset
    }
    xml.writeEndDocument();
    return text.toStdString();
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
