#include "CliConverter.h"

#include "app/AppCore.h"
#include "app/AuthoringMessages.h"
#include "app/EncoderCallbacks.h"
#include "core/headless/HeadlessFilterDialog.h"
#include "core/headless/HeadlessInputHost.h"
#include "core/headless/HeadlessShell.h"
#include "core/headless/HeadlessWindowPort.h"
#include "core/headless/MemoryControlSurface.h"
#include "core/headless/StderrMessagePort.h"
#include "platform/SystemPower.h"

#include <algorithm>
#include <cstdio>
#include <filesystem>
#include <string>

namespace discforge::cli {
namespace {

const volatile bool* interruptFlag = nullptr;

// A non-zero answer ends the encode; the library then removes the partial file.
constexpr int32_t interruptedByUser = 99;

extern "C" int32_t InterruptibleVideoFrame(int32_t frameIndex, int32_t* rowBytes, const uint8_t** pixels)
{
    if (interruptFlag != nullptr && *interruptFlag) {
        return interruptedByUser;
    }
    return SupplyVideoFrame(frameIndex, rowBytes, pixels);
}

extern "C" int32_t InterruptibleAudio(
    int32_t firstSample, int32_t* samplesConsumed, int32_t* bytesDelivered, const uint8_t** samples)
{
    if (interruptFlag != nullptr && *interruptFlag) {
        return interruptedByUser;
    }
    return SupplyAudio(firstSample, samplesConsumed, bytesDelivered, samples);
}

FitMode FittingOf(Fit fit)
{
    switch (fit) {
    case Fit::Fill:
        return FitMode::fillIn;
    case Fit::Crop:
        return FitMode::crop;
    case Fit::Proportional:
        break;
    }
    return FitMode::proportional;
}

// The picture options given on the command line over the input's own (or the
// project's); the output size stays.
void ApplyPictureOptions(const CliOptions& options, AppCore& core, int index)
{
    PictureOptions picture = core.Inputs().inputTable[static_cast<std::size_t>(index)].pictureOptions;
    picture.invert = picture.invert || options.invert;
    picture.deinterlace = picture.deinterlace || options.deinterlace;
    if (options.fit) {
        picture.fitting = FittingOf(*options.fit);
    }
    if (options.crop) {
        picture.cropX = options.crop->x;
        picture.cropY = options.crop->y;
        picture.cropWidth = options.crop->width;
        picture.cropHeight = options.crop->height;
    }
    core.SetPictureOptions(index, picture);
}

// What of input `index` goes on the disc, as the command line asks.
void ApplyDiscChoices(const CliOptions& options, AppCore& core, int index, const std::vector<std::string>& subtitles)
{
    std::vector<SubtitleSource> sources;
    for (const std::string& file : subtitles) {
        sources.push_back(ParseSubtitleChoice(file));
    }
    core.AddSubtitles(index, sources);
    if (options.burnSubtitles) {
        core.SetBurnSubtitles(index, true);
    }
    if (options.dvdAudioTracks) {
        for (const SoundTrack& track : core.Inputs().inputTable[static_cast<std::size_t>(index)].soundTracks) {
            const bool kept = std::find(options.dvdAudioTracks->begin(), options.dvdAudioTracks->end(), track.number)
                != options.dvdAudioTracks->end();
            core.SetSoundTrackOnDisc(index, track.number, kept);
        }
    }
}

// Opens the project and applies the options given over its own; false when it cannot be used.
bool OpenProject(AppCore& core, const CliOptions& options)
{
    if (!core.OpenProject(*options.project)) {
        return false;
    }
    const int inputs = core.Inputs().inputCount;
    if (options.output) {
        if (inputs != 1) {
            std::fprintf(stderr, "discforge-cli: --output needs a project of one input; this one has %d\n", inputs);
            return false;
        }
        core.ChooseOutputFile(*options.output);
    }
    for (int index = 0; index < inputs; ++index) {
        ApplyPictureOptions(options, core, index);
        ApplyDiscChoices(options, core, index, {});
    }
    return true;
}

// Opens every input as the open command does; returns how many failed.
int OpenInputs(AppCore& core, const CliOptions& options)
{
    int failed = 0;
    for (std::size_t given = 0; given < options.inputs.size(); ++given) {
        const std::string& path = options.inputs[given];
        // The readers would call a missing file a missing codec; say what it is.
        std::error_code error;
        if (!std::filesystem::is_regular_file(path, error)) {
            std::fprintf(stderr, "discforge-cli: %s: %s\n", path.c_str(),
                std::filesystem::exists(path, error) ? "not a file" : "no such file");
            ++failed;
            continue;
        }
        if (!core.OpenInput(path, options.audioTrack.value_or(defaultSoundTrack))) {
            std::fprintf(stderr, "discforge-cli: %s was not opened and is left out\n", path.c_str());
            ++failed;
            continue;
        }
        if (options.output) {
            core.ChooseOutputFile(*options.output);
        }
        ApplyPictureOptions(options, core, core.Inputs().currentInput);
        ApplyDiscChoices(options, core, core.Inputs().currentInput,
            given < options.subtitles.size() ? options.subtitles[given] : std::vector<std::string>{});
    }
    return failed;
}

// The first input that lacks the sound track asked for, said on standard error; false when there is one.
bool EveryInputHasTheTrack(const AppCore& core, const CliOptions& options)
{
    if (!options.audioTrack) {
        return true;
    }
    const InputTableState& inputs = core.Inputs();
    for (int index = 0; index < inputs.inputCount; ++index) {
        const InputEntry& entry = inputs.inputTable[static_cast<std::size_t>(index)];
        const auto tracks = static_cast<int>(entry.soundTracks.size());
        if (!entry.isVideoFile || *options.audioTrack <= tracks) {
            continue;
        }
        std::fprintf(stderr, "discforge-cli: --audio-track %d: %s has %d sound track%s\n%s", *options.audioTrack,
            entry.path.c_str(), tracks, tracks == 1 ? "" : "s", UsageText());
        return false;
    }
    return true;
}

// The menu's choices of the command line over the project's; false (said on
// standard error) when there are more names than inputs.
bool ChooseMenu(AppCore& core, const CliOptions& options)
{
    core.ChooseDiscMenu(options.menu.value_or(core.Settings().discMenu),
        options.menuBackground.value_or(core.Settings().menuBackground));
    if (options.titles.size() > static_cast<std::size_t>(core.Inputs().inputCount)) {
        std::fprintf(stderr, "discforge-cli: more --title names than the project's inputs\n%s", UsageText());
        return false;
    }
    for (std::size_t i = 0; i < options.titles.size(); ++i) {
        core.NameTitle(static_cast<int>(i), options.titles[i]);
    }
    return true;
}

// The disc of the converted streams; the streams go only once it is made.
int MakeDisc(AppCore& core, const CliOptions& options, const volatile bool& interrupted)
{
    AuthoringRequest request;
    request.folder = *options.authorFolder;
    request.isoPath = options.isoImage.value_or("");
    request.chapterMinutes = options.chapterMinutes;
    const AuthoringOutcome outcome = core.AuthorDisc(request, [&interrupted] { return interrupted; });
    if (outcome.cancelled) {
        std::fprintf(stderr, "discforge-cli: %s\n", authoring_message::cancelled);
        return exitInterrupted;
    }
    if (!outcome.made) {
        std::fprintf(stderr, "discforge-cli: %s\n", outcome.message.c_str());
        return exitFailed;
    }
    if (options.removeStreams) {
        for (const std::string& part : AllParts(core.ConvertedStreams())) {
            std::error_code error;
            std::filesystem::remove(part, error);
        }
    }
    return exitConverted;
}

// Everything after the start-up of the core; returns the exit code.
int ConvertInputs(AppCore& core, const CliOptions& options, const volatile bool& interrupted)
{
    // Chosen before the inputs open, so that none of them proposes another.
    if (options.tvStandard && !core.ChooseStandard(*options.tvStandard)) {
        return exitFailed;
    }
    int openFailures = 0;
    if (options.project) {
        if (!OpenProject(core, options)) {
            return exitFailed;
        }
    } else {
        openFailures = OpenInputs(core, options);
        if (!EveryInputHasTheTrack(core, options)) {
            return exitUsage;
        }
    }
    if (interrupted) {
        return exitInterrupted;
    }
    if (options.saveProject) {
        return core.SaveProject(*options.saveProject) && openFailures == 0 ? exitConverted : exitFailed;
    }
    if (core.Inputs().inputCount == 0) {
        std::fprintf(stderr, "discforge-cli: no input could be opened\n");
        return exitFailed;
    }
    if (!core.Settings().batchMode) {
        std::fprintf(stderr, "discforge-cli: the project joins its inputs into one output, which is not converted\n");
        return exitFailed;
    }
    if (options.tvStandard && !core.ChooseStandard(*options.tvStandard)) {
        return exitFailed;
    }
    if (!core.ChooseFormat(options.outputFormat)) {
        return exitFailed;
    }
    core.TakeFormatPictureSize();
    if (options.shape) {
        core.ChooseShape(*options.shape);
    }
    core.SetSplitSize(options.splitMB);
    core.SetShutdownWhenDone(options.shutdownWhenDone);
    if (!ChooseMenu(core, options)) {
        return exitUsage;
    }
    if (options.discSize) {
        core.ChooseDiscSize(options.discSize);
    }
    const std::optional<DiscPlan> plan = core.PlanForDisc();
    if (plan && !plan->fits) {
        std::fprintf(stderr, "discforge-cli: %s\n", RefusalMessage(*plan, *core.Settings().discSize).c_str());
        return exitFailed;
    }

    core.StartConversion();
    if (interrupted) {
        return exitInterrupted;
    }
    const int inputs = core.Inputs().inputCount;
    const bool allEncoded = core.InputsEncoded() == inputs && core.LastEncodeCompleted();
    if (!allEncoded) {
        std::fprintf(
            stderr, "discforge-cli: the conversion stopped after %d of %d inputs\n", core.InputsEncoded(), inputs);
        return exitFailed;
    }
    if (options.authorFolder) {
        const int authored = MakeDisc(core, options, interrupted);
        if (authored != exitConverted) {
            return authored;
        }
    }
    return openFailures == 0 ? exitConverted : exitFailed;
}

} // namespace

int RunConversion(const CliOptions& options, const volatile bool& interrupted)
{
    interruptFlag = &interrupted;
    StderrMessagePort messages;
    HeadlessWindowPort window;
    MemoryControlSurface controls;
    HeadlessInputHost host;
    SystemPower power;
    HeadlessShell shell;
    HeadlessFilterDialog filterDialog;
    AppCore core(AppPorts{messages, window, controls, host, power, shell, filterDialog});
    for (const DecoderOption& option : options.decoderOptions) {
        const std::string reason = core.SetDecoderOption(option.component, option.name, option.value);
        if (!reason.empty()) {
            std::fprintf(stderr, "discforge-cli: %s: %s\n", option.component.c_str(), reason.c_str());
            return exitUsage;
        }
    }
    int exitCode = exitFailed;
    if (core.Start(EncoderLibrary::defaultName, {InterruptibleVideoFrame, InterruptibleAudio})) {
        exitCode = ConvertInputs(core, options, interrupted);
    }
    // As the window does when it closes, whatever the outcome: the log is what support asks for.
    core.WriteRunLog();
    return exitCode;
}

} // namespace discforge::cli
