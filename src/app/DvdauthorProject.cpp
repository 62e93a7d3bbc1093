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
// though it may have no menu of its own. A half-width frame is given as a frame
// of the table, so that dvdauthor checks every title of the set against it.
void WriteVideo(QXmlStreamWriter& xml, const std::string& format, bool wide, const DiscFormat* halfWidth = nullptr)
{
    xml.writeEmptyElement("video");
    xml.writeAttribute("format", Text(format));
    if (wide) {
        xml.writeAttribute("aspect", "16:9");
        xml.writeAttribute("widescreen", "nopanscan");
    }
    if (halfWidth != nullptr) {
        xml.writeAttribute("resolution", QString("%1x%2").arg(halfWidth->width).arg(halfWidth->height));
    }
}

// The stream attributes a title set declares before its titles.
void WriteTitleSetStreams(QXmlStreamWriter& xml, const std::string& format, int tvStandard, const TitleTraits& traits)
{
    WriteVideo(xml, format, traits.wide, traits.halfWidth ? FindHalfWidthFormat(formatDvd, tvStandard) : nullptr);
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

// What the menu's registers hold: whether "Play all" is on, and the page to come back to.
constexpr const char* playingAll = "g1";
constexpr const char* titlePage = "g2";

std::string Menu(std::size_t number) { return "vmgm menu " + std::to_string(number); }

// The menu page (from 1) that holds each input's button.
std::vector<int> TitlePages(const DiscMenu& menu, std::size_t titles)
{
    std::vector<int> pages(titles, 1);
    for (std::size_t page = 0; page < menu.pages.size(); ++page) {
        for (const MenuButton& button : menu.pages[page].buttons) {
            if (button.kind == MenuButtonKind::title && button.title >= 0
                && static_cast<std::size_t>(button.title) < titles) {
                pages[button.title] = static_cast<int>(page) + 1;
            }
        }
    }
    return pages;
}

std::string ButtonCommands(const MenuButton& button, std::size_t page, const std::vector<TitlePlace>& places)
{
    switch (button.kind) {
    case MenuButtonKind::title:
        return std::string(playingAll) + " = 0; jump title " + std::to_string(places[button.title].discTitle) + ";";
    case MenuButtonKind::playAll:
        return std::string(playingAll) + " = 1; jump title " + std::to_string(places.front().discTitle) + ";";
    case MenuButtonKind::previousPage:
        return "jump " + Menu(page - 1) + ";";
    case MenuButtonKind::nextPage:
        return "jump " + Menu(page + 1) + ";";
    }
    return {};
}

void WriteMenuPages(QXmlStreamWriter& xml, const DiscMenu& menu, const std::vector<TitlePlace>& places)
{
    if (menu.wide) {
        // A 16:9 menu shown on a 4:3 TV is letterboxed: its buttons sit elsewhere there.
        xml.writeStartElement("subpicture");
        xml.writeEmptyElement("stream");
        xml.writeAttribute("id", "0");
        xml.writeAttribute("mode", "widescreen");
        xml.writeEmptyElement("stream");
        xml.writeAttribute("id", "1");
        xml.writeAttribute("mode", "letterbox");
        xml.writeEndElement();
    }
    for (std::size_t page = 0; page < menu.pages.size(); ++page) {
        xml.writeStartElement("pgc");
        if (page == 0) {
            xml.writeAttribute("entry", "title");
        }
        xml.writeEmptyElement("vob");
        xml.writeAttribute("file", Text(page < menu.pageFiles.size() ? menu.pageFiles[page] : std::string()));
        xml.writeAttribute("pause", "inf");
        const std::vector<MenuButton>& buttons = menu.pages[page].buttons;
        for (std::size_t i = 0; i < buttons.size(); ++i) {
            xml.writeStartElement("button");
            xml.writeAttribute("name", Text(MenuButtonName(static_cast<int>(i))));
            xml.writeCharacters(Text(ButtonCommands(buttons[i], page + 1, places)));
            xml.writeEndElement();
        }
        xml.writeEndElement(); // pgc
    }
}

// The titles' post commands: on to the next title (within the set, or through a
// crossing of the manager numbered after `firstCrossing`) or, with a menu, back
// to the title's page unless "Play all" goes on.
std::vector<std::string> TitlePosts(const std::vector<TitlePlace>& places, const DiscMenu* menu,
    std::vector<std::string>& crossings, std::size_t firstCrossing)
{
    std::vector<std::string> posts(places.size());
    const std::vector<int> pages = menu != nullptr ? TitlePages(*menu, places.size()) : std::vector<int>();
    for (std::size_t i = 0; i < places.size(); ++i) {
        std::string next;
        if (i + 1 < places.size()) {
            const TitlePlace& following = places[i + 1];
            if (following.titleSet == places[i].titleSet) {
                next = "jump title " + std::to_string(following.title) + ";";
            } else {
                crossings.push_back("jump title " + std::to_string(following.discTitle) + ";");
                next = "call " + Menu(firstCrossing + crossings.size()) + ";";
            }
        }
        if (menu == nullptr) {
            posts[i] = next;
            continue;
        }
        const std::string back = "call " + Menu(pages[i]) + ";";
        posts[i] = next.empty() ? back : "if (" + std::string(playingAll) + " eq 1) " + next + " else " + back;
    }
    return posts;
}

// The Menu button of a title leads to its set's root menu, which goes on to the
// page the title was chosen from.
void WriteRootMenu(QXmlStreamWriter& xml, const std::string& format, bool wide, std::size_t pages)
{
    xml.writeStartElement("menus");
    WriteVideo(xml, format, wide);
    std::string commands;
    for (std::size_t page = 2; page <= pages; ++page) {
        commands += "if (" + std::string(titlePage) + " eq " + std::to_string(page) + ") jump " + Menu(page) + "; ";
    }
    commands += "jump " + Menu(1) + ";";
    xml.writeStartElement("pgc");
    xml.writeAttribute("entry", "root");
    xml.writeTextElement("pre", Text(commands));
    xml.writeEndElement(); // pgc
    xml.writeEndElement(); // menus
}

} // namespace

std::string MenuButtonName(int index) { return "b" + std::to_string(index + 1); }

// A title of another set is reached through a menu of the video manager, since a
// title can only jump within its own set.
std::string DvdauthorProject(const AuthoringRequest& request, const std::string& destination,
    const std::vector<TitleTraits>& traits, const DiscMenu* menu)
{
    const std::string format = request.tvStandard == standardPal ? "pal" : "ntsc";
    std::vector<TitleTraits> kinds = traits;
    kinds.resize(request.streams.size());
    const DiscLayout layout = PlaceTitles(kinds);
    const std::vector<TitlePlace>& places = layout.places;
    if (menu != nullptr && (menu->pages.empty() || places.empty())) {
        menu = nullptr;
    }
    const std::vector<int> pages = menu != nullptr ? TitlePages(*menu, places.size()) : std::vector<int>();
    std::vector<std::string> crossings;
    const std::vector<std::string> posts
        = TitlePosts(places, menu, crossings, menu != nullptr ? menu->pages.size() : 0);

    QString text;
    QXmlStreamWriter xml(&text);
    xml.setAutoFormatting(true);
    xml.setAutoFormattingIndent(1);
    xml.writeStartDocument();
    xml.writeStartElement("dvdauthor");
    xml.writeAttribute("dest", Text(destination));
    xml.writeStartElement("vmgm");
    if (menu != nullptr) {
        xml.writeTextElement("fpc", Text("jump " + Menu(1) + ";"));
    }
    xml.writeStartElement("menus");
    WriteVideo(xml, format, menu != nullptr && menu->wide);
    if (menu != nullptr) {
        WriteMenuPages(xml, *menu, places);
    }
    for (const std::string& crossing : crossings) {
        WriteCommandPgc(xml, "pre", crossing);
    }
    xml.writeEndElement(); // menus
    xml.writeEndElement(); // vmgm
    for (std::size_t set = 0; set < layout.setKinds.size(); ++set) {
        xml.writeStartElement("titleset");
        if (menu != nullptr) {
            WriteRootMenu(xml, format, layout.setKinds[set].wide, menu->pages.size());
        }
        xml.writeStartElement("titles");
        WriteTitleSetStreams(xml, format, request.tvStandard, layout.setKinds[set]);
        for (std::size_t i = 0; i < places.size(); ++i) {
            if (places[i].titleSet != static_cast<int>(set)) {
                continue;
            }
            xml.writeStartElement("pgc");
            if (menu != nullptr) {
                xml.writeTextElement("pre", Text(std::string(titlePage) + " = " + std::to_string(pages[i]) + ";"));
            }
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

double StreamSeconds(const std::string& path)
{
    MediaError error;
    const std::unique_ptr<MediaSource> source = MediaSource::Open(path, error);
    if (!source || source->Context()->duration <= 0) {
        return 0;
    }
    return static_cast<double>(source->Context()->duration) / AV_TIME_BASE;
}

int StreamWidth(const std::string& path)
{
    MediaError error;
    const std::unique_ptr<MediaSource> source = MediaSource::Open(path, error);
    if (!source) {
        return 0;
    }
    const AVFormatContext* context = source->Context();
    for (unsigned i = 0; i < context->nb_streams; ++i) {
        const AVCodecParameters& video = *context->streams[i]->codecpar;
        if (video.codec_type == AVMEDIA_TYPE_VIDEO) {
            return std::max(video.width, 0);
        }
    }
    return 0;
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
