#include "app/SubtitleAuthoring.h"

#include "app/AuthoringMessages.h"
#include "app/PictureSubtitleAuthoring.h"
#include "core/ConversionSettings.h"
#include "core/RunLog.h"
#include "core/TextFormat.h"
#include "input/SubtitleFile.h"
#include "platform/MediaError.h"
#include "platform/MediaSource.h"
#include "platform/PictureSubtitleTrack.h"
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

namespace {

// One subtitle source as read: cues of text, or pictures.
struct KeptSubtitles {
    SubtitleRead text;
    PictureSubtitles pictures;
    bool picture = false;
};

// Reads the source; false with the reason in the run log when it gives no subtitles.
bool ReadSource(const SubtitleSource& source, RunLog& runLog, KeptSubtitles& kept)
{
    MediaError error;
    kept.picture = source.picture;
    if (source.picture) {
        kept.pictures = ReadPictureSubtitles(source.path, source.track, {}, error);
        if (!error.Failed() && kept.pictures.pictures.empty()) {
            error.failure = MediaFailure::NoStream;
            error.text = FormatText(authoring_message::noSubtitlePictures, source.path.c_str());
        }
        if (error.Failed()) {
            runLog.AppendLogLine(FormatText(authoring_message::subtitlesLeftOut, error.text.c_str()));
            return false;
        }
        if (kept.pictures.damaged > 0) {
            runLog.AppendLogLine(
                FormatText(authoring_message::picturesDamaged, kept.pictures.damaged, source.path.c_str()));
        }
        if (kept.pictures.beyondLimits > 0) {
            runLog.AppendLogLine(FormatText(authoring_message::picturesBeyondLimits, source.path.c_str()));
        }
        return true;
    }
    if (source.track > 0) {
        const std::string document = TextSubtitleDocument(source.path, source.track, subtitleFileLimit, error);
        kept.text = error.Failed() ? SubtitleRead{{}, 0, error.text} : ParseSubtitles(document, source.path);
    } else {
        kept.text = ReadSubtitleFile(source.path);
    }
    if (!kept.text.Ok()) {
        runLog.AppendLogLine(FormatText(authoring_message::subtitlesLeftOut, kept.text.problem.c_str()));
        return false;
    }
    if (kept.text.skipped > 0) {
        runLog.AppendLogLine(FormatText(authoring_message::cuesLeftOut, kept.text.skipped, source.path.c_str()));
    }
    return true;
}

// The spumux projects of one source in one part, a variant each; none when nothing of the
// source falls in the part, and false when its files could not be written.
bool PartProjects(const KeptSubtitles& kept, const PicturePart& part, bool wide, const fs::path& work,
    const std::string& stem, std::vector<std::string>& projects, AuthoringOutcome& outcome)
{
    projects.clear();
    const std::size_t variants = wide ? 2 : 1;
    if (kept.picture) {
        for (std::size_t variant = 0; variant < variants; ++variant) {
            PicturePart shape = part;
            shape.letterbox = variant == 1;
            std::string problem;
            std::string project
                = PictureSpumuxProject(kept.pictures, shape, work, stem + "v" + std::to_string(variant), problem);
            if (!problem.empty()) {
                outcome.message
                    = FormatText(authoring_message::cannotWrite, problem.c_str(), authoring_message::pictureNotSaved);
                return false;
            }
            if (project.empty()) {
                projects.clear();
                return true;
            }
            projects.push_back(std::move(project));
        }
        return true;
    }
    const std::string subRip = PartSubRip(kept.text.cues, part.startMs, part.lengthMs);
    if (subRip.empty()) {
        return true;
    }
    const fs::path cues = work / (stem + ".srt");
    std::ofstream(cues, std::ios::binary) << subRip;
    for (std::size_t variant = 0; variant < variants; ++variant) {
        projects.push_back(SpumuxProject(cues.string(), part.tvStandard, wide, variant == 1));
    }
    return true;
}

} // namespace

bool AddSubtitleStreams(const AuthoringRequest& request, const std::vector<bool>& wide, const fs::path& work,
    const SpumuxStep& spumux, RunLog& runLog, SubtitledStreams& result, AuthoringOutcome& outcome)
{
    result.streams = request.streams;
    result.languages.assign(request.streams.size(), {});
    for (std::size_t title = 0; title < request.streams.size() && title < request.subtitles.size(); ++title) {
        const bool titleWide = title < wide.size() && wide[title];
        const std::size_t variants = titleWide ? 2 : 1;
        std::vector<KeptSubtitles> kept;
        for (const SubtitleSource& source : request.subtitles[title]) {
            if ((kept.size() + 1) * variants > static_cast<std::size_t>(dvdSubtitleStreamLimit)) {
                runLog.AppendLogLine(FormatText(authoring_message::subtitlesBeyondLimit, source.path.c_str()));
                continue;
            }
            KeptSubtitles read;
            if (ReadSource(source, runLog, read)) {
                kept.push_back(std::move(read));
                result.languages[title].push_back(source.language);
            }
        }
        PicturePart part;
        part.tvStandard = request.tvStandard;
        StreamParts& parts = result.streams[title];
        for (std::size_t index = 0; index < parts.size() && !kept.empty(); ++index) {
            part.lengthMs = PartMilliseconds(parts[index]);
            std::string current = parts[index];
            int step = 0;
            for (std::size_t file = 0; file < kept.size(); ++file) {
                const std::string stem
                    = "t" + std::to_string(title) + "p" + std::to_string(index) + "s" + std::to_string(file);
                std::vector<std::string> projects;
                if (!PartProjects(kept[file], part, titleWide, work, stem, projects, outcome)) {
                    return false;
                }
                for (std::size_t variant = 0; variant < projects.size(); ++variant) {
                    const fs::path project = work / (stem + "v" + std::to_string(variant) + ".xml");
                    std::ofstream(project) << projects[variant];
                    const fs::path made = work / (stem + "-" + std::to_string(step++) + ".mpg");
                    const std::string stream = std::to_string(file * variants + variant);
                    if (!spumux({"-s", stream, project.string()}, {current, made.string()}, outcome)) {
                        return false;
                    }
                    // Only the newest step is kept: a title's parts may be large.
                    std::error_code error;
                    if (current != parts[index]) {
                        fs::remove(current, error);
                    }
                    current = made.string();
                }
            }
            parts[index] = current;
            part.startMs += part.lengthMs;
        }
    }
    return true;
}

} // namespace discforge
