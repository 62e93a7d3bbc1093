#include "app/SubtitleAuthoring.h"

#include "app/AuthoringMessages.h"
#include "core/ConversionSettings.h"
#include "core/RunLog.h"
#include "core/TextFormat.h"
#include "input/SubtitleFile.h"
#include "platform/MediaError.h"
#include "platform/MediaSource.h"
#include "platform/TextSubtitleTracks.h"

#include <QString>
#include <QXmlStreamWriter>

extern "C" {
#include <libavformat/avformat.h>
}

#include <algorithm>
#include <cmath>
#include <fstream>

namespace discforge {
namespace {

namespace fs = std::filesystem;

// A font every Debian system with the authoring tools has (fonts-dejavu-core).
constexpr const char* subtitleFont = "DejaVuSans";
constexpr int frameWidth = 720;

int FrameHeight(int tvStandard) { return tvStandard == standardPal ? 576 : 480; }

// The length of a converted part in milliseconds; 0 when it cannot be read.
std::int64_t PartMilliseconds(const std::string& path)
{
    MediaError error;
    const std::unique_ptr<MediaSource> source = MediaSource::Open(path, error);
    if (!source || source->Context()->duration <= 0) {
        return 0;
    }
    return source->Context()->duration / (AV_TIME_BASE / 1000);
}

std::string ClockText(std::int64_t ms)
{
    return FormatText("%02lld:%02lld:%02lld,%03lld", static_cast<long long>(ms / 3600000),
        static_cast<long long>(ms / 60000 % 60), static_cast<long long>(ms / 1000 % 60),
        static_cast<long long>(ms % 1000));
}

} // namespace

int SubtitleFontSize(int height)
{
    // spumux's size is the font's em; its capitals stand about 0.73 em high, and the
    // text with its descenders and outline a little over a twentieth of the frame.
    return static_cast<int>(std::ceil(height / 18.0));
}

std::string SpumuxProject(const std::string& subtitlePath, int tvStandard, bool wide, bool letterbox)
{
    const int height = FrameHeight(tvStandard);
    // The title-safe area leaves a twentieth of the width and of the height on each side.
    const int sideMargin = frameWidth / 20;
    const int endMargin = (height + 19) / 20;
    QString xml;
    QXmlStreamWriter writer(&xml);
    writer.writeStartElement("subpictures");
    writer.writeAttribute("format", tvStandard == standardPal ? "PAL" : "NTSC");
    writer.writeStartElement("stream");
    writer.writeStartElement("textsub");
    writer.writeAttribute("filename", QString::fromStdString(subtitlePath));
    writer.writeAttribute("characterset", "UTF-8");
    writer.writeAttribute("font", subtitleFont);
    writer.writeAttribute("fontsize", QString::number(SubtitleFontSize(height)));
    writer.writeAttribute("fill-color", "white");
    writer.writeAttribute("outline-color", "black");
    writer.writeAttribute("outline-thickness", "3.0");
    writer.writeAttribute("horizontal-alignment", "center");
    writer.writeAttribute("vertical-alignment", "bottom");
    writer.writeAttribute("left-margin", QString::number(sideMargin));
    writer.writeAttribute("right-margin", QString::number(sideMargin));
    writer.writeAttribute("top-margin", QString::number(endMargin));
    writer.writeAttribute("bottom-margin", QString::number(endMargin));
    writer.writeAttribute("subtitle-fps", tvStandard == standardPal ? "25" : "29.97");
    writer.writeAttribute("movie-fps", tvStandard == standardPal ? "25" : "29.97");
    writer.writeAttribute("movie-width", QString::number(frameWidth));
    writer.writeAttribute("movie-height", QString::number(height - 2));
    // A 16:9 title shown letterboxed on a 4:3 set draws its subtitles in the set's own shape.
    writer.writeAttribute("aspect", wide && !letterbox ? "16:9" : "4:3");
    writer.writeEndElement();
    writer.writeEndElement();
    writer.writeEndElement();
    return xml.toStdString() + "\n";
}

std::string PartSubRip(const std::vector<SubtitleCue>& cues, std::int64_t startMs, std::int64_t lengthMs)
{
    std::string text;
    int number = 0;
    for (const SubtitleCue& cue : cues) {
        const std::int64_t from = std::max<std::int64_t>(cue.startMs - startMs, 0);
        const std::int64_t to = std::min<std::int64_t>(cue.endMs - startMs, lengthMs);
        if (to <= from) {
            continue;
        }
        text += std::to_string(++number) + "\n" + ClockText(from) + " --> " + ClockText(to) + "\n" + cue.text + "\n\n";
    }
    return text;
}

bool AddSubtitleStreams(const AuthoringRequest& request, const std::vector<bool>& wide, const fs::path& work,
    const SpumuxStep& spumux, RunLog& runLog, SubtitledStreams& result, AuthoringOutcome& outcome)
{
    result.streams = request.streams;
    result.languages.assign(request.streams.size(), {});
    for (std::size_t title = 0; title < request.streams.size() && title < request.subtitles.size(); ++title) {
        const bool titleWide = title < wide.size() && wide[title];
        const std::size_t variants = titleWide ? 2 : 1;
        std::vector<SubtitleRead> kept;
        for (const SubtitleSource& source : request.subtitles[title]) {
            if ((kept.size() + 1) * variants > static_cast<std::size_t>(dvdSubtitleStreamLimit)) {
                runLog.AppendLogLine(FormatText(authoring_message::subtitlesBeyondLimit, source.path.c_str()));
                continue;
            }
            SubtitleRead read;
            if (source.track > 0) {
                MediaError error;
                const std::string document = TextSubtitleDocument(source.path, source.track, subtitleFileLimit, error);
                read = error.Failed() ? SubtitleRead{{}, 0, error.text} : ParseSubtitles(document, source.path);
            } else {
                read = ReadSubtitleFile(source.path);
            }
            if (!read.Ok()) {
                runLog.AppendLogLine(FormatText(authoring_message::subtitlesLeftOut, read.problem.c_str()));
                continue;
            }
            if (read.skipped > 0) {
                runLog.AppendLogLine(FormatText(authoring_message::cuesLeftOut, read.skipped, source.path.c_str()));
            }
            kept.push_back(std::move(read));
            result.languages[title].push_back(source.language);
        }
        std::int64_t partStart = 0;
        StreamParts& parts = result.streams[title];
        for (std::size_t part = 0; part < parts.size() && !kept.empty(); ++part) {
            const std::int64_t length = PartMilliseconds(parts[part]);
            std::string current = parts[part];
            int step = 0;
            for (std::size_t file = 0; file < kept.size(); ++file) {
                const std::string subRip = PartSubRip(kept[file].cues, partStart, length);
                if (subRip.empty()) {
                    continue;
                }
                const std::string stem = "t" + std::to_string(title) + "p" + std::to_string(part) + "s"
                    + std::to_string(file);
                const fs::path cues = work / (stem + ".srt");
                std::ofstream(cues, std::ios::binary) << subRip;
                for (std::size_t variant = 0; variant < variants; ++variant) {
                    const fs::path project = work / (stem + "v" + std::to_string(variant) + ".xml");
                    std::ofstream(project) << SpumuxProject(cues.string(), request.tvStandard, titleWide, variant == 1);
                    const fs::path made = work / (stem + "-" + std::to_string(step++) + ".mpg");
                    const std::string stream = std::to_string(file * variants + variant);
                    if (!spumux({"-s", stream, project.string()}, {current, made.string()}, outcome)) {
                        return false;
                    }
                    // Only the newest step is kept: a title's parts may be large.
                    std::error_code error;
                    if (current != parts[part]) {
                        fs::remove(current, error);
                    }
                    current = made.string();
                }
            }
            parts[part] = current;
            partStart += length;
        }
    }
    return true;
}

} // namespace discforge
