// Each input's disc choices in a project's extension block, against bytes written out by
// hand: what an input opens with writes nothing, the rest reads back, and damaged entries
// leave the input as it opened.
#include "app/DiscChoicesEntry.h"
#include "app/ProjectFile.h"

#include <gtest/gtest.h>

#include <vector>

namespace discforge {
namespace {

TEST(DiscChoicesEntry, AnInputAsItOpensWritesNothing)
{
    ProjectExtension extension;
    KeepDiscChoices(extension, 0, InputEntry{});
    EXPECT_TRUE(extension.Empty());
}

TEST(DiscChoicesEntry, SubtitlesAreTrackLanguageAndPathOneAfterAnother)
{
    const std::vector<std::uint8_t> expected = {
        0, 0, 0, 0, 2, 0, 0, 0, 'd', 'e', 6, 0, 0, 0, '/', 'a', '.', 's', 'r', 't', // a file
        2, 0, 0, 0, 3, 0, 0, 0, 'f', 'r', 'a', 5, 0, 0, 0, '/', 'v', '.', 'm', 'k', // track 2 of a video
    };
    const std::vector<SubtitleSource> sources{{"/a.srt", "de", 0}, {"/v.mk", "fra", 2}};
    EXPECT_EQ(EncodeSubtitleSources(sources), expected);
    const std::optional<std::vector<SubtitleSource>> decoded = DecodeSubtitleSources(expected);
    ASSERT_TRUE(decoded.has_value());
    ASSERT_EQ(decoded->size(), 2u);
    EXPECT_EQ((*decoded)[1].path, "/v.mk");
    EXPECT_EQ((*decoded)[1].language, "fra");
    EXPECT_EQ((*decoded)[1].track, 2);
    for (std::size_t cut = 1; cut < expected.size(); ++cut) {
        if (cut == 20) {
            continue; // the first entry whole
        }
        const std::vector<std::uint8_t> part(expected.begin(), expected.begin() + static_cast<std::ptrdiff_t>(cut));
        EXPECT_FALSE(DecodeSubtitleSources(part).has_value()) << cut;
    }
    std::vector<std::uint8_t> huge = expected;
    huge[4] = 0xFF; // a language longer than any code
    EXPECT_FALSE(DecodeSubtitleSources(huge).has_value());
}

// Text and picture subtitle tracks are counted apart: picture track 1 comes back as a
// picture track, not as the video's first text track.
TEST(DiscChoicesEntry, APictureSubtitleTrackKeepsItsKind)
{
    SubtitleSource picture{"/v.mkv", "de", 1};
    picture.picture = true;
    const std::vector<std::uint8_t> bytes = EncodeSubtitleSources({picture, {"/v.mkv", "en", 1}});
    EXPECT_EQ(bytes[3], 0x80);
    const std::optional<std::vector<SubtitleSource>> decoded = DecodeSubtitleSources(bytes);
    ASSERT_TRUE(decoded.has_value());
    ASSERT_EQ(decoded->size(), 2u);
    EXPECT_TRUE((*decoded)[0].picture);
    EXPECT_EQ((*decoded)[0].track, 1);
    EXPECT_FALSE((*decoded)[1].picture);
    EXPECT_EQ((*decoded)[1].track, 1);
    // A picture subtitle is always a track of a file, never a file of its own.
    std::vector<std::uint8_t> noTrack = bytes;
    noTrack[0] = 0;
    EXPECT_FALSE(DecodeSubtitleSources(noTrack).has_value());
}

TEST(DiscChoicesEntry, TheChoicesOfAnInputReadBackFromTheFile)
{
    InputEntry entry;
    entry.burnSubtitles = true;
    entry.addedSubtitles = {{"/films/named.srt", "de", 0}};
    entry.subtitlesLeftOut = {{"/films/film.mkv", "spa", 1}, {"/films/film.en.srt", "en", 0}};
    entry.soundTracksLeftOut = {3, 2};
    ProjectExtension extension;
    KeepDiscChoices(extension, 1, entry);
    ProjectHeader header;
    header.inputCount = 2;
    const ProjectContents contents = ParseProject(ProjectFileBytes(header, {InputRecord{}, InputRecord{}}, extension));
    ASSERT_EQ(contents.extensionStatus, ProjectExtension::Status::ok);

    InputEntry first;
    RestoreDiscChoices(contents.extension, 0, first);
    EXPECT_FALSE(first.burnSubtitles);
    EXPECT_TRUE(first.subtitlesLeftOut.empty());
    InputEntry second;
    RestoreDiscChoices(contents.extension, 1, second);
    EXPECT_TRUE(second.burnSubtitles);
    ASSERT_EQ(second.addedSubtitles.size(), 1u);
    EXPECT_EQ(second.addedSubtitles[0].path, "/films/named.srt");
    EXPECT_EQ(second.addedSubtitles[0].language, "de");
    ASSERT_EQ(second.subtitlesLeftOut.size(), 2u);
    EXPECT_EQ(second.subtitlesLeftOut[0].track, 1);
    EXPECT_EQ(second.subtitlesLeftOut[1].path, "/films/film.en.srt");
    EXPECT_EQ(second.soundTracksLeftOut, (std::vector<int>{3, 2}));
}

TEST(DiscChoicesEntry, DamagedEntriesLeaveTheInputAsItOpened)
{
    ProjectExtension extension;
    extension.SetBytes(ProjectTag::soundTracksLeftOut, 0, {2, 0, 0, 0, 0, 0, 0, 0}); // track 0
    extension.SetBytes(ProjectTag::subtitlesLeftOut, 0, {0, 0, 0, 0, 9});
    extension.SetBytes(ProjectTag::burnSubtitles, 0, {1, 0});
    extension.SetBytes(ProjectTag::soundTracksLeftOut, 1, {2, 0, 0});
    for (const int record : {0, 1, -1, 0xFFFF}) {
        InputEntry entry;
        RestoreDiscChoices(extension, record, entry);
        EXPECT_FALSE(entry.burnSubtitles) << record;
        EXPECT_TRUE(entry.subtitlesLeftOut.empty()) << record;
        EXPECT_TRUE(entry.soundTracksLeftOut.empty()) << record;
    }
}

} // namespace
} // namespace discforge
