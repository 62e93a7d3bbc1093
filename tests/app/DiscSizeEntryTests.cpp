#include "app/DiscSizeEntry.h"

#include <gtest/gtest.h>

namespace discforge {
namespace {

std::optional<DiscSize> ThroughAFile(const std::optional<DiscSize>& size)
{
    ProjectExtension kept;
    KeepDiscSize(kept, size);
    ProjectExtension read;
    const std::vector<std::uint8_t> bytes = kept.Encode();
    if (ProjectExtension::Decode(bytes, read) != ProjectExtension::Status::ok) {
        return DiscSize{DiscSizeKind::megabytes, -1};
    }
    return SavedDiscSize(read);
}

TEST(DiscSizeEntry, EveryDiscSizeComesBackFromTheFile)
{
    for (const DiscSize size : {DiscSize{DiscSizeKind::dvd5, 0}, DiscSize{DiscSizeKind::dvd9, 0},
             DiscSize{DiscSizeKind::cd74, 0}, DiscSize{DiscSizeKind::cd80, 0}, DiscSize{DiscSizeKind::megabytes, 42},
             DiscSize{DiscSizeKind::megabytes, 1000000}}) {
        EXPECT_EQ(ThroughAFile(size), size) << static_cast<int>(size.kind) << " " << size.megabytes;
    }
}

TEST(DiscSizeEntry, NoSizeWritesNothingAndOpensWithout)
{
    ProjectExtension kept;
    KeepDiscSize(kept, std::nullopt);
    EXPECT_TRUE(kept.Empty());
    EXPECT_FALSE(SavedDiscSize(kept).has_value());
}

TEST(DiscSizeEntry, UnknownKindsAndSizesOutOfRangeOpenWithoutASize)
{
    for (const std::int32_t kind : {0, 6, -1, 77}) {
        ProjectExtension extension;
        extension.SetInt(ProjectTag::discSize, batchScope, kind);
        EXPECT_FALSE(SavedDiscSize(extension).has_value()) << kind;
    }
    for (const std::int32_t megabytes : {0, -5, 1000001}) {
        ProjectExtension extension;
        extension.SetInt(ProjectTag::discSize, batchScope, 5);
        extension.SetInt(ProjectTag::discSizeMegabytes, batchScope, megabytes);
        EXPECT_FALSE(SavedDiscSize(extension).has_value()) << megabytes;
    }
    ProjectExtension withoutMegabytes;
    withoutMegabytes.SetInt(ProjectTag::discSize, batchScope, 5);
    EXPECT_FALSE(SavedDiscSize(withoutMegabytes).has_value());
    // An entry of another length than four bytes is not a size.
    ProjectExtension wrongLength;
    wrongLength.SetBytes(ProjectTag::discSize, batchScope, {1, 0});
    EXPECT_FALSE(SavedDiscSize(wrongLength).has_value());
}

} // namespace
} // namespace discforge
