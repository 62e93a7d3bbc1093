// Brings the main window's controls up to date after a change of the input
// table, the selection, the target, the playing state or the run: the option
// controls of the selected input, the picture size and output name of the
// current one, and which controls take input (ControlEnabling).
#pragma once

namespace discforge {

class AppParts;

class WindowRefresh {
public:
    explicit WindowRefresh(AppParts& core)
        : core_(core)
    {
    }

    void RefreshInputSide();
    void RefreshOutputSide();
    // Both sides.
    void RefreshWindow();
    // Only which controls take input.
    void ApplyEnabling();
    // The check boxes, radio buttons and the size field of the settings and of
    // the selected input show what is stored.
    void ShowStoredChoices();
    // The shape radios show the settings' choice.
    void ShowShapeChoice();

private:
    AppParts& core_;
};

} // namespace discforge
