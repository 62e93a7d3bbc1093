// Playing a preview: frame after frame (the input preview at the input's
// rate, the output preview at the output's), the window's events handled
// while each frame waits for its deadline, until the last frame, a stop
// request or the end of the input.
#include "app/AppParts.h"
#include "app/PreviewMessages.h"
#include "app/Previews.h"
#include "core/ControlIds.h"
#include "input/StreamGraph.h"
#include "ports/ControlSurface.h"
#include "ports/WindowPort.h"

#include <cstdint>

namespace discforge {

unsigned Previews::FramePeriod(double frameRate)
{
    if (!(frameRate > 0.0)) {
        return 0;
    }
    // A rate read from a broken file must not leave a frame on the screen for hours.
    constexpr double longestPeriod = 60000.0;
    const double period = 1000.0 / frameRate;
    return period >= longestPeriod ? static_cast<unsigned>(longestPeriod) : static_cast<unsigned>(period);
}

void Previews::ShowPlayOrStop(int buttonId, const std::string& text)
{
    ControlSurface& controls = core_.ports.controls;
    controls.ShowStopButton(buttonId, text == preview_message::stop);
    controls.SetText(buttonId, text);
}

void Previews::RequestStop(int buttonId)
{
    PreviewState& preview = core_.preview;
    ShowPlayOrStop(buttonId, preview_message::play);
    // A decoder that seeks every frame keeps the frame it stopped on; the others rewind.
    if (core_.inputs.decoderKind == kindSeekEveryFrame) {
        preview.playbackStopRequest = true;
    } else {
        preview.streamStopRequest = true;
    }
}

void Previews::BeginPlaying(bool input)
{
    PreviewState& preview = core_.preview;
    preview.playbackStopRequest = false;
    preview.streamStopRequest = false;
    preview.playing = input ? PlayingSide::input : PlayingSide::output;
    core_.windowRefresh.RefreshInputSide();
    core_.windowRefresh.RefreshOutputSide();
    const int button = input ? control::inputPlay : control::outputPlay;
    core_.ports.controls.SetEnabled(button, true);
    ShowPlayOrStop(button, preview_message::stop);
    core_.ports.controls.SetEnabled(control::startConversion, false);
}

void Previews::EndPlaying()
{
    core_.preview.playing = PlayingSide::none;
    core_.windowRefresh.RefreshInputSide();
    core_.windowRefresh.RefreshOutputSide();
}

void Previews::PlayInput()
{
    PreviewState& preview = core_.preview;
    if (preview.previewPlaying()) {
        RequestStop(control::inputPlay);
        return;
    }
    InputTableState& inputs = core_.inputs;
    if (!Ready() || inputs.inputCount == 0 || inputs.selectedInput < 0 || core_.media.run.conversionActive) {
        return;
    }
    const int index = inputs.selectedInput;
    InputEntry& entry = inputs.inputTable[static_cast<std::size_t>(index)];
    BeginPlaying(true);
    WindowPort& window = core_.ports.window;
    ControlSurface& controls = core_.ports.controls;
    const unsigned period = FramePeriod(entry.frameRate);
    const auto stillThere = [&] { return inputs.selectedInput == index && index < inputs.inputCount; };
    while (stillThere() && static_cast<unsigned>(entry.position) <= static_cast<unsigned>(entry.lastFrame)
        && !preview.playbackStopRequest && !preview.streamStopRequest) {
        const std::uint32_t deadline = window.TickCount() + period;
        RenderInputPreview();
        if (!stillThere()) {
            break; // the render failed and removed the input
        }
        ++entry.position;
        if (static_cast<unsigned>(entry.position) <= static_cast<unsigned>(entry.lastFrame)) {
            controls.SetScrollPosition(control::inputPosition, entry.position);
        }
        window.PumpMessagesUntil(deadline);
    }
    ShowPlayOrStop(control::inputPlay, preview_message::play);
    if (stillThere()) {
        if (preview.playbackStopRequest) {
            if (static_cast<unsigned>(entry.position) > static_cast<unsigned>(entry.lastFrame)) {
                entry.position = entry.lastFrame;
            }
        } else {
            entry.position = entry.firstFrame;
            controls.SetScrollPosition(control::inputPosition, entry.position);
            RenderInputPreview();
        }
    }
    EndPlaying();
}

void Previews::PlayOutput()
{
    PreviewState& preview = core_.preview;
    if (preview.previewPlaying()) {
        RequestStop(control::outputPlay);
        return;
    }
    InputTableState& inputs = core_.inputs;
    if (!Ready() || inputs.inputCount == 0 || inputs.currentInput < 0 || core_.media.run.conversionActive) {
        return;
    }
    BeginPlaying(false);
    WindowPort& window = core_.ports.window;
    ControlSurface& controls = core_.ports.controls;
    VideoSupply& supply = core_.videoSupply;
    // The preview steps through output frames, so at the output's rate.
    const unsigned period = FramePeriod(StandardFrameRate(core_.settings.tvStandard));
    const auto total = [&] { return supply.OutputFrames(); };
    const auto hasInputs = [&] { return inputs.inputCount > 0 && inputs.currentInput >= 0; };
    while (hasInputs() && static_cast<unsigned>(inputs.framePosition) < total() && !preview.playbackStopRequest
        && !preview.streamStopRequest) {
        const std::uint32_t deadline = window.TickCount() + period;
        RenderOutputPreview();
        ++inputs.framePosition;
        if (static_cast<unsigned>(inputs.framePosition) < total()) {
            ClampOutputPosition();
            controls.SetScrollPosition(control::outputPosition, inputs.framePosition);
        }
        window.PumpMessagesUntil(deadline);
    }
    ShowPlayOrStop(control::outputPlay, preview_message::play);
    if (hasInputs()) {
        if (preview.playbackStopRequest) {
            if (total() > 0 && static_cast<unsigned>(inputs.framePosition) >= total()) {
                inputs.framePosition = static_cast<int>(total()) - 1;
            }
        } else {
            inputs.framePosition = 0;
            ClampOutputPosition();
            controls.SetScrollPosition(control::outputPosition, inputs.framePosition);
            RenderOutputPreview();
        }
    }
    EndPlaying();
}

} // namespace discforge
