// The decoder settings dialog, which an open runs on the video's decoding chain
// when the user asked for it. The window implements it; runs without a window
// show nothing.
#pragma once

#include "ports/FilterGraph.h"

namespace discforge {

class FilterDialogPort {
public:
    virtual ~FilterDialogPort() = default;
    // Runs modally while the open waits; returns when the user closes it.
    virtual void ShowFilterProperties(FilterGraph& graph) = 0;
};

} // namespace discforge
