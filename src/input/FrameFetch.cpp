#include "input/FrameFetch.h"

#include "core/ControlIds.h"
#include "core/ConversionSettings.h"
#include "core/RunLog.h"
#include "core/ShowMessage.h"
#include "core/TextFormat.h"
#include "input/ReaderMessages.h"
#include "input/StreamGraph.h"
#include "input/StreamObjects.h"
#include "input/StreamReader.h"
#include "ports/ControlSurface.h"
#include "ports/InputHost.h"
#include "ports/WindowPort.h"

#include <algorithm>
#include <cmath>
#include <cstring>

namespace discforge {

namespace {

constexpr int waitMilliseconds = 1000;
constexpr int videoWaits = 20; // the time-out comes after the 21st wait
constexpr int audioWaits = 10; // and after the 11th
constexpr int audioRetryAfter = 2; // waits before the audio update is asked again
constexpr int resyncBlocks = 299; // the audio is placed anew every this many blocks
constexpr int extraSeekFrames = 2990;
constexpr int rebuildKeyFrames = 10; // the sequential fetch rebuilds its streams every this many key frames

} // namespace

FrameFetch::FrameFetch(MediaInputContext context, StreamReader& streams)
    : context_(context)
    , streams_(streams)
{
}

int FrameFetch::SourceFrame(int frameNumber, double frameRate, int tvStandard)
{
    const double perOutputFrame = tvStandard == standardPal ? 0.04 : 0.033366700033366704;
    return static_cast<int>(frameNumber * frameRate * perOutputFrame);
}

void FrameFetch::Status(const std::string& text)
{
    if (context_.inputs.cancelDialog) {
        context_.inputs.cancelDialog->SetStatusText(text);
    }
}

SampleStream* FrameFetch::VideoStream(int index)
{
    const InputEntry& entry = context_.inputs.inputTable[static_cast<std::size_t>(index)];
    return entry.streams ? entry.streams->videoStream.get() : nullptr;
}

SampleStream* FrameFetch::AudioStream(int index)
{
    const InputEntry& entry = context_.inputs.inputTable[static_cast<std::size_t>(index)];
    return entry.streams ? entry.streams->audioStream.get() : nullptr;
}

void FrameFetch::CloseDialogOpenedMeanwhile(bool hadDialog)
{
    InputTableState& inputs = context_.inputs;
    if (hadDialog || !inputs.cancelDialog) {
        return;
    }
    context_.ports.host.SetMainWindowEnabled(true);
    if (!inputs.cancelDialog->WasCancelled()) {
        inputs.cancelDialog->Close();
    }
    inputs.cancelDialog.reset();
}

int FrameFetch::FetchVideoFrame(int index, int frameNumber)
{
    InputEntry& entry = context_.inputs.inputTable[static_cast<std::size_t>(index)];
    FetchState& fetch = context_.media.fetch;
    int source = context_.media.run.filmPictures ? frameNumber
                                                 : SourceFrame(frameNumber, entry.frameRate, context_.settings.tvStandard);
    if (source == 0 || context_.settings.videoSettingsChanged) {
        fetch.lastFetchedFrame = static_cast<unsigned>(std::max(source, 0));
        if (context_.settings.videoSettingsChanged) {
            fetch.runStartFrame = source;
        }
    }
    if (entry.selectedFrames > 0 && source >= static_cast<std::int64_t>(entry.selectedFrames)) {
        source = static_cast<int>(entry.selectedFrames) - 1;
    }
    return FetchWithProgress(index, source);
}

int FrameFetch::FetchPreviewFrame(int index, int source)
{
    const InputEntry& entry = context_.inputs.inputTable[static_cast<std::size_t>(index)];
    if (entry.selectedFrames > 0 && source >= static_cast<std::int64_t>(entry.selectedFrames)) {
        source = static_cast<int>(entry.selectedFrames) - 1;
    }
    source = std::max(source, 0);
    // A frame before the last one fetched would otherwise count as already there.
    context_.media.fetch.lastFetchedFrame = static_cast<unsigned>(source);
    return FetchWithProgress(index, source);
}

int FrameFetch::FetchWithProgress(int index, int source)
{
    InputEntry& entry = context_.inputs.inputTable[static_cast<std::size_t>(index)];
    FetchState& fetch = context_.media.fetch;
    const bool hadDialog = context_.inputs.cancelDialog != nullptr;
    const bool showCursor = !context_.media.run.encoderBusy;
    if (showCursor) {
        context_.ports.host.SetWaitCursor(true);
    }
    fetch.fetchInProgress = true;
    // The objects stay alive for this fetch even when a message handled
    // during a wait releases the entry's streams.
    std::shared_ptr<StreamObjects> keep = entry.streams;
    const int result = FetchVideo(index, std::max(source, 0));
    CloseDialogOpenedMeanwhile(hadDialog);
    fetch.fetchInProgress = false;
    if (showCursor) {
        context_.ports.host.SetWaitCursor(false);
    }
    return result;
}

int FrameFetch::FetchVideo(int index, int source)
{
    const InputEntry& entry = context_.inputs.inputTable[static_cast<std::size_t>(index)];
    FetchState& fetch = context_.media.fetch;
    SampleStream* stream = VideoStream(index);
    if (stream == nullptr) {
        return fetchUpdateFailed;
    }
    const std::int64_t at = source * entry.timePerFrame;
    const int kind = context_.inputs.decoderKind;
    Status(reader_message::statusSeekingFrame);
    if ((kind == kindSeekEveryFrame || source == 0) && !stream->Seek(at)) {
        return fetchSeekFailed;
    }
    Status(reader_message::statusUpdatingFrame);
    MmAnswer answer = MmAnswer::Failed;
    if (kind == kindSeekEveryFrame) {
        if (fetch.lastFetchedFrame > static_cast<unsigned>(source)) {
            return fetchOk;
        }
        if (source % extraSeekFrames == 0 && !stream->Seek(at)) {
            return fetchSeekFailed;
        }
        answer = stream->Update();
        if (answer == MmAnswer::Done) {
            return fetchOk;
        }
        fetch.lastFetchedFrame = static_cast<unsigned>(source) + 1;
    } else if (kind == kindSequential) {
        if (fetch.lastFetchedFrame > static_cast<unsigned>(source)) {
            return fetchOk;
        }
        const int result = UpdateSequential(index, source, answer);
        if (result >= 0) {
            return result;
        }
    } else {
        if (!stream->Seek(at)) {
            return fetchSeekFailed;
        }
        answer = stream->Update();
        if (answer == MmAnswer::Done) {
            return fetchOk;
        }
        ++fetch.lastFetchedFrame;
    }
    return WaitForVideo(index, answer);
}

int FrameFetch::UpdateSequential(int index, int source, MmAnswer& answer)
{
    InputEntry& entry = context_.inputs.inputTable[static_cast<std::size_t>(index)];
    FetchState& fetch = context_.media.fetch;
    StreamReaderState& reader = context_.media.reader;
    for (;;) {
        if (source == 0) {
            fetch.nextKeyFrame
                = reader.timingAviStream ? static_cast<int>(reader.timingAviStream->FindNextKeyFrame(1)) : -1;
        }
        if (fetch.nextKeyFrame != -1 && source == fetch.nextKeyFrame) {
            if (++fetch.keyFrameCount % rebuildKeyFrames == 0) {
                const bool invert = entry.pictureOptions.invert;
                const bool checked = context_.ports.controls.IsChecked(control::invertCheck);
                streams_.RebuildStreams(index);
                entry.pictureOptions.invert = invert;
                context_.ports.controls.SetChecked(control::invertCheck, checked);
            }
            fetch.nextKeyFrame = reader.timingAviStream
                ? static_cast<int>(reader.timingAviStream->FindNextKeyFrame(fetch.nextKeyFrame + 1))
                : -1;
        }
        SampleStream* stream = VideoStream(index);
        if (stream == nullptr) {
            return fetchUpdateFailed;
        }
        // The stream is placed on the wanted frame before every update: going
        // on to the next frame costs nothing, and a skipped or repeated frame
        // is still the one asked for.
        if (!stream->Seek(source * entry.timePerFrame)) {
            return fetchSeekFailed;
        }
        answer = stream->Update();
        if (answer == MmAnswer::Done) {
            return fetchOk;
        }
        if (++fetch.lastFetchedFrame > static_cast<unsigned>(source)) {
            return -1;
        }
    }
}

int FrameFetch::WaitForVideo(int index, MmAnswer answer)
{
    for (int waits = 0; answer == MmAnswer::Pending; ++waits) {
        context_.ports.window.PumpMessages();
        if (context_.inputs.cancelRequested) {
            return fetchCancelled;
        }
        if (waits > videoWaits) {
            const std::string text = reader_message::videoTimeoutBefore + std::string(reader_message::supportAddress)
                + FormatText(reader_message::videoTimeoutAfter, context_.inputs.fourCCText.c_str());
            ShowMessage(context_.ports.messages, text, reader_message::contextDecodeVideo);
            context_.runLog.AppendLogLine(text);
            return fetchVideoTimeout;
        }
        Status(FormatText(reader_message::statusCheckingFrame, waits));
        SampleStream* stream = VideoStream(index);
        if (stream == nullptr) {
            return fetchUpdateFailed;
        }
        answer = stream->CompletionStatus(waitMilliseconds);
    }
    return answer == MmAnswer::Done ? fetchOk : fetchUpdateFailed;
}

int FrameFetch::FetchAudioSample(int index, int position)
{
    InputEntry& entry = context_.inputs.inputTable[static_cast<std::size_t>(index)];
    FetchState& fetch = context_.media.fetch;
    ConversionSettings& settings = context_.settings;
    const bool hadDialog = context_.inputs.cancelDialog != nullptr;
    if (position != 0 && !settings.audioSettingsChanged) {
        ++fetch.audioBlockCounter;
    } else {
        fetch.audioBlockCounter = fetch.runStartFrame;
    }
    std::shared_ptr<StreamObjects> keep = entry.streams;
    const int result = FetchAudio(index, position);
    if (result == fetchOk && keep) {
        const std::size_t bytes = std::min(keep->audioBlock.size(), entry.audioBuffer.size());
        std::memcpy(entry.audioBuffer.data(), keep->audioBlock.data(), bytes);
    }
    CloseDialogOpenedMeanwhile(hadDialog);
    fetch.fetchInProgress = false;
    settings.audioSettingsChanged = false;
    return result;
}

int FrameFetch::FetchAudio(int index, int position)
{
    const InputEntry& entry = context_.inputs.inputTable[static_cast<std::size_t>(index)];
    FetchState& fetch = context_.media.fetch;
    SampleStream* stream = AudioStream(index);
    if (stream == nullptr) {
        return fetchUpdateFailed;
    }
    // Where this block starts: the audio fetch always asks for the sample the
    // caller names, so a resynchronisation never repeats or skips sound.
    const auto at = static_cast<std::int64_t>(std::ceil(position * entry.timePerSample));
    if (fetch.audioBlockCounter != 0 && fetch.audioBlockCounter % resyncBlocks == 0) {
        stream->Seek(at);
        for (int attempt = 0; attempt < 2; ++attempt) {
            MmAnswer answer = stream->Update();
            for (int waits = 0; answer == MmAnswer::Pending && waits <= audioWaits; ++waits) {
                context_.ports.window.PumpMessages();
                answer = stream->CompletionStatus(waitMilliseconds);
            }
            if (answer == MmAnswer::Done) {
                return fetchOk;
            }
        }
    }
    fetch.fetchInProgress = true;
    Status(reader_message::statusSeekingSample);
    // Placed on the wanted sample every time: going on from the last block
    // costs nothing, and a stream that was rebuilt meanwhile (kind 4) starts
    // where the sound is, not at the beginning of the file.
    if (!stream->Seek(at)) {
        return fetchSeekFailed;
    }
    Status(reader_message::statusUpdatingSample);
    MmAnswer answer = stream->Update();
    if (answer == MmAnswer::Done) {
        return fetchOk;
    }
    if (answer == MmAnswer::Failed) {
        return fetchUpdateFailed;
    }
    return WaitForAudio(index, position, answer);
}

int FrameFetch::WaitForAudio(int index, int position, MmAnswer answer)
{
    const InputEntry& entry = context_.inputs.inputTable[static_cast<std::size_t>(index)];
    const auto at = static_cast<std::int64_t>(std::ceil(position * entry.timePerSample));
    for (int waits = 0; answer == MmAnswer::Pending; ++waits) {
        context_.ports.window.PumpMessages();
        if (context_.inputs.cancelRequested) {
            return fetchCancelled;
        }
        SampleStream* stream = AudioStream(index);
        if (stream == nullptr) {
            return fetchUpdateFailed;
        }
        if (waits >= audioRetryAfter) {
            context_.settings.audioSettingsChanged = false;
            if (!stream->Seek(at)) {
                return fetchSeekFailed;
            }
            if (stream->Update() == MmAnswer::Done) {
                return fetchOk;
            }
        }
        if (waits > audioWaits) {
            ShowMessage(context_.ports.messages,
                reader_message::audioTimeoutBefore + std::string(reader_message::supportAddress)
                    + reader_message::audioTimeoutAfter,
                reader_message::contextDecodeAudio);
            return fetchAudioTimeout;
        }
        Status(FormatText(reader_message::statusCheckingSample, waits));
        answer = stream->CompletionStatus(waitMilliseconds);
    }
    return answer == MmAnswer::Done ? fetchOk : fetchUpdateFailed;
}

} // namespace discforge
