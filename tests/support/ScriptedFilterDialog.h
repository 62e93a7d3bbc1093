// The decoder settings dialog as a test plays it: it remembers each chain it
// was shown and, when the test gave it a script, does to the chain what a
// user would (choose values, reset a component).
#pragma once

#include "ports/FilterDialogPort.h"

#include <functional>
#include <vector>

namespace discforge::test {

class ScriptedFilterDialog final : public FilterDialogPort {
public:
    void ShowFilterProperties(FilterGraph& graph) override
    {
        shownChains.push_back(graph.Components());
        if (script) {
            script(graph);
        }
    }

    std::function<void(FilterGraph&)> script;
    std::vector<std::vector<MediaComponent>> shownChains;
};

} // namespace discforge::test
