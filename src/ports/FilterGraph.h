// The decoding chain of the stream being opened, as the decoder settings
// dialog works on it: its components, their options, and the values the user
// chooses for them. The open implements it and stays waiting while the dialog runs.
#pragma once

#include "ports/ComponentOption.h"
#include "ports/MediaComponent.h"

#include <string>
#include <vector>

namespace discforge {

enum class OptionsLookup {
    Found,
    NoComponent, // no component of that name in the chain (any more)
    NoOptions, // the component has nothing to set
    Failed, // the options could not be read
};

class FilterGraph {
public:
    virtual ~FilterGraph() = default;
    // The components in chain order; the list can change while the dialog runs.
    virtual std::vector<MediaComponent> Components() const = 0;
    virtual OptionsLookup Options(const std::string& component, std::vector<ComponentOption>& options) const = 0;
    // The values of `component` that differ from its defaults, replacing what was
    // chosen before; they apply to this open at once and to later opens. Empty when
    // they were taken, otherwise the component's reason for the first it refused
    // (then nothing is applied or remembered).
    virtual std::string ChooseOptions(const std::string& component, const OptionValues& values) = 0;
    // Every option of `component` back to its default, now and in later opens.
    virtual void ResetOptions(const std::string& component) = 0;
};

} // namespace discforge
