// What the decoder settings dialog (TFilterDialog) decides, apart from its
// widgets: which components it lists, what Properties finds, and what OK and
// Reset in a component's property frame do. Its messages go to the message port.
#pragma once

#include "ports/FilterGraph.h"
#include "ports/MessagePort.h"

#include <optional>
#include <string>
#include <vector>

namespace discforge {

namespace filter_dialog_message {
inline constexpr const char* captionEnd = " - filter properties";
inline constexpr const char* frameCaption = "Filter";
inline constexpr const char* noFilter = "Unable to find specified filter";
inline constexpr const char* noProperties = "Unable to find filter properties";
inline constexpr const char* noPages = "Unable to get property pages";
} // namespace filter_dialog_message

class FilterDialogModel {
public:
    FilterDialogModel(FilterGraph& graph, MessagePort& messages);

    // The application title and " - filter properties".
    static std::string Caption();
    // The components that have settings, in chain order. None: the dialog
    // closes at once, without a message.
    std::vector<std::string> ListedComponents() const;
    // Properties on `component`: its options, or nothing once the reason was shown.
    std::optional<std::vector<ComponentOption>> PropertiesOf(const std::string& component);
    // OK in the property frame of `component`, which shows `options` with the
    // `entered` values: the values that differ from the defaults are chosen. False
    // once the component's refusal was shown; nothing was applied or remembered.
    bool Choose(const std::string& component, const std::vector<ComponentOption>& options, const OptionValues& entered);
    // Reset in the property frame: every option back to its default.
    void Reset(const std::string& component);

private:
    FilterGraph& graph_;
    MessagePort& messages_;
};

} // namespace discforge
