// The DVD menu's choices in a project file's extension block: whether there is
// one, the picture behind it and the titles' names.
#pragma once

#include "app/ProjectExtension.h"

#include <string>
#include <vector>

namespace discforge {

struct MenuChoices {
    bool menu = false; // what a file without the entry opens with: no menu, as before
    std::string background;
};

// Names are written for the inputs that have one; `names` is in the inputs' order.
void KeepDiscMenu(ProjectExtension& extension, const MenuChoices& choices, const std::vector<std::string>& names);

MenuChoices SavedDiscMenu(const ProjectExtension& extension);
// The name kept for record `record`; empty when none.
std::string SavedTitleName(const ProjectExtension& extension, int record);

} // namespace discforge
