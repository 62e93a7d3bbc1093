#include "app/VideoSupply.h"

#include "app/AppCore.h"
#include "input/FrameFetch.h"
#include "input/StreamObjects.h"
#include "picture/PictureFitting.h"
#include "ports/WindowPort.h"

namespace discforge {

PictureOptions OptionsOf(const InputEntry& entry)
{
    return {entry.deinterlace, entry.invert, entry.fitCrop, entry.fitFillIn, entry.cropX, entry.cropY, entry.cropWidth,
        entry.cropHeight, entry.outputWidth, entry.outputHeight};
}

PictureOptions OptionsOf(const AviReaderEntry& entry)
{
    return {entry.deinterlace, entry.invert, entry.fitCrop, entry.fitFillIn, entry.cropX, entry.cropY, entry.cropWidth,
        entry.cropHeight, entry.outputWidth, entry.outputHeight};
}

PictureOptions VideoSupply::SizedFor(PictureOptions options) const
{
    if (!core_.settings.batchMode) {
        options.outputWidth = core_.inputs.sharedWidth;
        options.outputHeight = core_.inputs.sharedHeight;
    }
    return options;
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
    if (core_.inputs.currentInput < 0 || core_.inputs.currentInput >= core_.inputs.inputCount) {
        return videoFetchFailed;
    }
    if (core_.inputs.decoderKind == 3) {
        const int result = SupplyFromAviReader(frameIndex, rowBytes, pixels);
        core_.settings.videoSettingsChanged = false;
        return result;
    }
    core_.ports.window.PumpMessages();
    InputTableState& inputs = core_.inputs;
    inputs.framePosition = frameIndex;
    ClampFramePosition();
    const int index = inputs.currentInput;
    InputEntry& entry = inputs.inputTable[static_cast<std::size_t>(index)];
    const PictureOptions options = SizedFor(OptionsOf(entry));
    if (entry.isVideoFile) {
        shownFrame_ = frameIndex;
        return SupplyStreamFrame(index, frameIndex, options, rowBytes, pixels);
    }
    const int result = LoadListPicture(entry.listFile, entry.listDirectory, shownFrame_);
    return result != videoOk ? result : Finish(options, rowBytes, pixels);
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
    MmSurfaceLock lock;
    if (stream == nullptr || !stream->LockSurface(lock)) {
        return videoLockFailed;
    }
    TFullDib& picture = core_.workPicture;
    const SurfaceRows surface{lock.width, lock.height, lock.pitch, lock.pixels};
    if (options.deinterlace || options.invert || Cropping(options)) {
        const bool copied = picture.CopyFromSurface(surface);
        stream->UnlockSurface();
        return copied ? Finish(options, rowBytes, pixels) : videoCopyFailed;
    }
    // Nothing to do before the fitting: it reads the surface itself, with no copy in between.
    const FitRequest request = FitRequestFor(options);
    const SurfaceFit fit = FitSurface(picture, surface, request);
    stream->UnlockSurface();
    switch (fit) {
    case SurfaceFit::copyFailed:
        return videoCopyFailed;
    case SurfaceFit::fitFailed:
        return FitFailure(request.mode);
    case SurfaceFit::ok:
        break;
    }
    return HandOut(rowBytes, pixels);
}

int VideoSupply::LoadListPicture(ListFile& listFile, const std::string& listDirectory, int line)
{
    std::string text;
    switch (listFile.ReadLineAt(line, text)) {
    case ListLineResult::rewindFailed:
        return videoListRewindFailed;
    case ListLineResult::endOfFile:
        return videoListEnded;
    case ListLineResult::ok:
        break;
    }
    TFullDib& picture = core_.workPicture;
    if (!picture.LoadFile(ListPicturePath(text, listDirectory))) {
        return videoPictureLoadFailed;
    }
    return picture.Depth() == 32 || picture.ConvertDepth(32) ? videoOk : videoDepthFailed;
}

int VideoSupply::SupplyFromAviReader(int frameIndex, std::int32_t* rowBytes, const std::uint8_t** pixels)
{
    InputTableState& inputs = core_.inputs;
    AviReaderEntry& reader = core_.media.avi.aviReaderTable[static_cast<std::size_t>(inputs.currentInput)];
    int frame = FrameFetch::SourceFrame(frameIndex, core_.media.reader.sourceFrameRate, core_.settings.tvStandard);
    if (frame > reader.lastFrame && reader.lastFrame > 0) {
        frame = reader.lastFrame - 1;
    }
    if (frame == 0 || core_.settings.videoSettingsChanged) {
        core_.media.fetch.runStartFrame = frame;
    }
    core_.ports.window.PumpMessages();
    inputs.framePosition = shownFrame_ = frame;

    const PictureOptions options = SizedFor(OptionsOf(reader));
    if (!reader.isAviFile) {
        if (!core_.workPicture.CreateBlank(options.outputWidth, options.outputHeight)) {
            return videoLockFailed;
        }
        return Finish(options, rowBytes, pixels);
    }
    if (reader.videoReady && reader.getFrame) {
        const std::uint8_t* packed = reader.getFrame->GetFrame(shownFrame_);
        if (packed == nullptr || !core_.workPicture.LoadPackedBitmap(packed, reader.getFrame->FrameBytes())) {
            return videoLockFailed;
        }
    } else if (LoadListPicture(reader.listFile, reader.listDirectory, shownFrame_) != videoOk) {
        return videoLockFailed;
    }
    const int result = Finish(options, rowBytes, pixels);
    return result == videoOk ? videoOk : videoLockFailed;
}

bool VideoSupply::Cropping(const PictureOptions& options) { return options.cropWidth != 0 && options.cropHeight != 0; }

FitRequest VideoSupply::FitRequestFor(const PictureOptions& options) const
{
    FitRequest request;
    request.targetWidth = options.outputWidth;
    request.targetHeight = options.outputHeight;
    request.mode = FitModeFromFlags(options.fitFillIn, options.fitCrop);
    request.svcd = core_.settings.outputFormat == formatSvcd;
    request.rounding = FitRounding::up;
    return request;
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

int VideoSupply::HandOut(std::int32_t* rowBytes, const std::uint8_t** pixels)
{
    const TFullDib& picture = core_.workPicture;
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
    if (Cropping(options) && !picture.Crop(options.cropX, options.cropY, options.cropWidth, options.cropHeight)) {
        return videoCropFailed;
    }
    const FitRequest request = FitRequestFor(options);
    if (!FitPicture(picture, request)) {
        return FitFailure(request.mode);
    }
    return HandOut(rowBytes, pixels);
}

} // namespace discforge
