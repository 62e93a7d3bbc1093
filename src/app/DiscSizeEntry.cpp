#include "app/DiscSizeEntry.h"

namespace discforge {

void KeepDiscSize(ProjectExtension& extension, const std::optional<DiscSize>& size)
{
    if (!size) {
        return;
    }
    extension.SetInt(ProjectTag::discSize, batchScope, static_cast<std::int32_t>(size->kind));
    if (size->kind == DiscSizeKind::megabytes) {
        extension.SetInt(ProjectTag::discSizeMegabytes, batchScope, static_cast<std::int32_t>(size->megabytes));
    }
}

std::optional<DiscSize> SavedDiscSize(const ProjectExtension& extension)
{
    switch (extension.Int(ProjectTag::discSize, batchScope).value_or(0)) {
    case static_cast<int>(DiscSizeKind::dvd5):
        return DiscSize{DiscSizeKind::dvd5, 0};
    case static_cast<int>(DiscSizeKind::dvd9):
        return DiscSize{DiscSizeKind::dvd9, 0};
    case static_cast<int>(DiscSizeKind::cd74):
        return DiscSize{DiscSizeKind::cd74, 0};
    case static_cast<int>(DiscSizeKind::cd80):
        return DiscSize{DiscSizeKind::cd80, 0};
    case static_cast<int>(DiscSizeKind::megabytes): {
        const std::int32_t megabytes = extension.Int(ProjectTag::discSizeMegabytes, batchScope).value_or(0);
        if (megabytes >= 1 && megabytes <= largestDiscMegabytes) {
            return DiscSize{DiscSizeKind::megabytes, megabytes};
        }
        return std::nullopt;
    }
    default:
        return std::nullopt;
    }
}

} // namespace discforge
