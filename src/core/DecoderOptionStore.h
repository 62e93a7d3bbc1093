// The decoder settings every open applies: the values the user chose in the
// decoder settings dialog, remembered from one run to the next, with the
// values given for this run alone (the command line) over them.
#pragma once

#include "ports/ComponentOption.h"

#include <functional>
#include <string>

namespace discforge {

class DecoderOptionStore {
public:
    // Writes a component's remembered values down; empty values forget them.
    using Keeper = std::function<void(const std::string& component, const OptionValues& values)>;

    const ComponentSettings& Values() const { return effective_; }
    // Starts from the values remembered before; each later choice goes to `keeper`.
    void Keep(ComponentSettings remembered, Keeper keeper);
    // The user's choice for a component (its values that differ from the
    // defaults), replacing the earlier one; empty values return it to its defaults.
    void Remember(const std::string& component, const OptionValues& values);
    // A value for this run only.
    void SetForRun(const std::string& component, const std::string& name, const std::string& value);

private:
    void Combine();

    ComponentSettings remembered_;
    ComponentSettings runOnly_;
    ComponentSettings effective_;
    Keeper keeper_;
};

} // namespace discforge
