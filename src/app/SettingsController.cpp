#include "app/SettingsController.h"

#include "app/AppMessages.h"
#include "core/ControlIds.h"
#include "core/ShowMessage.h"
#include "encoder/EncoderLibrary.h"
#include "ports/ControlSurface.h"
#include "ports/WindowPort.h"

#include <string>

namespace discforge {

SettingsController::SettingsController(ConversionSettings& settings, const EncoderLibrary& encoder,
    ControlSurface& controls, MessagePort& messages, WindowPort& window, SizeEditHooks hooks)
    : settings_(settings)
    , encoder_(encoder)
    , controls_(controls)
    , messages_(messages)
    , window_(window)
    , hooks_(std::move(hooks))
{
}

void SettingsController::ApplyDefaults()
{
    settings_.splitOutput = false;
    controls_.SetChecked(control::splitCheck, false);
    controls_.SetEnabled(control::maxSizeEdit, false);
    controls_.SetText(control::maxSizeEdit, "600");
    settings_.maxFileSizeMB = 600;
    settings_.videoSettingsChanged = true;
    settings_.audioSettingsChanged = true;
    settings_.outputFormat = formatVcd;
    settings_.tvStandard = standardNtsc;
    controls_.SetChecked(control::ntscRadio, true);
    controls_.SetChecked(control::vcdRadio, true);
    controls_.SetChecked(control::palRadio, false);
    controls_.SetChecked(control::dvdRadio, false);
    controls_.SetChecked(control::svcdRadio, false);
    settings_.shapeChoice = ShapeChoice::automatic;
    controls_.SetChecked(control::shapeAutoRadio, true);
    controls_.SetChecked(control::shapeFourByThreeRadio, false);
    controls_.SetChecked(control::shapeSixteenByNineRadio, false);
    ShowFormatSize();
}

bool SettingsController::ChooseFormat(int newFormat)
{
    if (encoder_.Init(EncoderFormatCode(newFormat, settings_.tvStandard, DisplayShape::fourByThree)) != 0) {
        return RefuseAndClose(newFormat == formatSvcd ? message::initFailed : message::initFailedOnFormat);
    }
    settings_.videoSettingsChanged = true;
    settings_.audioSettingsChanged = true;
    // VCD has always enabled the size edits even when it was already chosen.
    if (newFormat == formatVcd) {
        EnableSizeEdits();
    }
    if (newFormat == settings_.outputFormat) {
        return true;
    }
    settings_.outputFormat = newFormat;
    EnableSizeEdits();
    ShowFormatSize();
    if (hooks_.inputsIdle && hooks_.reapplySizeEdits && hooks_.inputsIdle()) {
        hooks_.reapplySizeEdits();
    }
    return true;
}

bool SettingsController::ChooseStandard(int newStandard)
{
    settings_.tvStandard = newStandard;
    if (encoder_.Init(EncoderFormatCode(settings_.outputFormat, newStandard, DisplayShape::fourByThree)) != 0) {
        return RefuseAndClose(message::initFailed);
    }
    EnableSizeEdits();
    if (IsKnownFormat(settings_.outputFormat)) {
        ShowFormatSize();
    }
    if (hooks_.reapplySizeEdits) {
        hooks_.reapplySizeEdits();
    }
    return true;
}

void SettingsController::EnableSizeEdits()
{
    controls_.SetEnabled(control::widthEdit, true);
    controls_.SetEnabled(control::heightEdit, true);
}

void SettingsController::ShowFormatSize()
{
    const PictureSize size = FormatPictureSize(settings_.outputFormat, settings_.tvStandard);
    settings_.frameWidth = size.width;
    settings_.frameHeight = size.height;
    controls_.SetText(control::widthEdit, std::to_string(size.width));
    controls_.SetText(control::heightEdit, std::to_string(size.height));
}

bool SettingsController::RefuseAndClose(const char* text)
{
    ShowMessage(messages_, text, message::encoderCaption);
    window_.PostCloseRequest();
    return false;
}

} // namespace discforge
