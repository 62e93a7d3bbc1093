// The output preview: a frame of the current input as it will be encoded.
// With liveOutputPreview the frame goes through the frame supply's pipeline
// (depth, deinterlace, invert, crop, fitting) before the panel shows it;
// without, the decoded frame goes straight into the panel.
#include "app/AppParts.h"
#include "app/FrameShape.h"
#include "app/PreviewMessages.h"
#include "app/Previews.h"
#include "core/ShowMessage.h"
#include "core/TextFormat.h"
#include "input/StreamGraph.h"
#include "input/StreamObjects.h"
#include "picture/PictureBlend.h"
#include "picture/PictureFitting.h"

namespace discforge {

void Previews::ShowOutputPreview()
{
    if (outputPanel_ && core_.inputs.inputCount > 0 && !core_.preview.previewPlaying()) {
        outputPanel_->PaintRows(0, outputPanel_->Height());
    }
}

void Previews::ClampOutputPosition() { core_.inputs.framePosition = OutputFrame(); }

int Previews::OutputFrame() const
{
    const unsigned frames = core_.videoSupply.OutputFrames();
    const int position = core_.inputs.framePosition;
    if (position < 0 || frames == 0) {
        return 0;
    }
    return static_cast<unsigned>(position) >= frames ? static_cast<int>(frames - 1) : position;
}

void Previews::FailOutput(const std::string& text, const char* caption)
{
    if (!text.empty()) {
        ShowMessage(core_.ports.messages, text, caption);
    }
    outputBusy_ = false;
    core_.inputTable.RemoveInput(core_.inputs.currentInput);
}

void Previews::RenderOutputPreview()
{
    InputTableState& inputs = core_.inputs;
    // The encoder reads the streams while it runs; a preview would move them.
    if (!Ready() || inputs.currentInput < 0 || core_.media.run.conversionActive) {
        return;
    }
    if (inputs.inputCount == 0) {
        outputPanel_->Clear();
        ShowOutputPreview();
        return;
    }
    if (outputBusy_ || core_.media.fetch.fetchInProgress) {
        return;
    }
    outputBusy_ = true;
    const int index = inputs.currentInput;
    InputEntry& entry = inputs.inputTable[static_cast<std::size_t>(index)];
    const bool live = core_.liveOutputPreview;
    const bool aviReader = entry.isVideoFile && inputs.decoderKind == kindAviReader;
    bool fetched = false;
    if (aviReader) {
        fetched = FetchOutputAviFrame(index, entry, live);
    } else if (entry.isVideoFile) {
        fetched = FetchOutputStreamFrame(index, entry, live);
    } else {
        fetched = FetchOutputListPicture(entry, live, preview_message::outputFileCaption);
    }
    if (!fetched || (live && !FinishOutput(entry, aviReader))) {
        return;
    }
    if (!core_.preview.previewPlaying()) {
        outputPanel_->DrawFrameLine();
        ShowOutputPreview();
    }
    outputBusy_ = false;
}

bool Previews::FetchOutputStreamFrame(int index, InputEntry& entry, bool live)
{
    using namespace preview_message;
    // The frame the encoder gets for this output frame: mapped by the rates.
    const int source = FrameFetch::SourceFrame(OutputFrame(), entry.frameRate, core_.settings.tvStandard);
    const int fetched = core_.frameFetch.FetchPreviewFrame(index, source);
    if (core_.inputs.currentInput != index || index >= core_.inputs.inputCount) {
        // The events handled during the fetch changed the inputs: this frame is nobody's.
        outputBusy_ = false;
        return false;
    }
    if (fetched != fetchOk) {
        // A cancelled wait shows nothing, but the input goes as well.
        const char* text = fetched == fetchSeekFailed ? outputSeekFailed
            : fetched >= fetchUpdateFailed            ? outputUpdateFailed
                                                      : "";
        FailOutput(text, outputDisplayCaption);
        return false;
    }
    SampleStream* stream = entry.streams ? entry.streams->videoStream.get() : nullptr;
    MmSurfaceLock lock;
    if (stream == nullptr || !stream->LockSurface(lock)) {
        FailOutput(outputLockFailed, outputDisplayCaption);
        return false;
    }
    const SurfaceRows surface{lock.width, lock.height, lock.pitch, lock.pixels};
    const bool copied = live ? outputWork_.CopyFromSurface(surface) : outputPanel_->ShowRaw(surface);
    stream->UnlockSurface();
    if (!copied) {
        FailOutput(live ? outputWork_.ErrorText() : outputPanel_->ErrorText(), outputDisplayCaption);
        return false;
    }
    return true;
}

bool Previews::FetchOutputListPicture(InputEntry& entry, bool live, const char* caption)
{
    using namespace preview_message;
    // The slideshow: a list shows each picture for a second of output frames.
    const int line = core_.videoSupply.ListPictureOfFrame(entry, OutputFrame(), core_.settings.tvStandard);
    std::string text;
    switch (entry.listFile.ReadLineAt(line, text)) {
    case ListLineResult::rewindFailed:
        FailOutput(FormatText(caption == aviOutputCaption ? listSeekFailed : outputListFindFailed, entry.path.c_str()),
            caption);
        return false;
    case ListLineResult::endOfFile:
        FailOutput(FormatText(noFrame, line, entry.path.c_str()), caption);
        return false;
    case ListLineResult::ok:
        break;
    }
    const std::string path = ListPicturePath(text, entry.listDirectory);
    TBaseDib& target = live ? static_cast<TBaseDib&>(outputWork_) : *outputPanel_;
    if (live) {
        // Read no larger than FinishOutput fits it, as the frame supply reads it.
        outputWork_.SetLeastSize(VideoSupply::ListReadSize(OutputOptions(entry), OutputFitRequest(entry)));
    }
    const bool loaded = target.LoadFile(path);
    outputWork_.SetLeastSize({});
    if (!loaded) {
        FailOutput(target.ErrorText(), caption);
        return false;
    }
    return true;
}

bool Previews::FetchOutputAviFrame(int index, InputEntry& entry, bool live)
{
    using namespace preview_message;
    const AviReaderEntry& reader = core_.media.avi.aviReaderTable[static_cast<std::size_t>(index)];
    if (!reader.isAviFile) {
        return FetchOutputListPicture(entry, live, aviOutputCaption);
    }
    const int frame = core_.videoSupply.AviReaderFrameOf(OutputFrame());
    const std::uint8_t* packed = reader.videoReady && reader.getFrame ? reader.getFrame->GetFrame(frame) : nullptr;
    if (packed == nullptr) {
        FailOutput(FormatText(noFrame, frame, reader.path.c_str()), aviOutputCaption);
        return false;
    }
    const std::size_t bytes = reader.getFrame->FrameBytes();
    const bool loaded = live ? outputWork_.LoadPackedBitmap(packed, bytes) : outputPanel_->ShowFrame(packed, bytes);
    if (!loaded) {
        FailOutput(live ? outputWork_.ErrorText() : outputPanel_->ErrorText(), aviOutputCaption);
        return false;
    }
    return true;
}

bool Previews::FinishOutput(const InputEntry& entry, bool aviReader)
{
    using namespace preview_message;
    const char* caption = aviReader ? aviOutputCaption : outputFileCaption;
    const PictureOptions options = OutputOptions(entry);
    if (outputWork_.Depth() != 32 && !outputWork_.ConvertDepth(32)) {
        FailOutput(aviReader ? aviDepthFailed : outputDepthFailed, caption);
        return false;
    }
    if (options.deinterlace) {
        outputWork_.Deinterlace();
    }
    if (options.invert && !outputWork_.FlipVertical()) {
        FailOutput(aviReader ? aviInvertFailed : outputInvertFailed, caption);
        return false;
    }
    if (HasCropRectangle(options)
        && !outputWork_.Crop(options.cropX, options.cropY, options.cropWidth, options.cropHeight)) {
        FailOutput(aviReader ? aviCropFailed : outputCropFailed, caption);
        return false;
    }
    const FitRequest request = OutputFitRequest(entry);
    if (!FitPicture(outputWork_, request)) {
        if (aviReader) {
            // The panel shows the unscaled picture.
            ShowMessage(core_.ports.messages, aviRescaleFailed, caption);
        } else {
            FailOutput(request.mode == FitMode::crop ? outputCropFailed : outputRescaleFailed, caption);
            return false;
        }
    } else {
        BurnSubtitle(entry);
    }
    if (!outputPanel_->ShowPicture(ShownAsOnTheTv(outputWork_, request.framePixel, shownOutput_))) {
        FailOutput(aviReader ? aviPreviewFailed : outputPreviewFailed, caption);
        return false;
    }
    return true;
}

// The frame the encoder would get at this position, so with the same subtitle over it.
void Previews::BurnSubtitle(const InputEntry& entry)
{
    const double rate = OutputPictureRate(core_.settings.tvStandard, false, entry.frameRate);
    const TimedPicture* shown = core_.subtitleBurnIn.PictureAt(core_.settings, entry, outputWork_.Width(),
        outputWork_.Height(), OutputClockMs(OutputFrame(), rate), core_.runLog);
    if (shown != nullptr) {
        BlendPicture(outputWork_, *shown);
    }
}

PictureOptions Previews::OutputOptions(const InputEntry& entry) const
{
    return core_.videoSupply.HandedOutAs(entry.pictureOptions);
}

FitRequest Previews::OutputFitRequest(const InputEntry& entry) const
{
    // The supply rounds the proportional size up; the preview has always truncated it.
    return FitRequestForInput(
        core_.settings, InputShape(core_.settings, entry), entry.sourcePixel, OutputOptions(entry), FitRounding::down);
}

const TFullDib& Previews::ShownAsOnTheTv(TFullDib& picture, Ratio pixel, TFullDib& shown)
{
    const int width = picture.Width();
    const int height = picture.Height();
    if (pixel.num <= 0 || pixel.den <= 0 || pixel.num == pixel.den || width <= 0 || height <= 0) {
        return picture;
    }
    // Each pixel drawn as wide as the TV shows it: a 16:9 frame comes out 16:9. The
    // picture itself stays as it is, for those who compare it with the supply's.
    const std::int64_t shownWidth = (std::int64_t{width} * pixel.num + pixel.den / 2) / pixel.den;
    if (shownWidth <= 0 || shownWidth > maxShownWidth) {
        return picture;
    }
    const SurfaceRows rows{width, height, -static_cast<int>(picture.Stride()), picture.Row(height - 1)};
    const int side = static_cast<int>(shownWidth);
    return shown.RescaleFromSurface(rows, side, height, side, height) ? shown : picture;
}

} // namespace discforge
