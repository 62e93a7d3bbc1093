#include "app/VideoSupply.h"

#include "app/AppParts.h"
#include "app/BatchPlan.h"
#include "app/ConversionRun.h"
#include "app/FrameShape.h"
#include "input/FrameFetch.h"
#include "input/StreamGraph.h"
#include "input/StreamObjects.h"
#include "picture/PictureBlend.h"
#include "picture/PictureFitting.h"
#include "ports/WindowPort.h"

#include <algorithm>
#include <utility>

namespace discforge {

// While the encoder runs it reads exactly the picture size it was told, so that
// size wins over the input's own, which stays as the user chose it. Before, the
// pictures show the frame the disc plan will give them.
PictureOptions VideoSupply::HandedOutAs(PictureOptions options) const
{
    if (core_.media.run.encoderBusy) {
        options.outputWidth = core_.encodeParameters.width;
        options.outputHeight = core_.encodeParameters.height;
        return options;
    }
    if (!core_.settings.batchMode) {
        // Without batch mode every input is brought to the first input's size.
        options.outputWidth = core_.inputs.sharedWidth;
        options.outputHeight = core_.inputs.sharedHeight;
    }
    const PictureSize planned = PlannedPictureSize(
        core_.settings, PlanBatch(core_.settings, core_.inputs), options.outputWidth, options.outputHeight);
    options.outputWidth = planned.width;
    options.outputHeight = planned.height;
    return options;
}

int VideoSupply::ListPictureOfFrame(const InputEntry& entry, int frameIndex, int tvStandard)
{
    const std::int64_t picture = FrameFetch::SourceFrame(frameIndex, entry.frameRate, tvStandard);
    const std::int64_t last = std::max<std::int64_t>(std::int64_t{entry.selectedFrames} - 1, 0);
    return static_cast<int>(std::clamp<std::int64_t>(picture, 0, last));
}

InputEntry* VideoSupply::CurrentEntry()
{
    InputTableState& inputs = core_.inputs;
    if (inputs.currentInput < 0 || inputs.currentInput >= inputs.inputCount) {
        return nullptr;
    }
    return &inputs.inputTable[static_cast<std::size_t>(inputs.currentInput)];
}

unsigned VideoSupply::OutputFrames() const
{
    const InputTableState& inputs = core_.inputs;
    const int standard = core_.settings.tvStandard;
    const auto framesOf = [standard](const InputEntry& entry) {
        return static_cast<unsigned>(std::max(LastOutputFrame(entry.selectedFrames, entry.frameRate, standard) + 1, 0));
    };
    if (core_.settings.batchMode) {
        return inputs.currentInput >= 0 && inputs.currentInput < inputs.inputCount
            ? framesOf(inputs.inputTable[static_cast<std::size_t>(inputs.currentInput)])
            : 0;
    }
    unsigned total = 0;
    for (int i = 0; i < inputs.inputCount; ++i) {
        total += framesOf(inputs.inputTable[static_cast<std::size_t>(i)]);
    }
    return total;
}

void VideoSupply::ClampFramePosition()
{
    InputTableState& inputs = core_.inputs;
    long long bound = 0;
    if (core_.settings.batchMode) {
        if (inputs.currentInput < 0) {
            return;
        }
        bound = inputs.inputTable[static_cast<std::size_t>(inputs.currentInput)].selectedFrames;
    } else {
        for (int i = 0; i < inputs.inputCount; ++i) {
            bound += inputs.inputTable[static_cast<std::size_t>(i)].selectedFrames;
        }
    }
    if (inputs.framePosition < 0) {
        inputs.framePosition = 0;
    } else if (inputs.framePosition >= bound) {
        inputs.framePosition = static_cast<int>(bound > 0 ? bound - 1 : 0);
    }
    shownFrame_ = inputs.framePosition;
}

int VideoSupply::SupplyVideoFrame(int frameIndex, std::int32_t* rowBytes, const std::uint8_t** pixels)
{
    askedFrame_ = frameIndex;
    const InputEntry* current = CurrentEntry();
    if (current == nullptr) {
        return videoFetchFailed;
    }
    // The decoder kind is that of the video file activated last; a list is read
    // by its own steps whatever that kind is.
    if (current->isVideoFile) {
        madeList_.reset();
    }
    if (current->isVideoFile && core_.inputs.decoderKind == kindAviReader) {
        const int result = SupplyFromAviReader(frameIndex, rowBytes, pixels);
        core_.settings.videoSettingsChanged = false;
        return result;
    }
    made_.reset();
    core_.ports.window.PumpMessages();
    InputTableState& inputs = core_.inputs;
    inputs.framePosition = frameIndex;
    ClampFramePosition();
    // The pumped messages may have changed the table.
    InputEntry* entry = CurrentEntry();
    if (entry == nullptr) {
        return videoFetchFailed;
    }
    const PictureOptions options = HandedOutAs(entry->pictureOptions);
    if (entry->isVideoFile) {
        shownFrame_ = frameIndex;
        return SupplyStreamFrame(inputs.currentInput, frameIndex, options, rowBytes, pixels);
    }
    shownFrame_ = ListPictureOfFrame(*entry, frameIndex, core_.settings.tvStandard);
    return SupplyListPicture(inputs.currentInput, options, rowBytes, pixels);
}

int VideoSupply::SupplyStreamFrame(
    int index, int frameIndex, const PictureOptions& options, std::int32_t* rowBytes, const std::uint8_t** pixels)
{
    const int fetched = core_.frameFetch.FetchVideoFrame(index, frameIndex);
    core_.settings.videoSettingsChanged = false;
    if (fetched != fetchOk) {
        return videoFetchFailed;
    }
    InputEntry& entry = core_.inputs.inputTable[static_cast<std::size_t>(index)];
    SampleStream* stream = entry.streams ? entry.streams->videoStream.get() : nullptr;
    if (stream == nullptr) {
        return videoLockFailed;
    }
    if (const std::optional<int> result = FitStreamBands(*stream, entry, options, rowBytes, pixels)) {
        return *result;
    }
    MmSurfaceLock lock;
    if (!stream->LockSurface(lock)) {
        return videoLockFailed;
    }
    const SurfaceRows surface{lock.width, lock.height, lock.pitch, lock.pixels};
    if (OnlyFitting(options)) {
        const int result = FitRows(surface, options, rowBytes, pixels);
        stream->UnlockSurface();
        return result;
    }
    const bool copied = core_.workPicture.CopyFromSurface(surface);
    stream->UnlockSurface();
    return copied ? Finish(options, rowBytes, pixels) : videoCopyFailed;
}

// A frame scaled down is converted as it is scaled, a few rows at a time, where the
// stream keeps it as decoded; nothing where it does not.
std::optional<int> VideoSupply::FitStreamBands(SampleStream& stream, const InputEntry& entry,
    const PictureOptions& options, std::int32_t* rowBytes, const std::uint8_t** pixels)
{
    const FitRequest request = FitRequestFor(options);
    const PictureBands* bands = nullptr;
    if (!OnlyFitting(options) || !FitsBands(entry.width, entry.height, request) || !stream.LockBands(bands)) {
        return std::nullopt;
    }
    if (!FitsBands(bands->Width(), bands->Height(), request)) {
        stream.UnlockSurface();
        return std::nullopt;
    }
    const bool fitted = FitBands(core_.workPicture, *bands, request);
    stream.UnlockSurface();
    return fitted ? HandOut(rowBytes, pixels) : FitFailure(request.mode);
}

bool VideoSupply::OnlyFitting(const PictureOptions& options) const
{
    const bool fieldsApart = core_.media.run.encoderBusy && core_.media.run.fieldPictures;
    return !fieldsApart && !options.deinterlace && !options.invert && !HasCropRectangle(options);
}

// The fitting reads the rows themselves, with no copy in between.
int VideoSupply::FitRows(
    const SurfaceRows& rows, const PictureOptions& options, std::int32_t* rowBytes, const std::uint8_t** pixels)
{
    const FitRequest request = FitRequestFor(options);
    switch (FitSurface(core_.workPicture, rows, request)) {
    case SurfaceFit::copyFailed:
        return videoCopyFailed;
    case SurfaceFit::fitFailed:
        return FitFailure(request.mode);
    case SurfaceFit::ok:
        break;
    }
    return HandOut(rowBytes, pixels);
}

int VideoSupply::AviReaderFrameOf(int frameIndex) const
{
    const int index = core_.inputs.currentInput;
    const AviReaderEntry& reader = core_.media.avi.aviReaderTable[static_cast<std::size_t>(index)];
    const int frame = core_.media.run.filmPictures
        ? frameIndex
        : FrameFetch::SourceFrame(frameIndex, core_.media.reader.sourceFrameRate, core_.settings.tvStandard);
    return frame > reader.lastFrame && reader.lastFrame > 0 ? reader.lastFrame - 1 : frame;
}

int VideoSupply::SupplyFromAviReader(int frameIndex, std::int32_t* rowBytes, const std::uint8_t** pixels)
{
    InputTableState& inputs = core_.inputs;
    const int index = inputs.currentInput;
    AviReaderEntry& reader = core_.media.avi.aviReaderTable[static_cast<std::size_t>(index)];
    const int frame = AviReaderFrameOf(frameIndex);
    if (frame == 0 || core_.settings.videoSettingsChanged) {
        core_.media.fetch.runStartFrame = frame;
    }
    // Cleared first: only the two ways out that set it again leave the work picture as made from it.
    const std::optional<MadeFrame> madeBefore = std::exchange(made_, std::nullopt);
    core_.ports.window.PumpMessages();
    inputs.framePosition = shownFrame_ = frame;
    // The pumped messages may have changed the table.
    const InputEntry* entry = CurrentEntry();
    if (entry == nullptr || inputs.currentInput != index) {
        return videoLockFailed;
    }

    const PictureOptions options = HandedOutAs(entry->pictureOptions);
    if (!reader.isAviFile) {
        if (!core_.workPicture.CreateBlank(options.outputWidth, options.outputHeight)) {
            return videoLockFailed;
        }
        return Finish(options, rowBytes, pixels);
    }
    if (!reader.videoReady || !reader.getFrame) {
        return videoLockFailed;
    }
    AviFrameDecompressor& decompressor = *reader.getFrame;
    // A frame scaled down is converted as it is scaled, a few rows at a time.
    const FitRequest request = FitRequestFor(options);
    const bool byBands
        = OnlyFitting(options) && FitsBands(decompressor.FrameWidth(), decompressor.FrameHeight(), request);
    const AviFrameRows got
        = byBands ? decompressor.GetFrameRows(shownFrame_) : AviFrameRows{decompressor.GetFrame(shownFrame_), nullptr};
    const std::uint8_t* packed = got.packed;
    if (packed == nullptr && got.bands == nullptr) {
        return videoLockFailed;
    }
    // Between runs and at a run's start the work picture serves other inputs and previews too.
    const bool running = core_.media.run.encoderBusy && !core_.settings.videoSettingsChanged;
    const void* made = packed != nullptr ? static_cast<const void*>(packed) : got.bands;
    const MadeFrame wanted{&decompressor, made, index, shownFrame_, options};
    if (running && madeBefore == wanted) {
        made_ = wanted;
        return HandOut(rowBytes, pixels);
    }
    const std::size_t frameBytes = decompressor.FrameBytes();
    SurfaceRows rows;
    int result = videoOk;
    if (got.bands != nullptr) {
        result = FitBands(core_.workPicture, *got.bands, request) ? HandOut(rowBytes, pixels) : videoLockFailed;
    } else if (OnlyFitting(options) && PackedBitmapRows(packed, frameBytes, rows)) {
        result = FitRows(rows, options, rowBytes, pixels);
    } else if (core_.workPicture.LoadPackedBitmap(packed, frameBytes)) {
        result = Finish(options, rowBytes, pixels);
    } else {
        result = videoLockFailed;
    }
    if (result != videoOk) {
        return videoLockFailed;
    }
    if (core_.media.run.encoderBusy) {
        made_ = wanted;
    }
    return videoOk;
}

FitRequest VideoSupply::FitRequestFor(const PictureOptions& options) const
{
    const InputTableState& inputs = core_.inputs;
    const bool current = inputs.currentInput >= 0 && inputs.currentInput < inputs.inputCount;
    if (!current) {
        return FitRequestForInput(core_.settings, DisplayShape::fourByThree, Ratio{}, options, FitRounding::up);
    }
    const InputEntry& entry = inputs.inputTable[static_cast<std::size_t>(inputs.currentInput)];
    return FitRequestForInput(
        core_.settings, InputShape(core_.settings, entry), entry.sourcePixel, options, FitRounding::up);
}

int VideoSupply::FitFailure(FitMode mode)
{
    switch (mode) {
    case FitMode::fillIn:
        return videoFillInFailed;
    case FitMode::crop:
        return videoCutFailed;
    case FitMode::proportional:
        break;
    }
    return videoProportionalFailed;
}

const TFullDib* VideoSupply::WithSubtitle()
{
    const InputEntry* entry = CurrentEntry();
    const TFullDib& work = core_.workPicture;
    if (entry == nullptr || work.Depth() != 32 || !work.HasPicture()) {
        return nullptr;
    }
    const bool film = core_.media.run.encoderBusy && core_.media.run.filmPictures;
    const double rate = OutputPictureRate(core_.settings.tvStandard, film, entry->frameRate);
    const TimedPicture* shown = core_.subtitleBurnIn.PictureAt(
        core_.settings, *entry, work.Width(), work.Height(), OutputClockMs(askedFrame_, rate), core_.runLog);
    if (shown == nullptr) {
        return nullptr;
    }
    const SurfaceRows rows{work.Width(), work.Height(), -work.Stride(), work.Row(work.Height() - 1)};
    return subtitled_.CopyFromSurface(rows) && BlendPicture(subtitled_, *shown) ? &subtitled_ : nullptr;
}

int VideoSupply::HandOut(std::int32_t* rowBytes, const std::uint8_t** pixels)
{
    const TFullDib* subtitled = WithSubtitle();
    const TFullDib& picture = subtitled != nullptr ? *subtitled : core_.workPicture;
    *rowBytes = picture.Width() * 4;
    *pixels = picture.Pixels();
    return videoOk;
}

int VideoSupply::Finish(const PictureOptions& options, std::int32_t* rowBytes, const std::uint8_t** pixels)
{
    TFullDib& picture = core_.workPicture;
    if (options.deinterlace) {
        picture.Deinterlace();
    }
    if (options.invert && !picture.FlipVertical()) {
        return videoFlipFailed;
    }
    if (HasCropRectangle(options)
        && !picture.Crop(options.cropX, options.cropY, options.cropWidth, options.cropHeight)) {
        return videoCropFailed;
    }
    const FitRequest request = FitRequestFor(options);
    const bool fieldsApart = core_.media.run.encoderBusy && core_.media.run.fieldPictures;
    if (!(fieldsApart ? fieldFitting_.Fit(picture, request) : FitPicture(picture, request))) {
        return FitFailure(request.mode);
    }
    return HandOut(rowBytes, pixels);
}

} // namespace discforge
