#include "app/WindowRefresh.h"

#include "app/AppParts.h"
#include "app/ControlEnabling.h"
#include "app/DiscSizeControls.h"
#include "core/ControlIds.h"
#include "ports/ControlSurface.h"

#include <algorithm>
#include <string>

namespace discforge {
namespace {

// A position bar's page: a twentieth of its frames, at least one.
int PageOf(unsigned frames) { return static_cast<int>(std::max(frames / 20, 1u)); }

} // namespace

void WindowRefresh::ApplyEnabling()
{
    const std::optional<DiscSize>& disc = core_.settings.discSize;
    const WindowState state{core_.inputs.inputCount, core_.preview.playing, core_.media.run.conversionActive,
        core_.settings.splitOutput, disc && disc->kind == DiscSizeKind::megabytes};
    for (const int id : RuledControls()) {
        core_.ports.controls.SetEnabled(id, ControlEnabled(id, state));
    }
}

void WindowRefresh::RefreshInputSide()
{
    ControlSurface& controls = core_.ports.controls;
    const InputTableState& inputs = core_.inputs;
    if (inputs.inputCount > 0 && inputs.selectedInput >= 0) {
        const FitMode fitting
            = inputs.inputTable[static_cast<std::size_t>(inputs.selectedInput)].pictureOptions.fitting;
        controls.SetChecked(control::fillRadio, fitting == FitMode::fillIn);
        controls.SetChecked(control::proportionalRadio, fitting == FitMode::proportional);
        controls.SetChecked(control::invertCheck,
            inputs.inputTable[static_cast<std::size_t>(inputs.selectedInput)].pictureOptions.invert);
        const InputEntry& entry = inputs.inputTable[static_cast<std::size_t>(inputs.selectedInput)];
        const int page = PageOf(entry.totalFrames);
        controls.SetScrollRange(control::inputPosition, {entry.firstFrame, entry.lastFrame + page - 1, 1, page});
        controls.SetScrollPosition(control::inputPosition, entry.position);
    } else {
        controls.SetChecked(control::fillRadio, false);
        controls.SetChecked(control::proportionalRadio, false);
        controls.SetChecked(control::invertCheck, false);
        controls.SetScrollRange(control::inputPosition, {});
        controls.SetScrollPosition(control::inputPosition, 0);
    }
    ApplyEnabling();
    if (!core_.preview.previewPlaying()) {
        core_.previews.RenderInputPreview();
    }
}

void WindowRefresh::RefreshOutputSide()
{
    ControlSurface& controls = core_.ports.controls;
    const InputTableState& inputs = core_.inputs;
    const bool playing = core_.preview.previewPlaying();
    const bool hasCurrent = inputs.inputCount > 0 && inputs.currentInput >= 0;
    if (!playing) {
        if (hasCurrent) {
            const unsigned total = core_.videoSupply.OutputFrames();
            core_.previews.ClampOutputPosition();
            const int page = PageOf(total);
            controls.SetScrollRange(control::outputPosition, {0, static_cast<int>(total) + page - 2, 1, page});
            controls.SetScrollPosition(control::outputPosition, inputs.framePosition);
        } else {
            controls.SetScrollRange(control::outputPosition, {});
            controls.SetScrollPosition(control::outputPosition, 0);
        }
        if (hasCurrent) {
            ShowFormatSize(core_.settings);
            controls.SetText(control::widthEdit, std::to_string(core_.settings.frameWidth));
            controls.SetText(control::heightEdit, std::to_string(core_.settings.frameHeight));
        } else {
            controls.SetText(control::widthEdit, "0");
            controls.SetText(control::heightEdit, "0");
        }
        if (hasCurrent) {
            controls.SetText(control::outputName,
                core_.settings.batchMode ? inputs.inputTable[static_cast<std::size_t>(inputs.currentInput)].outputPath
                                         : inputs.sharedOutputName);
        } else {
            controls.SetText(control::outputName, "");
        }
    }
    // Inputs, disc, standard and size all change the plan; every change ends here.
    ShowDiscMeter(core_);
    ApplyEnabling();
    if (!playing) {
        core_.previews.RenderOutputPreview();
    }
}

void WindowRefresh::ShowShapeChoice()
{
    ControlSurface& controls = core_.ports.controls;
    const ShapeChoice shape = core_.settings.shapeChoice;
    controls.SetChecked(control::shapeAutoRadio, shape == ShapeChoice::automatic);
    controls.SetChecked(control::shapeFourByThreeRadio, shape == ShapeChoice::fourByThree);
    controls.SetChecked(control::shapeSixteenByNineRadio, shape == ShapeChoice::sixteenByNine);
}

void WindowRefresh::ShowStoredChoices()
{
    ControlSurface& controls = core_.ports.controls;
    const ConversionSettings& settings = core_.settings;
    controls.SetChecked(control::vcdRadio, settings.outputFormat == formatVcd);
    controls.SetChecked(control::svcdRadio, settings.outputFormat == formatSvcd);
    controls.SetChecked(control::dvdRadio, settings.outputFormat == formatDvd);
    controls.SetChecked(control::ntscRadio, settings.tvStandard == standardNtsc);
    controls.SetChecked(control::palRadio, settings.tvStandard == standardPal);
    controls.SetChecked(control::splitCheck, settings.splitOutput);
    controls.SetChecked(control::shutdownCheck, settings.shutdownWhenDone);
    controls.SetChecked(control::discCheck, settings.discAfterConverting);
    ShowShapeChoice();
    ShowDiscSize(core_);
    controls.SetText(control::maxSizeEdit, std::to_string(settings.maxFileSizeMB));
    const InputTableState& inputs = core_.inputs;
    if (inputs.selectedInput >= 0 && inputs.selectedInput < inputs.inputCount) {
        controls.SetChecked(control::invertCheck,
            inputs.inputTable[static_cast<std::size_t>(inputs.selectedInput)].pictureOptions.invert);
    }
}

void WindowRefresh::RefreshWindow()
{
    RefreshInputSide();
    RefreshOutputSide();
}

} // namespace discforge
