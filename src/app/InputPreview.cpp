// The input preview: a frame of the selected input as the decoder delivers it.
#include "app/AppParts.h"
#include "app/PreviewMessages.h"
#include "app/Previews.h"
#include "core/ControlIds.h"
#include "core/ShowMessage.h"
#include "core/TextFormat.h"
#include "input/StreamGraph.h"
#include "input/StreamObjects.h"
#include "ports/ControlSurface.h"

#include <algorithm>
#include <cctype>

namespace discforge {

bool Previews::CreatePreviewPictures(
    PanelPainter* inputPainter, const PanelRect& inputRect, PanelPainter* outputPainter, const PanelRect& outputRect)
{
    inputPanel_ = std::make_unique<TPreviewDib>(inputPainter, inputRect);
    outputPanel_ = std::make_unique<TPreviewDib>(outputPainter, outputRect);
    if (!inputPanel_->HasPicture() || !outputPanel_->HasPicture()) {
        inputPanel_.reset();
        outputPanel_.reset();
        return false;
    }
    return true;
}

void Previews::ShowInputPreview()
{
    if (inputPanel_ && core_.inputs.inputCount > 0 && !core_.preview.previewPlaying()) {
        inputPanel_->PaintRows(0, inputPanel_->Height());
    }
}

void Previews::FailInput(const std::string& text, const char* caption)
{
    if (!text.empty()) {
        ShowMessage(core_.ports.messages, text, caption);
    }
    inputBusy_ = false;
    core_.inputTable.RemoveInput(core_.inputs.selectedInput);
}

void Previews::RenderInputPreview()
{
    InputTableState& inputs = core_.inputs;
    // The encoder reads the streams while it runs; a preview would move them.
    if (!Ready() || inputs.selectedInput < 0 || core_.media.run.conversionActive) {
        return;
    }
    if (inputs.inputCount == 0) {
        inputPanel_->Clear();
        ShowInputPreview();
        return;
    }
    if (inputBusy_ || core_.media.fetch.fetchInProgress) {
        return;
    }
    inputBusy_ = true;
    const int index = inputs.selectedInput;
    InputEntry& entry = inputs.inputTable[static_cast<std::size_t>(index)];
    const int frame = core_.ports.controls.ScrollPosition(control::inputPosition);
    bool shown = false;
    if (entry.isVideoFile && inputs.decoderKind == kindAviReader) {
        shown = ShowAviReaderFrame(index, frame);
    } else if (entry.isVideoFile) {
        shown = ShowStreamFrame(index, entry, frame);
    } else {
        const bool aviReader = inputs.decoderKind == kindAviReader;
        shown = ShowListPicture(
            entry, frame, aviReader ? preview_message::aviListCaption : preview_message::inputListCaption);
    }
    if (shown) {
        inputBusy_ = false;
    }
}

bool Previews::ShowStreamFrame(int index, InputEntry& entry, int frame)
{
    using namespace preview_message;
    const int fetched = core_.frameFetch.FetchPreviewFrame(index, frame);
    if (core_.inputs.selectedInput != index || index >= core_.inputs.inputCount) {
        // The events handled during the fetch changed the inputs: this frame is nobody's.
        inputBusy_ = false;
        return false;
    }
    if (fetched != fetchOk) {
        // A cancelled wait shows nothing, but the input goes as well.
        const char* text = fetched == fetchSeekFailed ? inputSeekFailed
            : fetched >= fetchUpdateFailed            ? inputUpdateFailed
                                                      : "";
        FailInput(text, inputDisplayCaption);
        return false;
    }
    SampleStream* stream = entry.streams ? entry.streams->videoStream.get() : nullptr;
    MmSurfaceLock lock;
    if (stream == nullptr || !stream->LockSurface(lock)) {
        FailInput(inputLockFailed, inputDisplayCaption);
        return false;
    }
    const bool copied = inputWork_.CopyFromSurface(lock.width, lock.height, lock.pitch, lock.pixels);
    stream->UnlockSurface();
    if (!copied) {
        FailInput(inputWork_.ErrorText(), inputCopyCaption);
        return false;
    }
    if (inputWork_.Depth() != 32 && !inputWork_.ConvertDepth(32)) {
        FailInput(inputDepthFailed, inputPictureCaption);
        return false;
    }
    if (entry.pictureOptions.deinterlace) {
        inputWork_.Deinterlace();
    }
    if (entry.pictureOptions.invert && !inputWork_.FlipVertical()) {
        FailInput(inputInvertFailed, inputPictureCaption);
        return false;
    }
    // A source of pixels that are not square is drawn as a player shows it.
    inputPanel_->ShowPicture(ShownAsOnTheTv(inputWork_, entry.sourcePixel, shownInput_));
    return true;
}

bool Previews::ShowListPicture(InputEntry& entry, int frame, const char* caption)
{
    using namespace preview_message;
    std::string line;
    switch (entry.listFile.ReadLineAt(frame, line)) {
    case ListLineResult::rewindFailed:
        FailInput(FormatText(listSeekFailed, entry.path.c_str()), caption);
        return false;
    case ListLineResult::endOfFile:
        FailInput(FormatText(noFrame, frame, entry.path.c_str()), caption);
        return false;
    case ListLineResult::ok:
        break;
    }
    const std::string path = ListPicturePath(line, entry.listDirectory);
    if (!inputPanel_->LoadFile(path)) {
        FailInput(inputPanel_->ErrorText(), caption);
        return false;
    }
    entry.sourceBits = inputPanel_->DeclaredDepth();
    entry.height = inputPanel_->DeclaredHeight();
    entry.width = inputPanel_->DeclaredWidth();
    std::string name = path;
    std::transform(
        name.begin(), name.end(), name.begin(), [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
    core_.inputs.currentPictureName = name;
    core_.inputTable.DescribeInput();
    return true;
}

// Through the AVI reader the frame is shown as decoded, without the picture options.
bool Previews::ShowAviReaderFrame(int index, int frame)
{
    using namespace preview_message;
    const AviReaderEntry& reader = core_.media.avi.aviReaderTable[static_cast<std::size_t>(index)];
    const std::uint8_t* packed = reader.videoReady && reader.getFrame ? reader.getFrame->GetFrame(frame) : nullptr;
    if (packed == nullptr) {
        FailInput(FormatText(noFrame, frame, reader.path.c_str()), aviCaption);
        return false;
    }
    if (!inputPanel_->ShowFrame(packed, reader.getFrame->FrameBytes())) {
        FailInput(inputPanel_->ErrorText(), aviPanelCaption);
        return false;
    }
    return true;
}

} // namespace discforge
