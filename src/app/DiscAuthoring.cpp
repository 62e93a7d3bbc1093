#include "app/DiscAuthoring.h"

#include "app/AuthoringMessages.h"
#include "app/AuthoringTools.h"
#include "app/DiscMenuFiles.h"
#include "app/DvdLanguages.h"
#include "app/DvdauthorProject.h"
#include "app/SubtitleAuthoring.h"
#include "core/ConversionSettings.h"
#include "core/RunLog.h"
#include "core/TextFormat.h"

#include <cerrno>
#include <cmath>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <system_error>

namespace discforge {
namespace {

namespace fs = std::filesystem;

constexpr double megabyte = 1000.0 * 1000.0;

const char* DiscName(int outputFormat)
{
    const DiscFormat* disc = FindDiscFormat(outputFormat, standardNtsc);
    return disc != nullptr ? disc->name : "VCD";
}

// Whether the format's disc is a DVD-Video folder rather than a CD image.
bool AuthoredAsDvd(int outputFormat)
{
    const DiscFormat* disc = FindDiscFormat(outputFormat, standardNtsc);
    return disc != nullptr && disc->authoringTool == AuthoringTool::dvdauthor;
}

std::string Megabytes(std::uint64_t bytes)
{
    return FormatText("%.0f", std::ceil(static_cast<double>(bytes) / megabyte));
}

// A folder beside the final names that goes with everything in it unless kept.
class WorkFolder {
public:
    explicit WorkFolder(const fs::path& besides)
    {
        std::error_code error;
        for (int attempt = 0; attempt < 1000 && path_.empty(); ++attempt) {
            // Absolute, since the tools run inside it.
            const fs::path candidate = fs::absolute(besides) / (".discforge-authoring-" + std::to_string(attempt));
            if (fs::create_directory(candidate, error)) {
                path_ = candidate;
            }
        }
    }
    ~WorkFolder()
    {
        std::error_code error;
        if (!path_.empty()) {
            fs::remove_all(path_, error);
        }
    }
    WorkFolder(const WorkFolder&) = delete;
    WorkFolder& operator=(const WorkFolder&) = delete;

    const fs::path& Path() const { return path_; }

private:
    fs::path path_;
};

bool Place(const fs::path& from, const fs::path& to, AuthoringOutcome& outcome)
{
    std::error_code error;
    fs::rename(from, to, error);
    if (error) {
        outcome.message = FormatText(authoring_message::cannotWrite, to.c_str(), error.message().c_str());
        return false;
    }
    return true;
}

bool Exists(const fs::path& path)
{
    std::error_code error;
    return fs::exists(path, error);
}

void AuthorDvd(const AuthoringRequest& request, const WorkFolder& work, ToolRunner& tools, RunLog& runLog,
    AuthoringOutcome& outcome)
{
    const fs::path folder = request.folder;
    const fs::path made = work.Path() / "disc";
    const fs::path project = work.Path() / "dvdauthor.xml";
    const DiscFormat* halfWidth = FindHalfWidthFormat(formatDvd, request.tvStandard);
    std::vector<TitleTraits> traits;
    for (const StreamParts& parts : request.streams) {
        TitleTraits title;
        title.wide = !parts.empty() && StreamIsWide(parts.front());
        title.halfWidth = !parts.empty() && halfWidth != nullptr && StreamWidth(parts.front()) == halfWidth->width;
        traits.push_back(title);
    }
    std::vector<bool> wide;
    for (const TitleTraits& title : traits) {
        wide.push_back(title.wide);
    }
    SubtitledStreams subtitled;
    const SpumuxStep spumux = [&](const std::vector<std::string>& arguments, const ChildFiles& files,
                                  AuthoringOutcome& result) {
        return tools.Run(spumuxTool, arguments, work.Path().string(), result, files);
    };
    if (!AddSubtitleStreams(request, wide, work.Path(), spumux, runLog, subtitled, outcome)) {
        return;
    }
    AuthoringRequest authored = request;
    authored.streams = subtitled.streams;
    DeclareLanguages(request.soundLanguages, subtitled.languages, traits);
    DiscMenu menu;
    if (WantsMenu(request) && !MakeDiscMenu(request, traits, work.Path().string(), tools, runLog, menu, outcome)) {
        return;
    }
    {
        std::ofstream file(project, std::ios::binary);
        file << DvdauthorProject(authored, made.string(), traits, WantsMenu(request) ? &menu : nullptr);
        file.close();
        // A full disk would otherwise leave dvdauthor to complain of a cut project.
        if (!file) {
            outcome.message = FormatText(authoring_message::cannotWrite, project.c_str(), std::strerror(errno));
            return;
        }
    }
    if (!tools.Run(dvdauthorTool, {"-x", project.string()}, work.Path().string(), outcome)) {
        return;
    }
    if (!request.isoPath.empty()) {
        const fs::path image = work.Path() / "disc.iso";
        if (!tools.Run(isoTool, {"-quiet", "-dvd-video", "-V", "DISCFORGE", "-o", image.string(), made.string()},
                work.Path().string(), outcome)) {
            return;
        }
        if (!Place(image, request.isoPath, outcome)) {
            return;
        }
    }
    for (const char* name : {"VIDEO_TS", "AUDIO_TS"}) {
        if (!Place(made / name, folder / name, outcome)) {
            return;
        }
    }
    outcome.made = true;
}

void AuthorCd(const AuthoringRequest& request, const WorkFolder& work, ToolRunner& tools, AuthoringOutcome& outcome)
{
    // Run inside the work folder so that the cue sheet names the image without a folder.
    std::vector<std::string> arguments{request.outputFormat == formatSvcd ? "--type=svcd" : "--type=vcd2",
        "--cue-file=videocd.cue", "--bin-file=videocd.bin"};
    for (const std::string& part : AllParts(request.streams)) {
        arguments.push_back(fs::absolute(part).string());
    }
    if (!tools.Run(vcdimagerTool, arguments, work.Path().string(), outcome)) {
        return;
    }
    for (const char* name : {"videocd.bin", "videocd.cue"}) {
        if (!Place(work.Path() / name, fs::path(request.folder) / name, outcome)) {
            return;
        }
    }
    outcome.made = true;
}

// The names the disc would take, where something already stands.
std::string TakenName(const AuthoringRequest& request)
{
    std::vector<fs::path> names;
    if (AuthoredAsDvd(request.outputFormat)) {
        names = {fs::path(request.folder) / "VIDEO_TS", fs::path(request.folder) / "AUDIO_TS"};
        if (!request.isoPath.empty()) {
            names.emplace_back(request.isoPath);
        }
    } else {
        names = {fs::path(request.folder) / "videocd.bin", fs::path(request.folder) / "videocd.cue"};
    }
    for (const fs::path& name : names) {
        if (Exists(name)) {
            return name.string();
        }
    }
    return {};
}

} // namespace

std::vector<std::string> AllParts(const std::vector<StreamParts>& streams)
{
    std::vector<std::string> all;
    for (const StreamParts& parts : streams) {
        all.insert(all.end(), parts.begin(), parts.end());
    }
    return all;
}

std::uint64_t DiscCapacity(int outputFormat) { return AuthoredAsDvd(outputFormat) ? 4'700'000'000ull : 800'000'000ull; }

std::string CheckDiscSize(
    int outputFormat, const std::vector<std::string>& streams, const std::optional<DiscSize>& discSize)
{
    std::uint64_t total = 0;
    for (const std::string& stream : streams) {
        std::error_code error;
        const std::uintmax_t size = fs::file_size(stream, error);
        total += error ? 0 : size;
    }
    const std::uint64_t capacity
        = discSize ? static_cast<std::uint64_t>(DiscCapacityBytes(*discSize)) : DiscCapacity(outputFormat);
    if (total <= capacity) {
        return {};
    }
    std::string discName = DiscName(outputFormat);
    if (discSize) {
        discName = DiscSizeName(*discSize) + (discSize->kind == DiscSizeKind::megabytes ? " disc" : "");
    }
    return FormatText(authoring_message::tooLarge, Megabytes(total).c_str(), Megabytes(total - capacity).c_str(),
        discName.c_str(), Megabytes(capacity).c_str());
}

std::string ChapterList(double seconds, int chapterMinutes)
{
    std::string list = "0";
    if (chapterMinutes <= 0) {
        return list;
    }
    for (int minute = chapterMinutes; minute * 60.0 < seconds; minute += chapterMinutes) {
        list += FormatText(",%d:00", minute);
    }
    return list;
}

std::string PartChapterList(double partStart, double seconds, int chapterMinutes)
{
    if (partStart <= 0) {
        return ChapterList(seconds, chapterMinutes);
    }
    std::string list;
    if (chapterMinutes <= 0) {
        return list;
    }
    const double interval = chapterMinutes * 60.0;
    for (double start = std::ceil(partStart / interval) * interval; start < partStart + seconds; start += interval) {
        const long long milliseconds = std::llround((start - partStart) * 1000);
        if (!list.empty()) {
            list += ',';
        }
        list += FormatText("%lld:%02lld.%03lld", milliseconds / 60000, milliseconds / 1000 % 60, milliseconds % 1000);
    }
    return list;
}

AuthoringOutcome AuthorDisc(const AuthoringRequest& request, RunLog& runLog, const std::function<bool()>& cancelled)
{
    AuthoringOutcome outcome;
    if (AllParts(request.streams).empty()) {
        outcome.message = authoring_message::noStreams;
        return outcome;
    }
    outcome.message = CheckDiscSize(request.outputFormat, AllParts(request.streams), request.discSize);
    if (!outcome.message.empty()) {
        return outcome;
    }
    std::error_code error;
    fs::create_directories(request.folder, error);
    if (error) {
        outcome.message = FormatText(authoring_message::cannotWrite, request.folder.c_str(), error.message().c_str());
        return outcome;
    }
    const std::string taken = TakenName(request);
    if (!taken.empty()) {
        outcome.message = FormatText(authoring_message::alreadyThere, taken.c_str());
        return outcome;
    }
    const WorkFolder work(request.folder);
    if (work.Path().empty()) {
        outcome.message = FormatText(authoring_message::cannotWrite, request.folder.c_str(), "no temporary folder");
        return outcome;
    }
    runLog.AppendLogLine(authoring_message::logHeading);
    ToolRunner tools(runLog, cancelled);
    if (AuthoredAsDvd(request.outputFormat)) {
        AuthorDvd(request, work, tools, runLog, outcome);
    } else {
        AuthorCd(request, work, tools, outcome);
    }
    if (outcome.cancelled) {
        outcome.message.clear();
    }
    return outcome;
}

} // namespace discforge
