#include "core/FilterDialogModel.h"

#include "core/AppIdentity.h"
#include "core/ShowMessage.h"

namespace discforge {

FilterDialogModel::FilterDialogModel(FilterGraph& graph, MessagePort& messages)
    : graph_(graph)
    , messages_(messages)
{
}

std::string FilterDialogModel::Caption() { return std::string(appTitle) + filter_dialog_message::captionEnd; }

std::vector<std::string> FilterDialogModel::ListedComponents() const
{
    std::vector<std::string> names;
    for (const MediaComponent& component : graph_.Components()) {
        if (!component.name.empty() && component.hasSettings) {
            names.push_back(component.name);
        }
    }
    return names;
}

std::optional<std::vector<ComponentOption>> FilterDialogModel::PropertiesOf(const std::string& component)
{
    std::vector<ComponentOption> options;
    switch (graph_.Options(component, options)) {
    case OptionsLookup::Found:
        return options;
    case OptionsLookup::NoComponent:
        ShowMessage(messages_, filter_dialog_message::noFilter, "");
        break;
    case OptionsLookup::NoOptions:
        ShowMessage(messages_, filter_dialog_message::noProperties, "");
        break;
    case OptionsLookup::Failed:
        ShowMessage(messages_, filter_dialog_message::noPages, "");
        break;
    }
    return std::nullopt;
}

bool FilterDialogModel::Choose(
    const std::string& component, const std::vector<ComponentOption>& options, const OptionValues& entered)
{
    OptionValues chosen;
    for (const ComponentOption& option : options) {
        const auto it = entered.find(option.name);
        const std::string& value = it != entered.end() ? it->second : option.currentValue;
        if (value != option.defaultValue) {
            chosen[option.name] = value;
        }
    }
    const std::string reason = graph_.ChooseOptions(component, chosen);
    if (reason.empty()) {
        return true;
    }
    ShowMessage(messages_, component + ": " + reason, "");
    return false;
}

void FilterDialogModel::Reset(const std::string& component) { graph_.ResetOptions(component); }

} // namespace discforge
