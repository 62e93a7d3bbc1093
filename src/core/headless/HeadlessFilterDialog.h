// The decoder settings dialog of a run without a window: nothing to show; the
// chains it was asked to show are remembered.
#pragma once

#include "ports/FilterDialogPort.h"

#include <vector>

namespace discforge {

class HeadlessFilterDialog final : public FilterDialogPort {
public:
    void ShowFilterProperties(FilterGraph& graph) override { shownChains.push_back(graph.Components()); }

    std::vector<std::vector<MediaComponent>> shownChains;
};

} // namespace discforge
