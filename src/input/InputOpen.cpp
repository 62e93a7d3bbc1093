// Opening a video file or a list of pictures into entry inputCount.
#include "input/InputTable.h"

#include "core/ConversionSettings.h"
#include "core/ShowMessage.h"
#include "core/TextFormat.h"
#include "input/AudioFigures.h"
#include "input/InputMessages.h"
#include "input/VideoStreamReader.h"
#include "picture/TFullDib.h"
#include "ports/InputHost.h"

#include <algorithm>
#include <cctype>
#include <climits>
#include <new>

namespace discforge {
namespace {

// Silence handed to the encoder for an input without sound.
constexpr std::int64_t silenceBytesWithoutAudio = 0x80000;
// No audio or silence buffer of a sane input comes near this.
constexpr std::int64_t maxAudioBufferBytes = std::int64_t{64} << 20;

bool AllocateZeroed(std::vector<std::uint8_t>& buffer, std::int64_t size)
{
    if (size <= 0 || size > maxAudioBufferBytes) {
        return false;
    }
    try {
        buffer.assign(static_cast<std::size_t>(size), 0);
    } catch (const std::bad_alloc&) {
        return false;
    }
    return true;
}

int SaturatedProduct(std::int64_t a, std::int64_t b)
{
    return static_cast<int>(std::clamp<std::int64_t>(a * b, INT_MIN, INT_MAX));
}

// Invert is left alone: the stream open derived it from the decoder.
void SetOpenDefaults(InputEntry& entry)
{
    entry.openMarker = 1;
    PictureOptions& options = entry.pictureOptions;
    options.fitting = FitMode::proportional;
    options.cropX = options.cropY = options.cropWidth = options.cropHeight = 0;
}

} // namespace

bool InputTable::RefuseWhenFull(const char* context)
{
    if (state_.inputCount < maxInputs) {
        return false;
    }
    ShowMessage(ports_.messages, FormatText(message::tooManyInputs, maxInputs), context);
    return true;
}

// Leftovers of an earlier failed open or of a removed entry never leak into a new input.
void InputTable::ResetEntry(int index) { state_.inputTable[static_cast<std::size_t>(index)] = InputEntry{}; }

bool InputTable::OpenVideoInput(const std::string& path, int soundTrack, const ComponentSettings& decoderChoices)
{
    if (RefuseWhenFull(message::contextOpenVideo)) {
        return false;
    }
    const int i = state_.inputCount;
    ResetEntry(i);
    InputEntry& entry = state_.inputTable[static_cast<std::size_t>(i)];
    entry.path = path;
    entry.soundTrack = soundTrack;
    entry.decoderChoices = decoderChoices;
    state_.cancelRequested = false;

    state_.cancelDialog = ports_.host.MakeCancelDialog(state_.cancelRequested);
    if (!state_.cancelDialog) {
        ShowMessage(ports_.messages, message::cancelDialogObject, message::contextLoading);
        return false;
    }
    if (!state_.cancelDialog->Create()) {
        state_.cancelDialog.reset();
        ShowMessage(ports_.messages, message::cancelDialogWindow, message::contextLoading);
        return false;
    }
    state_.cancelDialog->SetCaption(message::openingCaption);
    state_.cancelDialog->SetUpperText(FormatText(message::openingFile, path.c_str()));
    ports_.host.SetMainWindowEnabled(false);

    const bool opened = ports_.streams.OpenStreams(i);
    if (opened) {
        FinishOpen(i);
    } else {
        ports_.streams.ReleaseStreams(i);
    }

    ports_.host.SetMainWindowEnabled(true);
    if (state_.cancelDialog && !state_.cancelDialog->WasCancelled()) {
        state_.cancelDialog->Close();
    }
    state_.cancelDialog.reset();
    return opened;
}

void InputTable::FinishOpen(int index)
{
    InputEntry& entry = state_.inputTable[static_cast<std::size_t>(index)];
    entry.selectionEnd = entry.lastFrame;
    entry.totalFrames = entry.selectedFrames = static_cast<unsigned>(entry.lastFrame) + 1;
    entry.selectionStart = entry.position = entry.firstFrame;
    SetOpenDefaults(entry);
    ++state_.videoFileCount;
    SetOutputSize(entry);
    if (entry.hasAudio) {
        SetUpAudio(entry);
    }
    // Also after an audio warning: the audio supply then hands out silence.
    if (!entry.hasAudio) {
        MakeSilenceBuffer(silenceBytesWithoutAudio);
    }
    MakeCurrent(index);
    if (entry.hasAudio) {
        ++state_.audioInputCount;
    }
    entry.isVideoFile = true;
    DescribeInput();
}

void InputTable::SetOutputSize(InputEntry& entry)
{
    if (settings_.batchMode) {
        entry.pictureOptions.outputWidth = entry.width;
        entry.pictureOptions.outputHeight = entry.height;
    } else if (state_.sharedWidth == 0 || state_.sharedHeight == 0) {
        state_.sharedWidth = entry.width;
        state_.sharedHeight = entry.height;
    }
}

void InputTable::SetUpAudio(InputEntry& entry)
{
    if (entry.totalSamples < 0) {
        ShowMessage(ports_.messages, message::negativeSampleCount, message::contextLoadingWarning);
        entry.hasAudio = false;
        return;
    }
    entry.selectedSamples = entry.totalSamples;
    entry.audioSelectionStart = 0;
    const int rate = static_cast<int>(std::min<std::uint32_t>(entry.waveFormat.sampleRate, INT_MAX));
    const std::int64_t convertedBytes = ConvertedBytesPerFrame(rate, entry.samplesPerFrame);

    if (settings_.batchMode) {
        entry.targetSampleRate = TargetSampleRate(rate);
        entry.convertedBytesPerFrame = static_cast<int>(std::min<std::int64_t>(convertedBytes, INT_MAX));
        MakeSilenceBuffer(std::int64_t{entry.samplesPerFrame} * 256);
        if (!AllocateZeroed(entry.convertedBuffer, convertedBytes)) {
            ShowMessage(ports_.messages, message::convertedBufferFailed, message::contextLoadingWarning);
            entry.hasAudio = false;
        }
        return;
    }
    if (state_.sharedTargetRate != 0) {
        return;
    }
    if (state_.sharedAudioBuffer) {
        state_.sharedTargetRate = TargetSampleRate(rate);
        return;
    }
    std::vector<std::uint8_t> buffer;
    if (!AllocateZeroed(buffer, convertedBytes)) {
        // The table still has no audio input, so nothing shared is kept.
        ShowMessage(ports_.messages, message::sharedAudioBufferFailed, message::contextLoadingWarning);
        entry.hasAudio = false;
        return;
    }
    state_.sharedTargetRate = TargetSampleRate(rate);
    state_.sharedBytesPerFrame = static_cast<int>(convertedBytes);
    state_.sharedAudioBuffer = std::move(buffer);
    SubstituteSilence();
}

// Inputs without sound get silence of the shared audio format, so that the
// joined output keeps one audio track.
void InputTable::SubstituteSilence()
{
    const int q = state_.sharedBytesPerFrame / 4;
    for (int k = 0; k < state_.inputCount; ++k) {
        InputEntry& entry = state_.inputTable[static_cast<std::size_t>(k)];
        if (entry.hasAudio) {
            continue;
        }
        entry.totalSamples = SaturatedProduct(entry.totalFrames, q);
        entry.selectedSamples = SaturatedProduct(entry.selectedFrames, q);
        entry.audioSelectionStart = SaturatedProduct(entry.selectionStart, q);
        entry.samplesPerFrame = q;
        entry.bytesPerSample = 4;
    }
}

void InputTable::MakeSilenceBuffer(std::int64_t size)
{
    std::vector<std::uint8_t> buffer;
    if (AllocateZeroed(buffer, size)) {
        state_.silenceBuffer = std::move(buffer);
    }
}

void InputTable::MakeCurrent(int index)
{
    if (state_.selectedInput != index) {
        DeactivateInput(state_.selectedInput);
        state_.selectedInput = index;
    }
    if (state_.currentInput != index) {
        DeactivateInput(state_.currentInput);
        state_.currentInput = index;
    }
}

bool InputTable::OpenListInput(const std::string& path)
{
    if (RefuseWhenFull(message::contextAddList)) {
        return false;
    }
    const int i = state_.inputCount;
    ResetEntry(i);
    InputEntry& entry = state_.inputTable[static_cast<std::size_t>(i)];
    entry.path = path;
    if (!OpenListFile(i, message::contextOpenList)) {
        return false;
    }
    entry.listDirectory = ListDirectoryOf(path);

    std::string line;
    if (!entry.listFile.ReadLine(line)) {
        ShowMessage(ports_.messages, FormatText(message::cannotReadList, path.c_str()), message::contextAddFile);
        entry.listFile.Close();
        return false;
    }
    TBaseDib& picture = ports_.workPicture;
    // Only the picture's size and depth are wanted: a JPEG is read at its
    // smallest scale, and its full upright size is kept as the rule learns it.
    ReadSize fullSize;
    picture.SetLeastSize([&fullSize](int width, int height) {
        fullSize = {width, height};
        return ReadSize{1, 1};
    });
    const bool loaded = picture.LoadFile(ListPicturePath(line, entry.listDirectory));
    picture.SetLeastSize({});
    if (!loaded) {
        ShowMessage(ports_.messages, picture.ErrorText(), message::contextAddFile);
        entry.listFile.Close();
        return false;
    }
    // Every further picture is checked now, by its header, so that a list with
    // a missing or unusable picture is refused before a conversion starts
    // rather than stopping one halfway.
    TFullDib probe;
    int lines = 1;
    while (lines < INT_MAX && entry.listFile.ReadLine(line)) {
        ++lines;
        const std::string picturePath = ListPicturePath(line, entry.listDirectory);
        if (!probe.ProbeFile(picturePath)) {
            ShowMessage(ports_.messages,
                FormatText(message::listPictureRefused, path.c_str(), lines, picturePath.c_str(), probe.ErrorText()),
                message::contextAddFile);
            entry.listFile.Close();
            return false;
        }
    }
    if (!entry.listFile.Rewind()) {
        ShowMessage(ports_.messages, FormatText(message::listSeekFailed, path.c_str()), message::contextAddFile);
        entry.listFile.Close();
        return false;
    }

    entry.sourceBits = picture.Depth();
    entry.selectionStart = entry.firstFrame = entry.position = 0;
    entry.selectionEnd = entry.lastFrame = lines - 1;
    entry.selectedFrames = entry.totalFrames = static_cast<unsigned>(lines);
    if (settings_.batchMode || state_.sharedTargetRate == 0) {
        entry.bytesPerSample = 0;
        entry.samplesPerFrame = 0;
    } else {
        entry.bytesPerSample = 4;
        entry.samplesPerFrame = state_.sharedBytesPerFrame / 4;
    }
    entry.totalSamples = entry.selectedSamples = SaturatedProduct(lines, entry.samplesPerFrame);
    entry.audioSelectionStart = 0;
    SetOpenDefaults(entry);
    entry.width = fullSize.width > 0 ? fullSize.width : picture.Width();
    entry.height = fullSize.width > 0 ? fullSize.height : picture.Height();
    entry.frameRate = 1.0;
    SetOutputSize(entry);
    MakeCurrent(i);
    entry.isVideoFile = false;
    DescribeInput();
    return true;
}

bool InputTable::OpenListFile(int index, const char* context)
{
    InputEntry& entry = state_.inputTable[static_cast<std::size_t>(index)];
    if (entry.listFile.IsOpen()) {
        return true;
    }
    if (!entry.listFile.Open(entry.path)) {
        ShowMessage(ports_.messages, FormatText(message::cannotOpenList, entry.path.c_str()), context);
        return false;
    }
    return true;
}

} // namespace discforge
