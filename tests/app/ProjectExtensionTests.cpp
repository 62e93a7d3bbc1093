// The extension block after the input records, against bytes written out by hand,
// and what damaged or foreign bytes after the records give.
#include "app/ProjectExtension.h"
#include "app/ProjectFile.h"

#include <gtest/gtest.h>

#include <vector>

namespace discforge {
namespace {

constexpr auto tagA = static_cast<ProjectTag>(7);
constexpr auto tagB = static_cast<ProjectTag>(0x0102);

TEST(ProjectExtension, AnEmptyBlockAddsNoByteAndAFileWithoutOneOpensAsBefore)
{
    EXPECT_TRUE(ProjectExtension{}.Encode().empty());
    ProjectHeader header;
    header.inputCount = 1;
    const std::vector<std::uint8_t> bytes = ProjectFileBytes(header, {InputRecord{}});
    EXPECT_EQ(bytes.size(), 285u + 1104u);
    const ProjectContents contents = ParseProject(bytes);
    EXPECT_EQ(contents.status, ProjectContents::Status::ok);
    EXPECT_EQ(contents.extensionStatus, ProjectExtension::Status::absent);
    EXPECT_TRUE(contents.extension.Empty());
}

TEST(ProjectExtension, EntriesAreWrittenInTagThenScopeOrderAtTheirOffsets)
{
    ProjectExtension extension;
    extension.SetText(tagB, batchScope, "ab");
    extension.SetInt(tagA, 3, -2);
    const std::vector<std::uint8_t> expected = {
        'F', 'D', 'X', 'B', 1, 0, 2, 0, 0, 0, // mark, version 1, two entries
        7, 0, 3, 0, 4, 0, 0, 0, 0xFE, 0xFF, 0xFF, 0xFF, // tag 7 of input 3: -2
        2, 1, 0xFF, 0xFF, 2, 0, 0, 0, 'a', 'b', // tag 0x102 of the batch: "ab"
    };
    EXPECT_EQ(extension.Encode(), expected);
}

TEST(ProjectExtension, ABlockAfterTheRecordsReadsBackWithItsValues)
{
    ProjectExtension extension;
    extension.SetInt(tagA, 0, 42);
    extension.SetText(tagB, batchScope, std::string(5000, 'p'));
    extension.SetBytes(tagB, 1, {});
    ProjectHeader header;
    header.inputCount = 2;
    const ProjectContents contents = ParseProject(ProjectFileBytes(header, {InputRecord{}, InputRecord{}}, extension));
    ASSERT_EQ(contents.extensionStatus, ProjectExtension::Status::ok);
    EXPECT_EQ(contents.records.size(), 2u);
    EXPECT_EQ(contents.extension.Int(tagA, 0), 42);
    EXPECT_EQ(contents.extension.Text(tagB, batchScope), std::string(5000, 'p'));
    ASSERT_NE(contents.extension.Bytes(tagB, 1), nullptr);
    EXPECT_TRUE(contents.extension.Bytes(tagB, 1)->empty());
    EXPECT_FALSE(contents.extension.Int(tagA, 1).has_value()) << "another input's entry";
    EXPECT_FALSE(contents.extension.Int(tagB, batchScope).has_value()) << "a text is not four bytes";
}

TEST(ProjectExtension, DamagedOrForeignBytesKeepWhatWasWholeAndNeverReadPastTheEnd)
{
    ProjectExtension extension;
    extension.SetInt(tagA, 0, 1);
    extension.SetInt(tagA, 1, 2);
    const std::vector<std::uint8_t> whole = extension.Encode();

    ProjectExtension read;
    for (std::size_t cut = 1; cut < whole.size(); ++cut) {
        const std::span<const std::uint8_t> part(whole.data(), cut);
        const ProjectExtension::Status status = ProjectExtension::Decode(part, read);
        EXPECT_NE(status, ProjectExtension::Status::ok) << "cut at " << cut;
        if (cut >= 10 + 12) {
            EXPECT_EQ(read.Int(tagA, 0), 1) << "the first entry is whole at " << cut;
        }
    }

    std::vector<std::uint8_t> foreign = whole;
    foreign[0] = 'X';
    EXPECT_EQ(ProjectExtension::Decode(foreign, read), ProjectExtension::Status::unknownFormat);
    std::vector<std::uint8_t> later = whole;
    later[4] = 2;
    EXPECT_EQ(ProjectExtension::Decode(later, read), ProjectExtension::Status::unknownFormat);
    EXPECT_TRUE(read.Empty());

    std::vector<std::uint8_t> huge = whole;
    huge[10 + 4] = 0xFF; // the first entry claims far more bytes than follow
    huge[10 + 7] = 0x7F;
    EXPECT_EQ(ProjectExtension::Decode(huge, read), ProjectExtension::Status::damaged);
}

} // namespace
} // namespace discforge
