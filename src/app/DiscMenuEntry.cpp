#include "app/DiscMenuEntry.h"

namespace discforge {

void KeepDiscMenu(ProjectExtension& extension, const MenuChoices& choices, const std::vector<std::string>& names)
{
    extension.SetInt(ProjectTag::discMenu, batchScope, choices.menu ? 1 : 0);
    if (!choices.background.empty()) {
        extension.SetText(ProjectTag::menuBackground, batchScope, choices.background);
    }
    for (std::size_t i = 0; i < names.size() && i < batchScope; ++i) {
        if (!names[i].empty()) {
            extension.SetText(ProjectTag::titleName, static_cast<std::uint16_t>(i), names[i]);
        }
    }
}

MenuChoices SavedDiscMenu(const ProjectExtension& extension)
{
    MenuChoices choices;
    const std::optional<std::int32_t> menu = extension.Int(ProjectTag::discMenu, batchScope);
    choices.menu = menu.has_value() && *menu != 0;
    choices.background = extension.Text(ProjectTag::menuBackground, batchScope).value_or("");
    return choices;
}

std::string SavedTitleName(const ProjectExtension& extension, int record)
{
    if (record < 0 || record >= batchScope) {
        return {};
    }
    return extension.Text(ProjectTag::titleName, static_cast<std::uint16_t>(record)).value_or("");
}

} // namespace discforge
