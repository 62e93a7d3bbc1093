#include "app/BatchStandard.h"

#include "app/AppParts.h"
#include "app/StandardMessages.h"
#include "core/ControlIds.h"
#include "core/ShowMessage.h"
#include "core/TextFormat.h"
#include "input/InputDescription.h"
#include "ports/ControlSurface.h"

namespace discforge {
namespace {

const char* StandardName(int standard) { return standard == standardPal ? "PAL" : "NTSC"; }

} // namespace

void BatchStandard::InputOpened(int index)
{
    InputTableState& inputs = core_.inputs;
    if (index < 0 || index >= inputs.inputCount) {
        return;
    }
    const InputEntry& entry = inputs.inputTable[static_cast<std::size_t>(index)];
    if (!entry.isVideoFile) {
        return;
    }
    const int suited = StandardOfFrameRate(entry.frameRate);
    const int batch = core_.settings.tvStandard;
    if (suited == batch) {
        return;
    }
    // Only the first video input sets the standard by itself: a later one
    // would change what the inputs before it were shown and sized for.
    if (inputs.videoFileCount == 1 && !chosenByUser_) {
        if (core_.settingsController.ChooseStandard(suited)) {
            core_.ports.controls.SetChecked(control::palRadio, suited == standardPal);
            core_.ports.controls.SetChecked(control::ntscRadio, suited != standardPal);
        }
        return;
    }
    ShowMessage(core_.ports.messages,
        FormatText(message::standardKept, entry.path.c_str(), entry.frameRate, StandardName(suited),
            StandardName(batch), chosenByUser_ ? message::standardReasonChosen : message::standardReasonFirst,
            StandardName(suited)),
        message::standardCaption);
}

} // namespace discforge
