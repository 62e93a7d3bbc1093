#include "app/OptionControls.h"

#include "app/AppMessages.h"
#include "app/AppParts.h"
#include "core/ControlIds.h"
#include "core/ShowMessage.h"
#include "ports/ControlSurface.h"

#include <cctype>
#include <climits>

namespace discforge {
namespace {

// What the fields ever read of their text.
constexpr std::size_t numberFieldLimit = 79;

constexpr int minPictureSize = 2;
constexpr int maxPictureWidth = 1920;
constexpr int maxPictureHeight = 1152;

} // namespace

std::optional<int> LeadingInteger(const std::string& text)
{
    std::size_t at = 0;
    while (at < text.size() && std::isspace(static_cast<unsigned char>(text[at]))) {
        ++at;
    }
    bool negative = false;
    if (at < text.size() && (text[at] == '+' || text[at] == '-')) {
        negative = text[at] == '-';
        ++at;
    }
    long long value = 0;
    bool digits = false;
    for (; at < text.size() && std::isdigit(static_cast<unsigned char>(text[at])); ++at) {
        digits = true;
        value = value * 10 + (text[at] - '0');
        if (value > static_cast<long long>(INT_MAX) + 1) {
            return std::nullopt;
        }
    }
    if (!digits) {
        return std::nullopt;
    }
    value = negative ? -value : value;
    if (value > INT_MAX || value < INT_MIN) {
        return std::nullopt;
    }
    return static_cast<int>(value);
}

void OptionControls::FittingClicked(int radioId)
{
    InputTableState& inputs = core_.inputs;
    if (inputs.selectedInput < 0 || inputs.selectedInput >= inputs.inputCount) {
        return;
    }
    const FitMode mode = radioId == control::fillRadio ? FitMode::fillIn : FitMode::proportional;
    FitMode& fitting = inputs.inputTable[static_cast<std::size_t>(inputs.selectedInput)].pictureOptions.fitting;
    if (core_.ports.controls.IsChecked(radioId)) {
        fitting = mode;
    } else if (fitting == mode) {
        // No mode chosen fits proportionally.
        fitting = FitMode::proportional;
    }
    core_.windowRefresh.RefreshInputSide();
    RefreshOutputPreviewIfLive();
}

void OptionControls::RefreshOutputPreviewIfLive()
{
    if (core_.liveOutputPreview && !core_.preview.previewPlaying()) {
        core_.previews.RenderOutputPreview();
    }
}

void OptionControls::InvertClicked()
{
    InputTableState& inputs = core_.inputs;
    if (inputs.selectedInput < 0 || inputs.selectedInput >= inputs.inputCount) {
        return;
    }
    inputs.inputTable[static_cast<std::size_t>(inputs.selectedInput)].pictureOptions.invert
        = core_.ports.controls.IsChecked(control::invertCheck);
    RefreshOutputPreviewIfLive();
}

void OptionControls::SplitClicked()
{
    const bool split = core_.ports.controls.IsChecked(control::splitCheck);
    core_.settings.splitOutput = split;
    core_.ports.controls.SetEnabled(control::maxSizeEdit, split);
    if (split) {
        MaxSizeFieldLeft();
    }
}

void OptionControls::ShutdownClicked()
{
    core_.settings.shutdownWhenDone = core_.ports.controls.IsChecked(control::shutdownCheck);
}

int* OptionControls::StoredSize(bool width)
{
    InputTableState& inputs = core_.inputs;
    if (!core_.settings.batchMode) {
        return width ? &inputs.sharedWidth : &inputs.sharedHeight;
    }
    if (inputs.currentInput < 0 || inputs.currentInput >= inputs.inputCount) {
        return nullptr;
    }
    PictureOptions& options = inputs.inputTable[static_cast<std::size_t>(inputs.currentInput)].pictureOptions;
    return width ? &options.outputWidth : &options.outputHeight;
}

void OptionControls::SizeFieldLeft(int fieldId, int maximum, bool width)
{
    ControlSurface& controls = core_.ports.controls;
    int* stored = StoredSize(width);
    const std::optional<int> entered = LeadingInteger(controls.Text(fieldId).substr(0, numberFieldLimit));
    if (stored != nullptr && entered && *entered >= minPictureSize && *entered <= maximum) {
        *stored = *entered;
        // The output preview shows the picture at the size it will be encoded.
        if (!core_.preview.previewPlaying()) {
            core_.previews.RenderOutputPreview();
        }
        return;
    }
    controls.SetText(fieldId, std::to_string(stored != nullptr ? *stored : 0));
}

void OptionControls::WidthFieldLeft() { SizeFieldLeft(control::widthEdit, maxPictureWidth, true); }

void OptionControls::HeightFieldLeft() { SizeFieldLeft(control::heightEdit, maxPictureHeight, false); }

void OptionControls::MaxSizeFieldLeft()
{
    ControlSurface& controls = core_.ports.controls;
    const std::optional<int> entered = LeadingInteger(controls.Text(control::maxSizeEdit).substr(0, numberFieldLimit));
    if (entered && *entered >= minMaxFileSizeMB && *entered <= maxMaxFileSizeMB) {
        core_.settings.maxFileSizeMB = *entered;
        return;
    }
    ShowMessage(core_.ports.messages, message::maxSizeRange, message::invalidEntryCaption);
    controls.SetText(control::maxSizeEdit, std::to_string(core_.settings.maxFileSizeMB));
}

void OptionControls::OutputNameFieldLeft()
{
    InputTableState& inputs = core_.inputs;
    // Taken whole: a long path is not cut (a project keeps it whole too).
    const std::string name = core_.ports.controls.Text(control::outputName);
    if (!core_.settings.batchMode) {
        inputs.sharedOutputName = name;
    } else if (inputs.selectedInput >= 0 && inputs.selectedInput < inputs.inputCount) {
        inputs.inputTable[static_cast<std::size_t>(inputs.selectedInput)].outputPath = name;
    }
}

} // namespace discforge
