// Which controls of the main window take input in which state. A conversion
// reads the inputs and the settings while it runs, so everything that changes
// them is off until it ends.
#pragma once

#include "app/PreviewState.h"

#include <span>

namespace discforge {

struct WindowState {
    int inputCount = 0;
    PlayingSide playing = PlayingSide::none;
    bool converting = false;
    bool splitOutput = false;
    bool megabytesDisc = false; // the disc size is one typed in MB
};

// Every control the rules decide about.
std::span<const int> RuledControls();
bool ControlEnabled(int id, const WindowState& state);

} // namespace discforge
