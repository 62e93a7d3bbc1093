// The bytes of a project file against vectors written out by hand: the header
// fields at their offsets, and what a damaged file gives.
#include "app/ProjectFile.h"

#include <gtest/gtest.h>

#include <vector>

namespace discforge {
namespace {

std::vector<std::uint8_t> Zeros(std::size_t count) { return std::vector<std::uint8_t>(count, 0); }

void Put(std::vector<std::uint8_t>& bytes, std::size_t offset, std::initializer_list<std::uint8_t> values)
{
    std::size_t at = offset;
    for (const std::uint8_t value : values) {
        bytes.at(at++) = value;
    }
}

TEST(ProjectFile, AnEmptyProjectIs285BytesWithItsFieldsAtTheirOffsets)
{
    std::vector<std::uint8_t> expected = Zeros(285);
    Put(expected, 0, {1}); // batch mode
    Put(expected, 8, {0xFF, 0xFF, 0xFF, 0xFF}); // no input selected
    EXPECT_EQ(ProjectFileBytes(ProjectHeader{}, {}), expected);

    ProjectHeader header;
    header.batchMode = false;
    header.inputCount = 0;
    header.selectedInput = 2;
    header.framePosition = 1234;
    header.singleOutputName = "/discs/all.mpg";
    header.sharedWidth = 352;
    header.sharedHeight = 288;
    header.liveOutputPreview = true;
    expected = Zeros(285);
    Put(expected, 8, {2, 0, 0, 0});
    Put(expected, 12, {0xD2, 0x04, 0, 0});
    Put(expected, 16, {'/', 'd', 'i', 's', 'c', 's', '/', 'a', 'l', 'l', '.', 'm', 'p', 'g'});
    Put(expected, 276, {0x60, 0x01, 0, 0});
    Put(expected, 280, {0x20, 0x01, 0, 0});
    Put(expected, 284, {1});
    EXPECT_EQ(ProjectFileBytes(header, {}), expected) << "the rest of the name is zeros";
}

TEST(ProjectFile, RecordsFollowTheHeaderAndReadBackWhole)
{
    ProjectHeader header;
    header.inputCount = 3;
    std::vector<InputRecord> records(3);
    for (std::size_t i = 0; i < records.size(); ++i) {
        records[i].fill(static_cast<std::uint8_t>(0x10 + i));
    }
    const std::vector<std::uint8_t> bytes = ProjectFileBytes(header, records);
    ASSERT_EQ(bytes.size(), 285u + 3 * 1104u);
    EXPECT_EQ(bytes[285], 0x10);
    EXPECT_EQ(bytes[285 + 1104], 0x11);
    EXPECT_EQ(bytes[285 + 2 * 1104 + 1103], 0x12);

    const ProjectContents contents = ParseProject(bytes);
    EXPECT_EQ(contents.status, ProjectContents::Status::ok);
    EXPECT_EQ(contents.header.inputCount, 3);
    EXPECT_EQ(contents.records, records);
}

TEST(ProjectFile, DamagedFilesAreToldApartBeforeAnythingIsUsed)
{
    ProjectHeader header;
    header.inputCount = 2;
    std::vector<std::uint8_t> bytes = ProjectFileBytes(header, {InputRecord{}, InputRecord{}});

    const std::vector<std::uint8_t> shortHeader(bytes.begin(), bytes.begin() + 284);
    EXPECT_EQ(ParseProject(shortHeader).status, ProjectContents::Status::shortHeader);

    const std::vector<std::uint8_t> shortRecord(bytes.begin(), bytes.end() - 1);
    const ProjectContents cut = ParseProject(shortRecord);
    EXPECT_EQ(cut.status, ProjectContents::Status::shortRecords);
    EXPECT_EQ(cut.records.size(), 1u) << "the whole record before the cut";

    Put(bytes, 4, {0x01, 0x01, 0, 0}); // 257 inputs
    EXPECT_EQ(ParseProject(bytes).status, ProjectContents::Status::tooManyInputs);

    Put(bytes, 4, {0xFF, 0xFF, 0xFF, 0xFF}); // -1 inputs
    const ProjectContents none = ParseProject(bytes);
    EXPECT_EQ(none.status, ProjectContents::Status::ok);
    EXPECT_TRUE(none.records.empty());

    // A name without its terminating zero is cut at its 260 bytes.
    std::vector<std::uint8_t> longName = ProjectFileBytes(ProjectHeader{}, {});
    std::fill(longName.begin() + 16, longName.begin() + 276, 'a');
    EXPECT_EQ(ParseProject(longName).header.singleOutputName, std::string(260, 'a'));
}

} // namespace
} // namespace discforge
