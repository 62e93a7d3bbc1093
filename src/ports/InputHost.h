// What the input operations ask of the window around them: the input list box,
// the main window's state, the cancel dialog and the commands they post.
// The Qt window implements it; tests use a recording double.
#pragma once

#include "ports/TCancelDialog.h"

#include <memory>
#include <string>

namespace discforge {

class InputHost {
public:
    virtual ~InputHost() = default;

    virtual void SetMainWindowEnabled(bool enabled) = 0;
    virtual void SetWaitCursor(bool shown) = 0;

    virtual void DeleteListLine(int index) = 0;
    virtual void InsertListLine(int index, const std::string& path) = 0;
    virtual void SelectListLine(int index) = 0;

    // Queues the Remove command; it runs once control returns to the event loop.
    virtual void PostRemoveCommand() = 0;
    // Redraws the option controls and the position scroll range for the
    // selected input.
    virtual void RefreshInputControls() = 0;

    // A progress window whose Cancel sets `cancelRequested`; null when the
    // object cannot be made. Its window is made by TCancelDialog::Create.
    virtual std::unique_ptr<TCancelDialog> MakeCancelDialog(bool& cancelRequested) = 0;
};

} // namespace discforge
