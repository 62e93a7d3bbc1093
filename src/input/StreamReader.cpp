#include "input/StreamReader.h"

#include "core/AppIdentity.h"
#include "core/ControlIds.h"
#include "core/ConversionSettings.h"
#include "core/RunLog.h"
#include "core/ShowMessage.h"
#include "core/TextFormat.h"
#include "input/FourCC.h"
#include "input/InputDecoderOptions.h"
#include "input/InputMessages.h"
#include "input/ReaderMessages.h"
#include "input/StreamGraph.h"
#include "input/StreamObjects.h"
#include "input/StreamOpenGraph.h"
#include "ports/ControlSurface.h"
#include "ports/FilterDialogPort.h"
#include "ports/MessagePort.h"
#include "ports/WindowPort.h"

#include <algorithm>
#include <cctype>
#include <cmath>
#include <new>

namespace discforge {

namespace {

std::string UpperCase(std::string text)
{
    std::transform(
        text.begin(), text.end(), text.begin(), [](unsigned char c) { return static_cast<char>(std::toupper(c)); });
    return text;
}

// No audio block of a sane file comes near this (ten seconds of 16-bit stereo at 192 kHz).
constexpr std::int64_t maxAudioBlockBytes = std::int64_t{10} * 192000 * 4;

// The MmStream of a sample stream, without its sample; null for other kinds of stream.
std::unique_ptr<MmStream> TakeMmStream(std::unique_ptr<SampleStream>& stream)
{
    auto* held = dynamic_cast<MmSampleStream*>(stream.get());
    std::unique_ptr<MmStream> taken = held != nullptr ? held->TakeStream() : nullptr;
    if (taken) {
        // The audio sample is a buffer that goes with the entry's other objects.
        taken->ReleaseSample();
    }
    return taken;
}

// What the user is told when a video file does not open: its name and what is
// wrong with it; only a missing decoder asks for a codec.
std::string OpenFailureText(const std::string& path, const MediaError& error, const std::string& fourCC)
{
    using namespace reader_message;
    switch (error.failure) {
    case MediaFailure::FileMissing:
        return FormatText(fileMissing, path.c_str());
    case MediaFailure::NotMedia:
        return FormatText(notVideo, path.c_str());
    case MediaFailure::NoStream:
        return FormatText(noVideoStream, path.c_str());
    case MediaFailure::ReadFailed:
    case MediaFailure::DecodeFailed:
        return FormatText(damagedVideo, path.c_str());
    default:
        break;
    }
    return path + ": " + noCodecBefore + std::string(supportAddress) + FormatText(noCodecAfter, fourCC.c_str());
}

} // namespace

StreamReader::StreamReader(MediaInputContext context)
    : context_(context)
    , avi_(context, *this)
{
}

void StreamReader::Status(const std::string& text)
{
    if (context_.inputs.cancelDialog) {
        context_.inputs.cancelDialog->SetStatusText(text);
    }
}

void StreamReader::Status(int number)
{
    Status(number == 1 ? std::string(reader_message::statusFirst) : FormatText(reader_message::statusNumbered, number));
}

bool StreamReader::Fail(const std::string& text)
{
    ShowMessage(context_.ports.messages, text, reader_message::contextOpenVideo);
    return false;
}

void StreamReader::ReleaseStreams(int index)
{
    InputEntry& entry = context_.inputs.inputTable[static_cast<std::size_t>(index)];
    if (entry.streams) {
        // The audio stream goes before the buffer it writes, then the video stream.
        entry.streams->audioStream.reset();
        entry.streams->audioBlock = {};
        entry.streams->videoStream.reset();
    }
    entry.streams.reset();
    entry.audioBuffer = {};
}

void StreamReader::InspectVideoGraph(const std::vector<MediaComponent>& components, std::string& text, int index)
{
    text = ListComponentsWithSettings(components);
    int kind = DecoderKindOfText(text);
    const std::string& path = context_.inputs.inputTable[static_cast<std::size_t>(index)].path;
    context_.inputs.fourCCText = UpperCase(ReadFourCC(path));
    if (!HasRawFormatCode(context_.inputs.fourCCText) && kind != kindAviReader && kind != kindSequential
        && AviInterfaceDecodes(path)) {
        kind = kindAviReader;
    }
    context_.inputs.decoderKind = kind;
}

void StreamReader::InspectAudioGraph(const std::vector<MediaComponent>& components, std::string& text)
{
    text = ListComponentsWithSettings(components);
}

void StreamReader::ApplyKind(int index)
{
    InputEntry& entry = context_.inputs.inputTable[static_cast<std::size_t>(index)];
    switch (context_.inputs.decoderKind) {
    case kindUpsideDown:
        entry.pictureOptions.invert = true;
        context_.ports.controls.SetChecked(control::invertCheck, true);
        break;
    case kindAviReader:
        avi_.OpenAviReader(index);
        break;
    default:
        entry.pictureOptions.invert = false;
        context_.ports.controls.SetChecked(control::invertCheck, false);
        break;
    }
}

bool StreamReader::OpenStreams(int index) { return Open(index, false); }

bool StreamReader::RebuildStreams(int index)
{
    InputEntry& entry = context_.inputs.inputTable[static_cast<std::size_t>(index)];
    if (entry.streams) {
        reusedVideo_ = TakeMmStream(entry.streams->videoStream);
        if (entry.streams->audioStream) {
            reusedAudio_ = TakeMmStream(entry.streams->audioStream);
        }
    }
    ReleaseStreams(index);
    const bool opened = Open(index, true);
    reusedVideo_.reset();
    reusedAudio_.reset();
    return opened;
}

bool StreamReader::ReadTiming(int index, const MmStream& video)
{
    InputEntry& entry = context_.inputs.inputTable[static_cast<std::size_t>(index)];
    StreamReaderState& reader = context_.media.reader;
    Status(reader_message::statusTimePerFrame);
    entry.timePerFrame = video.TimePerFrame();
    int& kind = context_.inputs.decoderKind;
    if (entry.timePerFrame == 0 && kind != kindAviReader && kind != kindSequential) {
        kind = kindAviReader;
    }
    if (kind != kindAviReader && kind != kindSequential) {
        Status(reader_message::statusDuration);
        entry.duration = video.Duration();
        if (entry.duration <= 0) {
            return Fail(reader_message::noDurationKind0);
        }
        const std::int64_t frames = entry.duration / entry.timePerFrame;
        entry.firstFrame = 0;
        entry.lastFrame = static_cast<int>(std::min<std::int64_t>(frames, INT32_MAX)) - 1;
        entry.sourceBits = 32;
        // The stream's own rate: one taken back from the rounded time per frame
        // maps output frames a frame too far now and then in a long input.
        entry.frameRate = video.FrameRate();
        return true;
    }
    MediaError error;
    reader.timingAviFile = AviFile::Open(entry.path, error);
    if (!reader.timingAviFile) {
        return Fail(FormatText(reader_message::cannotOpen, entry.path.c_str()));
    }
    reader.timingFileInfo = reader.timingAviFile->Info();
    if (reader.timingFileInfo.rate == 0 || reader.timingFileInfo.scale == 0) {
        reader.timingAviFile.reset();
        return Fail(FormatText(reader_message::noFileInformation, entry.path.c_str()));
    }
    Status(10);
    entry.duration = video.Duration();
    if (entry.duration <= 0) {
        return Fail(reader_message::noDurationKind3);
    }
    const AviFileInfo& info = reader.timingFileInfo;
    entry.frameRate = reader.sourceFrameRate = static_cast<double>(info.rate) / info.scale;
    entry.sourceBits = 32;
    entry.firstFrame = 0;
    entry.lastFrame = static_cast<int>(std::min<std::uint32_t>(info.length, INT32_MAX)) - 1;
    entry.timePerFrame = static_cast<std::int64_t>(info.scale) * 10000000 / info.rate;
    reader.timingAviStream = reader.timingAviFile->GetStream(aviStreamTypeVideo, 0);
    return true;
}

void StreamReader::SetUpAudio(int index, MmStream& audio, StreamObjects& objects)
{
    InputEntry& entry = context_.inputs.inputTable[static_cast<std::size_t>(index)];
    Status(17);
    Status(18);
    Status(19);
    const MmWaveFormat wave = audio.WaveFormat();
    if (wave.formatTag != 1) {
        ShowMessage(
            context_.ports.messages, reader_message::audioTypeUnsupported, reader_message::contextOpenVideoWarning);
        return;
    }
    entry.waveFormat = WaveFormat{
        wave.formatTag, wave.channels, wave.sampleRate, wave.avgBytesPerSec, wave.blockAlign, wave.bitsPerSample, 0};
    Status(20);
    entry.timePerSample = 1e7 / wave.sampleRate;
    entry.totalSamples = static_cast<int>(
        std::min<double>(std::floor(static_cast<double>(entry.duration) * 1e-7 * wave.sampleRate), INT32_MAX));
    entry.samplesPerFrame = static_cast<int>(std::ceil(wave.sampleRate / entry.frameRate));
    entry.bytesPerSample = (wave.channels == 2 ? 2 : 1) * (wave.bitsPerSample == 16 ? 2 : 1);
    const std::int64_t blockBytes = static_cast<std::int64_t>(entry.bytesPerSample) * entry.samplesPerFrame;
    entry.audioBytesPerFrame = static_cast<int>(std::min<std::int64_t>(blockBytes, INT32_MAX));
    bool allocated = blockBytes > 0 && blockBytes <= maxAudioBlockBytes;
    if (allocated) {
        try {
            entry.audioBuffer.assign(static_cast<std::size_t>(blockBytes), 0);
            objects.audioBlock.assign(static_cast<std::size_t>(blockBytes), 0);
        } catch (const std::bad_alloc&) {
            allocated = false;
        }
    }
    if (!allocated) {
        ShowMessage(context_.ports.messages, reader_message::audioBufferFailed, reader_message::contextOpenVideo);
        return;
    }
    Status(23);
    Status(24);
    Status(25);
    MediaError error;
    if (!audio.CreateAudioSample(objects.audioBlock.data(), objects.audioBlock.size(), error)) {
        ShowMessage(
            context_.ports.messages, reader_message::audioSampleFailed, reader_message::contextOpenVideoWarning);
        return;
    }
    entry.hasAudio = true;
}

void StreamReader::LogSoundTracks(const InputEntry& entry)
{
    for (const SoundTrack& track : entry.soundTracks) {
        context_.runLog.AppendLogLine(FormatText(reader_message::soundTrackLine, track.number, track.language.c_str(),
            track.coder.c_str(), track.layout.c_str(), track.channels, track.sampleRate,
            track.marked ? reader_message::soundTrackMarked : "",
            track.number == entry.playedTrack ? reader_message::soundTrackPlayed : ""));
    }
}

bool StreamReader::Open(int index, bool rebuilding)
{
    InputTableState& inputs = context_.inputs;
    StreamReaderState& reader = context_.media.reader;
    InputEntry& entry = inputs.inputTable[static_cast<std::size_t>(index)];
    reader.timingAviStream.reset();
    reader.timingAviFile.reset();
    reader.pendingVideoStream.reset();
    reader.pendingAudioStream.reset();

    context_.ports.window.PumpMessages();
    if (inputs.cancelRequested) {
        return false;
    }
    entry.hasAudio = false;

    for (int step = 1; step <= 4; ++step) {
        Status(step);
    }
    Status(reader_message::statusOpeningFile);
    MediaError error;
    const ComponentSettings chosen = DecoderOptionsFor(context_.settings, entry);
    reader.pendingVideoStream
        = MmStream::Reopen(std::move(reusedVideo_), entry.path, MmPurpose::PrimaryVideo, error, chosen);
    if (!reader.pendingVideoStream) {
        if (error.failure == MediaFailure::ScriptFailed) {
            context_.runLog.AppendLogLine(error.text);
            return Fail(error.text);
        }
        inputs.fourCCText = ReadFourCC(entry.path);
        const std::string text = OpenFailureText(entry.path, error, inputs.fourCCText);
        ShowMessage(context_.ports.messages, text, "");
        context_.runLog.AppendLogLine(text);
        context_.runLog.AppendLogLine(error.text);
        return false;
    }
    reader.pendingAudioStream = MmStream::Reopen(
        std::move(reusedAudio_), entry.path, MmPurpose::PrimaryAudio, error, chosen, entry.soundTrack);
    inputs.audioAvailable = reader.pendingAudioStream != nullptr;
    entry.soundTracks = reader.pendingVideoStream->SoundTracks();
    entry.playedTrack = reader.pendingAudioStream ? reader.pendingAudioStream->PlayedTrack() : 0;

    context_.ports.window.PumpMessages();
    if (inputs.cancelRequested) {
        return false;
    }

    context_.runLog.AppendLogLine(reader_message::videoGraphHeading);
    std::string text;
    InspectVideoGraph(reader.pendingVideoStream->Components(), text, index);
    if (inputs.decoderKind == kindAviReader) {
        text += reader_message::vfwMark;
    }
    context_.runLog.AppendLogLine(text);
    ApplyKind(index);
    context_.runLog.AppendLogLine(reader_message::audioGraphHeading);
    if (reader.pendingAudioStream) {
        InspectAudioGraph(reader.pendingAudioStream->Components(), text);
        context_.runLog.AppendLogLine(text);
    }
    if (!rebuilding) {
        LogSoundTracks(entry);
    }
    if (!rebuilding) {
        LogOptionNotes(context_.runLog, reader.pendingVideoStream.get(), reader.pendingAudioStream.get());
    }
    if (index == settingsAskedFor_ && !rebuilding) {
        // Once per request: a later activation of the input opens without the dialog.
        settingsAskedFor_ = -1;
        StreamOpenGraph graph(context_, index);
        context_.ports.filterDialog.ShowFilterProperties(graph);
        // The AVI reader was opened with the settings from before the dialog.
        if (graph.Changed() && inputs.decoderKind == kindAviReader) {
            avi_.OpenAviReader(index);
        }
    }

    // From here on the entry holds the streams; ReleaseStreams undoes them.
    MmStream& video = *reader.pendingVideoStream;
    auto objects = std::make_shared<StreamObjects>();
    MmStream* audio = reader.pendingAudioStream.get();
    objects->videoStream = std::make_unique<MmSampleStream>(std::move(reader.pendingVideoStream));
    if (audio != nullptr) {
        objects->audioStream = std::make_unique<MmSampleStream>(std::move(reader.pendingAudioStream));
    }
    entry.streams = objects;
    Status(5);
    Status(6);

    Status(7);
    if (!video.CanSeek() && !rebuilding
        && !context_.ports.messages.AskYesNo(reader_message::seekQuestion, reader_message::seekQuestionContext)) {
        return false;
    }
    Status(8);
    Status(9);
    if (!ReadTiming(index, video)) {
        return false;
    }

    Status(11);
    const MmVideoFormat format = video.VideoFormat();
    if (format.width <= 0 || format.height <= 0) {
        return Fail(reader_message::noSize2);
    }
    entry.width = format.width;
    entry.height = format.height;
    entry.sourcePixel = format.pixelShape;
    entry.surfaceLayout = SurfaceLayout{};
    entry.surfaceLayout.size = 108;
    entry.surfaceLayout.flags = 0x1007;
    entry.surfaceLayout.pixelFormat.size = 32;
    entry.surfaceLayout.pixelFormat.flags = 0x40;
    entry.surfaceLayout.pixelFormat.rgbBitCount = 32;
    entry.surfaceLayout.pixelFormat.redMask = 0xFF0000;
    entry.surfaceLayout.pixelFormat.greenMask = 0xFF00;
    entry.surfaceLayout.pixelFormat.blueMask = 0xFF;
    entry.surfaceLayout.caps = 0x840;
    for (int step = 12; step <= 16; ++step) {
        Status(step);
    }
    if (!video.CreateVideoSample(error)) {
        return Fail(reader_message::sampleFailed);
    }

    if (inputs.audioAvailable && audio != nullptr) {
        SetUpAudio(index, *audio, *objects);
    }

    Status(26);
    if (!video.Run(error)) {
        return Fail(reader_message::runFailed);
    }
    if (audio != nullptr && audio->Run(error)) {
        inputs.audioAvailable = true;
        return true;
    }
    if (!rebuilding) {
        ShowMessage(context_.ports.messages,
            reader_message::noAudioBefore + std::string(reader_message::supportAddress) + reader_message::noAudioAfter,
            reader_message::contextOpenVideo);
    }
    inputs.audioAvailable = false;
    return true;
}

} // namespace discforge
