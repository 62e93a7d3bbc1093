// Picture subtitle tracks as users bring them: a DVD rip's subpictures in an MPEG program
// stream, in Matroska and as a VobSub pair, and Blu-ray PGS. Each is listed with its
// language and decoded into the pictures a viewer sees, where and when they are shown;
// damaged and oversized files give what can be read, within the limits, never a crash.
#include "platform/PictureSubtitleTrack.h"

#include "support/PictureSubtitleClips.h"
#include "support/StreamChecks.h"
#include "support/TestFolder.h"

#include <gtest/gtest.h>

#include <array>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <iterator>
#include <random>

namespace discforge::test {
namespace {

constexpr int toleranceMs = 45; // a PAL frame and a little rounding

const std::vector<BoxCue> boxes{{1000, 2000, 200, 450, 320, 60, 4}, {3000, 3500, 100, 40, 120, 30, 4}};

// The pixel of the picture at a point of the frame; all zero outside the picture.
std::array<int, 4> PixelAt(const SubtitlePicture& picture, int x, int y)
{
    if (x < picture.x || y < picture.y || x >= picture.x + picture.width || y >= picture.y + picture.height) {
        return {0, 0, 0, 0};
    }
    const std::size_t at
        = (static_cast<std::size_t>(y - picture.y) * static_cast<std::size_t>(picture.width) + (x - picture.x)) * 4;
    return {picture.rgba[at], picture.rgba[at + 1], picture.rgba[at + 2], picture.rgba[at + 3]};
}

int Luma(const std::array<int, 4>& pixel) { return (pixel[0] * 299 + pixel[1] * 587 + pixel[2] * 114) / 1000; }

// What a viewer sees of a box cue: opaque light inside, opaque dark on its band, nothing
// beyond, and nothing at all outside its time.
void ExpectBox(const SubtitlePicture& picture, const BoxCue& cue)
{
    EXPECT_NEAR(picture.startMs, cue.startMs, toleranceMs);
    EXPECT_NEAR(picture.endMs, cue.endMs, toleranceMs);
    ASSERT_EQ(picture.rgba.size(), static_cast<std::size_t>(picture.width) * picture.height * 4);
    const std::array<int, 4> inside = PixelAt(picture, cue.x + cue.width / 2, cue.y + cue.height / 2);
    const std::array<int, 4> band = PixelAt(picture, cue.x - cue.band / 2, cue.y + cue.height / 2);
    EXPECT_GT(inside[3], 200);
    EXPECT_GT(band[3], 200);
    EXPECT_GT(Luma(inside), Luma(band) + 100) << "the fill stands out from its band";
    EXPECT_EQ(PixelAt(picture, cue.x - cue.band - 2, cue.y + cue.height / 2)[3], 0) << "left of the band";
    EXPECT_EQ(PixelAt(picture, cue.x + cue.width / 2, cue.y + cue.height + cue.band + 2)[3], 0) << "below the band";
    EXPECT_EQ(PixelAt(picture, cue.x + cue.width / 2, cue.y - cue.band - 2)[3], 0) << "above the band";
}

std::string ReadAll(const std::string& path)
{
    std::ifstream file(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>()};
}

// What every read must keep to, however damaged its file.
void ExpectSound(const PictureSubtitles& read, const PictureSubtitleLimits& limits)
{
    std::int64_t lastEnd = 0;
    std::size_t bytes = 0;
    EXPECT_LE(read.pictures.size(), limits.events);
    for (const SubtitlePicture& picture : read.pictures) {
        EXPECT_GE(picture.startMs, lastEnd);
        EXPECT_GT(picture.endMs, picture.startMs);
        EXPECT_GE(picture.x, 0);
        EXPECT_GE(picture.y, 0);
        EXPECT_GT(picture.width, 0);
        EXPECT_GT(picture.height, 0);
        EXPECT_LE(picture.x + picture.width, read.frameWidth);
        EXPECT_LE(picture.y + picture.height, read.frameHeight);
        EXPECT_LE(static_cast<std::int64_t>(picture.width) * picture.height, limits.pictureArea);
        EXPECT_EQ(picture.rgba.size(), static_cast<std::size_t>(picture.width) * picture.height * 4);
        lastEnd = picture.endMs;
        bytes += picture.rgba.size();
    }
    EXPECT_LE(bytes, limits.totalBytes);
}

class DvdSubpictures : public ::testing::Test {
protected:
    static void SetUpTestSuite()
    {
        if (std::system("command -v ffmpeg >/dev/null && command -v spumux >/dev/null") != 0) {
            return;
        }
        folder_ = new TestFolder;
        std::string log;
        made_ = MakeSubpictureStream(folder_->Path(), Stream(), 5, boxes, log)
            && MakeMatroskaCopy(Stream(), folder_->File("rip.mkv"), "fre", log)
            && MakeVobSubPair(Stream(), folder_->File("rip"), boxes, "de", Palette(), log);
        log_ = log;
    }
    static void TearDownTestSuite()
    {
        delete folder_;
        folder_ = nullptr;
    }
    void SetUp() override
    {
        if (folder_ == nullptr) {
            GTEST_SKIP() << "ffmpeg or spumux is not installed (scripts/install-deps.sh installs them)";
        }
        ASSERT_TRUE(made_) << log_;
    }
    static std::string Stream() { return folder_->File("rip.mpg"); }
    // spumux gives the box's band the first colour and its fill the second; the others
    // are there to be told apart from them.
    static std::vector<std::string> Palette()
    {
        std::vector<std::string> colours(16, "808080");
        colours[0] = "102030";
        colours[1] = "f0e0d0";
        return colours;
    }

    static TestFolder* folder_;
    static bool made_;
    static std::string log_;
};

TestFolder* DvdSubpictures::folder_ = nullptr;
bool DvdSubpictures::made_ = false;
std::string DvdSubpictures::log_;

// The one DVD subpicture track of `path`, in `language`: both boxes where and when they
// were made, in a PAL frame, nothing damaged.
void ExpectBoxesOf(const std::string& path, const std::string& language, PictureSubtitles& read)
{
    const std::vector<PictureSubtitleTrack> tracks = PictureSubtitleTracksOf(path);
    ASSERT_EQ(tracks.size(), 1u);
    EXPECT_EQ(tracks[0].number, 1);
    EXPECT_EQ(tracks[0].language, language);
    EXPECT_FALSE(tracks[0].pgs);
    MediaError error;
    read = ReadPictureSubtitles(path, 1, {}, error);
    ASSERT_FALSE(error.Failed()) << error.text;
    EXPECT_EQ(read.frameWidth, 720);
    EXPECT_EQ(read.frameHeight, 576);
    EXPECT_EQ(read.damaged, 0);
    ASSERT_EQ(read.pictures.size(), 2u);
    ExpectBox(read.pictures[0], boxes[0]);
    ExpectBox(read.pictures[1], boxes[1]);
}

TEST_F(DvdSubpictures, AProgramStreamsSubpicturesAreShownWhereAndWhenTheyWereMade)
{
    PictureSubtitles read;
    ExpectBoxesOf(Stream(), "und", read);
}

TEST_F(DvdSubpictures, MatroskaKeepsTheTracksLanguage)
{
    PictureSubtitles read;
    ExpectBoxesOf(folder_->File("rip.mkv"), "fre", read);
}

TEST_F(DvdSubpictures, AVobSubPairIsReadThroughItsIndexInTheIndexsColours)
{
    PictureSubtitles read;
    ASSERT_NO_FATAL_FAILURE(ExpectBoxesOf(folder_->File("rip.idx"), "de", read));
    // The colours are the index's.
    const BoxCue& box = boxes[0];
    const std::array<int, 4> inside = PixelAt(read.pictures[0], box.x + 10, box.y + 10);
    const std::array<int, 4> band = PixelAt(read.pictures[0], box.x - 2, box.y + 10);
    EXPECT_EQ(inside, (std::array<int, 4>{0xf0, 0xe0, 0xd0, 255}));
    EXPECT_EQ(band, (std::array<int, 4>{0x10, 0x20, 0x30, 255}));
}

TEST_F(DvdSubpictures, NoSuchTrackIsAnError)
{
    MediaError error;
    ReadPictureSubtitles(Stream(), 2, {}, error);
    EXPECT_EQ(error.failure, MediaFailure::NoStream);
    EXPECT_NE(error.text.find("has no picture subtitle track 2"), std::string::npos) << error.text;
}

TEST_F(DvdSubpictures, LimitsOnEventsAndPictureSizeAreKept)
{
    PictureSubtitleLimits one;
    one.events = 1;
    MediaError error;
    const PictureSubtitles first = ReadPictureSubtitles(Stream(), 1, one, error);
    ASSERT_EQ(first.pictures.size(), 1u);
    EXPECT_EQ(first.beyondLimits, 1);
    ExpectBox(first.pictures[0], boxes[0]);

    PictureSubtitleLimits small;
    small.pictureArea = 200 * 60; // the second box fits, the first does not
    const PictureSubtitles second = ReadPictureSubtitles(Stream(), 1, small, error);
    ASSERT_EQ(second.pictures.size(), 1u);
    EXPECT_EQ(second.beyondLimits, 1);
    ExpectBox(second.pictures[0], boxes[1]);

    PictureSubtitleLimits few;
    few.totalBytes = 1000;
    const PictureSubtitles none = ReadPictureSubtitles(Stream(), 1, few, error);
    EXPECT_TRUE(none.pictures.empty());
    EXPECT_EQ(none.beyondLimits, 1);
}

// Seeded damage, so that a failure is repeated as it was found.
TEST_F(DvdSubpictures, DamagedSubAndIdxFilesGiveOnlySoundPictures)
{
    const std::string sub = ReadAll(folder_->File("rip.sub"));
    const std::string idx = ReadAll(folder_->File("rip.idx"));
    const PictureSubtitleLimits limits;
    std::mt19937 random(42);
    for (int round = 0; round < 60; ++round) {
        std::string damagedSub = sub;
        std::string damagedIdx = idx;
        const int kind = round % 4;
        if (kind == 0 || kind == 3) {
            for (int flips = 0; flips < 1 + round; ++flips) {
                damagedSub[random() % damagedSub.size()] = static_cast<char>(random());
            }
        }
        if (kind == 1) {
            damagedSub.resize(random() % damagedSub.size());
        }
        if (kind == 2 || kind == 3) {
            for (int flips = 0; flips < 1 + round / 4; ++flips) {
                damagedIdx[random() % damagedIdx.size()] = "0123456789:, x\nf-"[random() % 17];
            }
        }
        const std::string stem = folder_->File("damaged" + std::to_string(round));
        std::ofstream(stem + ".sub", std::ios::binary) << damagedSub;
        std::ofstream(stem + ".idx", std::ios::binary) << damagedIdx;
        MediaError error;
        const PictureSubtitles read = ReadPictureSubtitles(stem + ".idx", 1, limits, error);
        SCOPED_TRACE("round " + std::to_string(round));
        ExpectSound(read, limits);
    }
    // An index that claims a huge frame and far-off positions.
    std::ofstream(folder_->File("huge.sub"), std::ios::binary) << sub;
    std::ofstream(folder_->File("huge.idx"), std::ios::binary)
        << "# VobSub index file, v7 (do not modify this line!)\nsize: 99999x99999\nid: en, index: 0\n"
           "timestamp: 00:00:01:000, filepos: 7fffffffffff\ntimestamp: 99:59:59:999, filepos: 000000000\n";
    MediaError error;
    ExpectSound(ReadPictureSubtitles(folder_->File("huge.idx"), 1, limits, error), limits);
}

// A Blu-ray presentation in a full-HD frame: its frame and place are kept, its fill's
// partial cover stays straight (white at half cover), and an empty presentation ends it.
TEST(PgsSubtitles, APgsStreamIsShownInItsOwnFrameUntilItIsCleared)
{
    TestFolder folder;
    const std::vector<BoxCue> cues{{500, 1700, 800, 900, 300, 50, 6}, {2000, 2400, 100, 100, 40, 40, 6}};
    std::ofstream(folder.File("film.sup"), std::ios::binary) << PgsStream(1920, 1080, cues, 128);
    const std::vector<PictureSubtitleTrack> tracks = PictureSubtitleTracksOf(folder.File("film.sup"));
    ASSERT_EQ(tracks.size(), 1u);
    EXPECT_TRUE(tracks[0].pgs);

    MediaError error;
    const PictureSubtitles read = ReadPictureSubtitles(folder.File("film.sup"), 1, {}, error);
    ASSERT_FALSE(error.Failed()) << error.text;
    EXPECT_EQ(read.frameWidth, 1920);
    EXPECT_EQ(read.frameHeight, 1080);
    ASSERT_EQ(read.pictures.size(), 2u);
    const SubtitlePicture& first = read.pictures[0];
    EXPECT_EQ(first.startMs, 500);
    EXPECT_EQ(first.endMs, 1700);
    EXPECT_EQ(first.x, 794);
    EXPECT_EQ(first.y, 894);
    EXPECT_EQ(first.width, 312);
    EXPECT_EQ(first.height, 62);
    const std::array<int, 4> fill = PixelAt(first, 950, 925);
    EXPECT_GE(fill[0], 250);
    EXPECT_GE(fill[1], 250);
    EXPECT_GE(fill[2], 250);
    EXPECT_NEAR(fill[3], 128, 1);
    const std::array<int, 4> band = PixelAt(first, 797, 925);
    EXPECT_LE(band[0], 5);
    EXPECT_EQ(band[3], 255);
    EXPECT_EQ(read.pictures[1].startMs, 2000);
    EXPECT_EQ(read.pictures[1].endMs, 2400);
}

TEST(PgsSubtitles, AMatroskaCopyListsItsPgsTrack)
{
    TestFolder folder;
    if (std::system("command -v ffmpeg >/dev/null") != 0) {
        GTEST_SKIP() << "ffmpeg is not installed";
    }
    std::ofstream(folder.File("film.sup"), std::ios::binary)
        << PgsStream(1920, 1080, {{500, 1700, 800, 900, 300, 50, 6}}, 255);
    const CommandResult copied = RunCommand("ffmpeg -v error -nostdin -y -i " + Quoted(folder.File("film.sup"))
        + " -map 0 -c copy -metadata:s:s:0 language=jpn " + Quoted(folder.File("film.mkv")));
    ASSERT_EQ(copied.exitCode, 0) << copied.output;
    const std::vector<PictureSubtitleTrack> tracks = PictureSubtitleTracksOf(folder.File("film.mkv"));
    ASSERT_EQ(tracks.size(), 1u);
    EXPECT_EQ(tracks[0].language, "jpn");
    EXPECT_TRUE(tracks[0].pgs);
    MediaError error;
    const PictureSubtitles read = ReadPictureSubtitles(folder.File("film.mkv"), 1, {}, error);
    ASSERT_FALSE(error.Failed()) << error.text;
    EXPECT_EQ(read.frameWidth, 1920);
    ASSERT_EQ(read.pictures.size(), 1u);
    EXPECT_EQ(read.pictures[0].x, 794);
}

} // namespace
} // namespace discforge::test
