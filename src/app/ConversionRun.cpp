#include "app/ConversionRun.h"

#include "app/AppMessages.h"
#include "app/AppParts.h"
#include "app/BatchPlan.h"
#include "app/DiscSoundTracks.h"
#include "app/EncoderCallbacks.h"
#include "app/FrameShape.h"
#include "app/PlanMessages.h"
#include "app/SourcePictures.h"
#include "core/ShowMessage.h"
#include "core/TextFormat.h"
#include "ports/PowerPort.h"
#include "ports/WindowPort.h"

#include <chrono>

namespace discforge {

int LastOutputFrame(unsigned selectedFrames, double frameRate, int tvStandard)
{
    const double outputRate = StandardFrameRate(tvStandard);
    return static_cast<int>(selectedFrames * outputRate / frameRate + 0.005) - 1;
}

void ConversionRun::FillParameters(const InputEntry& entry, const std::optional<DiscPlan>& plan)
{
    const ConversionSettings& settings = core_.settings;
    EncodeParameters& parameters = core_.encodeParameters;
    parameters.videoFlag = 1;
    const PictureSize size = PlannedPictureSize(settings, plan, settings.frameWidth, settings.frameHeight);
    parameters.width = size.width;
    parameters.height = size.height;
    parameters.firstFrame = 0;
    // Film the encoder takes picture by picture plays as long as the same frames at the standard's rate.
    parameters.lastFrame = core_.media.run.filmPictures
        ? static_cast<int>(entry.selectedFrames) - 1
        : LastOutputFrame(entry.selectedFrames, entry.frameRate, settings.tvStandard);
    parameters.firstSample = 0;
    parameters.audioFlag = 1;
    const int formatRate = FormatAudioRate(settings.outputFormat);
    parameters.sampleRate = formatRate != 0 ? formatRate : entry.targetSampleRate;
    parameters.sampleFlag = 1;
    parameters.bitsPerSample = 16;
    parameters.lastSample = core_.inputs.audioAvailable ? entry.selectedSamples - 1 : 16;
    parameters.splitSizeMB = settings.splitOutput ? settings.maxFileSizeMB : 0;
    parameters.outputName = entry.outputPath.c_str();
}

void ConversionRun::StartConversion()
{
    RunFlags& run = core_.media.run;
    InputTableState& inputs = core_.inputs;
    run.conversionActive = true;
    lastCompleted_ = false;
    batchCompleted_ = false;
    inputsEncoded_ = 0;
    // A batch that cannot fit its disc is refused before anything is written.
    const std::optional<DiscPlan> plan = PlanBatch(core_.settings, inputs);
    if (plan && !plan->fits) {
        ShowMessage(core_.ports.messages, RefusalMessage(*plan, *core_.settings.discSize).c_str(),
            plan_message::caption);
        run.conversionActive = false;
        return;
    }
    int initialisedCode = core_.settings.encoderFormatCode();
    if (core_.encoder.Init(initialisedCode) != 0) {
        RefuseToStart();
        return;
    }
    const int rememberedPosition = inputs.framePosition;
    const int rememberedInput = inputs.currentInput;

    if (core_.settings.batchMode) {
        const ActiveRun activeRun(core_);
        core_.inputTable.DeactivateInput(inputs.currentInput);
        inputs.currentInput = 0;
        run.batchStop = false;
        int lastHandled = -1;
        while (inputs.currentInput < inputs.inputCount && !run.batchStop) {
            const int index = inputs.currentInput;
            if (!core_.inputCommands.ActivateKeepingInvert(index)) {
                run.conversionActive = false;
                return;
            }
            // A cancel while the input was activated: the encoder is shut down.
            if (core_.stopConversion) {
                lastHandled = index;
                break;
            }
            // The encoder is told the format's picture size and the input's shape; the
            // frame supply brings every input to them while the encoder runs.
            const InputEntry& entry = inputs.inputTable[static_cast<std::size_t>(index)];
            const int code = EncoderFormatCode(
                core_.settings.outputFormat, core_.settings.tvStandard, InputShape(core_.settings, entry));
            if (code != initialisedCode) {
                if (core_.encoder.Init(code) != 0) {
                    RefuseToStart();
                    return;
                }
                initialisedCode = code;
            }
            if (!DescribePictures(entry, plan)) {
                ShowMessage(core_.ports.messages, plan_message::notTaken, plan_message::caption);
                run.batchStop = true;
                lastHandled = index;
                break;
            }
            FillParameters(entry, plan);
            if (PlannedHalfWidth(core_.settings, plan) != nullptr) {
                core_.runLog.AppendLogLine(FormatText(plan_message::halfWidthResolution, core_.encodeParameters.width,
                    core_.encodeParameters.height, static_cast<double>(plan->videoBitRate) / 1e6));
            }
            // Without its other tracks the title still has the played one.
            std::string trackProblem;
            if (!OfferSoundTracks(core_.encoder, entry, core_.settings.outputFormat, trackProblem)) {
                core_.runLog.AppendLogLine(FormatText(message::soundTracksNotTaken, trackProblem.c_str()));
            }

            core_.encoder.AppWnd(core_.ports.window.NativeHandle());
            core_.settings.videoSettingsChanged = true;
            core_.settings.audioSettingsChanged = true;
            run.encoderBusy = true;
            const auto started = std::chrono::steady_clock::now();
            const int result = core_.encoder.MakeMpeg(core_.encodeParameters);
            LogConversion(inputs.inputTable[static_cast<std::size_t>(index)], result,
                std::chrono::duration<double>(std::chrono::steady_clock::now() - started).count());
            // A cancel also stops the inputs after this one, whatever the encoder answered.
            run.batchStop = result != ENCODE_COMPLETED || core_.stopConversion;
            lastCompleted_ = result == ENCODE_COMPLETED;
            run.encoderBusy = false;
            run.filmPictures = false;
            run.fieldPictures = false;
            ++inputsEncoded_;
            lastHandled = index;
            inputs.currentInput = index + 1;
        }
        // A cancel while an input was activated leaves the loop early without a
        // failed encode: only a loop that reached the end without a stop completed.
        batchCompleted_
            = inputsEncoded_ > 0 && inputs.currentInput >= inputs.inputCount && !run.batchStop && !core_.stopConversion;
        core_.inputTable.DeactivateInput(lastHandled);
        inputs.currentInput = rememberedInput;
        inputs.framePosition = 0;
        if (rememberedInput >= 0) {
            core_.inputCommands.ActivateKeepingInvert(rememberedInput);
        }
    }

    run.conversionActive = false;
    inputs.framePosition = rememberedPosition;
    if (inputs.inputCount != 0) {
        core_.videoSupply.ClampFramePosition();
    }
    // The last encode may have completed before a cancel stopped the next input from starting.
    if (core_.settings.shutdownWhenDone && batchCompleted_) {
        ShutDownComputer();
    }
}

bool ConversionRun::DescribePictures(const InputEntry& entry, const std::optional<DiscPlan>& plan)
{
    const std::optional<std::int64_t> plannedRate
        = plan ? std::optional<std::int64_t>(plan->videoBitRate) : std::nullopt;
    const DiscFormat* halfWidth = PlannedHalfWidth(core_.settings, plan);
    InputPictures pictures = PicturesOf(entry, core_.settings);
    const auto describe = [&] {
        EncodeExtension extension = PicturesExtension(pictures, plannedRate);
        extension.frameWidth = halfWidth != nullptr ? halfWidth->width : 0;
        return core_.encoder.Extend(extension);
    };
    bool taken = describe();
    if (!taken && pictures.film) {
        // An encoder that cannot repeat fields gets the frames of the standard's rate.
        pictures.film = false;
        taken = describe();
    }
    core_.media.run.filmPictures = taken && pictures.film;
    // MPEG-1 pictures are frames: a VCD gets them fitted whole.
    core_.media.run.fieldPictures
        = taken && pictures.fieldOrder != ENCODE_PROGRESSIVE && core_.settings.outputFormat != formatVcd;
    // Without a plan the encoder's own settings serve, whether it took the pictures' facts or not.
    return taken || !plan;
}

void ConversionRun::RefuseToStart()
{
    ShowMessage(core_.ports.messages, message::initFailed, message::encoderCaption);
    core_.ports.window.PostCloseRequest();
    core_.media.run.conversionActive = false;
}

void ConversionRun::LogConversion(const InputEntry& entry, int result, double seconds)
{
    const char* outcome = result == ENCODE_COMPLETED ? message::outcomeCompleted
        : result == ENCODE_CANCELLED                 ? message::outcomeCancelled
                                                     : message::outcomeFailed;
    core_.runLog.AppendLogLine(FormatText(message::runRecord, entry.path.c_str(), entry.outputPath.c_str(), outcome,
        result, seconds));
}

void ConversionRun::ShutDownComputer() { core_.ports.power.PowerOff(); }

} // namespace discforge
