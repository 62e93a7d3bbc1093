#include "input/InputDecoderOptions.h"

#include "core/ConversionSettings.h"
#include "input/InputEntry.h"

namespace discforge {

ComponentSettings DecoderOptionsFor(const ConversionSettings& settings, const InputEntry& entry)
{
    ComponentSettings options = settings.decoderOptions.Values();
    // A component's choice replaces the common values of that component whole,
    // as the dialog shows them: what it left out is at its default.
    for (const auto& [component, values] : entry.decoderChoices) {
        if (values.empty()) {
            options.erase(component);
        } else {
            options[component] = values;
        }
    }
    return options;
}

} // namespace discforge
