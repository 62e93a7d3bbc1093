// The input and output previews: two panels in the window, the frame of the
// selected input as the decoder delivers it and the frame of the current input
// as it will be encoded, and the playback of either at the input's frame rate
// inside the user-interface thread.
//
// The output preview runs the frame supply's picture pipeline on a work
// picture of its own, so a preview never disturbs the picture the encoder was
// handed. Every failure is shown to the user and removes the input it came from.
#pragma once

#include "formats/DiscFormats.h"
#include "picture/PanelPainter.h"
#include "picture/TFullDib.h"
#include "picture/TPreviewDib.h"

#include <memory>
#include <string>

namespace discforge {

class AppParts;
struct FitRequest;
struct InputEntry;
struct PictureOptions;

class Previews {
public:
    explicit Previews(AppParts& core)
        : core_(core)
    {
    }

    // The two panels, each bound to its rectangle and painted by its painter
    // (which may be null and must outlive the panels). False when a panel or
    // a work picture cannot be had; without panels the previews do nothing.
    bool CreatePreviewPictures(PanelPainter* inputPainter, const PanelRect& inputRect, PanelPainter* outputPainter,
        const PanelRect& outputRect);

    // The frame of the selected input at the input position bar's position.
    void RenderInputPreview();
    // The output frame at framePosition of the current input, fitted to the output size.
    void RenderOutputPreview();
    // Keeps framePosition inside the output frames the preview steps through
    // (VideoSupply::OutputFrames): a list's pictures last a second each, so its
    // selected pictures are far fewer than its frames.
    void ClampOutputPosition();
    // Put the whole panel on the screen again; nothing without inputs or while a preview plays.
    void ShowInputPreview();
    void ShowOutputPreview();

    // The play/stop buttons: a press while a preview plays stops it.
    void PlayInput();
    void PlayOutput();
    // "Stop" shows the side's stop button, any other text its play button.
    void ShowPlayOrStop(int buttonId, const std::string& text);

    const TPreviewDib* InputPanel() const { return inputPanel_.get(); }
    const TPreviewDib* OutputPanel() const { return outputPanel_.get(); }
    // The output frame as it was before the panel reduced it.
    const TFullDib& OutputWorkPicture() const { return outputWork_; }

    // Milliseconds a playing preview gives each frame: 1000 / frameRate,
    // truncated; 0 without a rate, at most a minute.
    static unsigned FramePeriod(double frameRate);

private:
    // Shows the failure, removes the input and ends the render.
    void FailInput(const std::string& text, const char* caption);
    void FailOutput(const std::string& text, const char* caption);
    bool ShowStreamFrame(int index, InputEntry& entry, int frame);
    bool ShowListPicture(InputEntry& entry, int frame, const char* caption);
    bool ShowAviReaderFrame(int index, int frame);
    // Fetches the frame into the output work picture (live) or the panel.
    bool FetchOutputStreamFrame(int index, InputEntry& entry, bool live);
    bool FetchOutputListPicture(InputEntry& entry, bool live, const char* caption);
    bool FetchOutputAviFrame(int index, InputEntry& entry, bool live);
    // The picture options and the fitting, then the panel.
    bool FinishOutput(const InputEntry& entry, bool aviReader);
    // Lays the input's burnt-in subtitle of the output position over the fitted picture.
    void BurnSubtitle(const InputEntry& entry);
    PictureOptions OutputOptions(const InputEntry& entry) const;
    FitRequest OutputFitRequest(const InputEntry& entry) const;
    // `picture` with its pixels of shape `pixel` drawn as the TV shows them, made in
    // `shown` where they are not square; `picture` itself where they are square or
    // the stretched picture cannot be made.
    static const TFullDib& ShownAsOnTheTv(TFullDib& picture, Ratio pixel, TFullDib& shown);
    // Stops a playing preview: kept or rewound by how the frames are decoded.
    void RequestStop(int buttonId);
    void BeginPlaying(bool input);
    void EndPlaying();
    bool Ready() const { return inputPanel_ && outputPanel_; }
    // The output frame shown: framePosition, kept inside the output frames.
    int OutputFrame() const;

    AppParts& core_;
    std::unique_ptr<TPreviewDib> inputPanel_;
    std::unique_ptr<TPreviewDib> outputPanel_;
    TFullDib inputWork_;
    TFullDib outputWork_;
    TFullDib shownInput_; // the work pictures drawn as the TV shows them
    TFullDib shownOutput_;
    // Far wider than any frame drawn as shown; a larger one is refused.
    static constexpr std::int64_t maxShownWidth = 16384;
    // Fetches pump messages: a render is never entered twice.
    bool inputBusy_ = false;
    bool outputBusy_ = false;
};

} // namespace discforge
