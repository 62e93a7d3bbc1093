// The disc size in a project file's extension block.
#pragma once

#include "app/ProjectExtension.h"
#include "formats/DiscSize.h"

#include <optional>

namespace discforge {

// Nothing is written without a disc size: a file without the entry opens with the disc's usual rate.
void KeepDiscSize(ProjectExtension& extension, const std::optional<DiscSize>& size);

// Nothing for a file without the entry or with a size this program does not know.
std::optional<DiscSize> SavedDiscSize(const ProjectExtension& extension);

} // namespace discforge
