// What decides a disc before any tool runs: whether the streams fit, where the
// chapters start, and that a disc too full leaves nothing behind.
#include "app/DiscAuthoring.h"

#include "core/ConversionSettings.h"
#include "core/RunLog.h"
#include "support/TestFolder.h"

#include <gtest/gtest.h>

#include <filesystem>

namespace discforge::test {
namespace {

// A sparse file: it takes its size in the directory, not on the disk.
std::string FileOfSize(const TestFolder& folder, const std::string& name, std::uintmax_t bytes)
{
    const std::string path = folder.File(name);
    std::FILE* file = std::fopen(path.c_str(), "wb");
    std::fclose(file);
    std::filesystem::resize_file(path, bytes);
    return path;
}

TEST(DiscSize, StreamsThatFitPassAndTooMuchSaysByHowMuch)
{
    TestFolder folder;
    const std::string half = FileOfSize(folder, "half.mpg", 2'350'000'000ull);
    EXPECT_EQ(CheckDiscSize(formatDvd, {half, half}), "") << "exactly a DVD";
    const std::string more = FileOfSize(folder, "more.mpg", 2'450'000'000ull);
    EXPECT_EQ(CheckDiscSize(formatDvd, {half, more}),
        "The streams take 4800 MB, 100 MB more than a DVD holds (4700 MB). Nothing was written.");
    const std::string cd = FileOfSize(folder, "cd.mpg", 450'000'000ull);
    EXPECT_EQ(CheckDiscSize(formatSvcd, {cd}), "");
    EXPECT_EQ(CheckDiscSize(formatVcd, {cd, cd}),
        "The streams take 900 MB, 100 MB more than a VCD holds (800 MB). Nothing was written.");
}

TEST(DiscSize, TheDiscSizeOfThePlanIsTheOneTheStreamsAreCheckedAgainst)
{
    TestFolder folder;
    const std::string stream = FileOfSize(folder, "planned.mpg", 12'000'000ull);
    EXPECT_EQ(CheckDiscSize(formatDvd, {stream}, DiscSize{DiscSizeKind::megabytes, 15}), "");
    EXPECT_EQ(CheckDiscSize(formatDvd, {stream}, DiscSize{DiscSizeKind::megabytes, 10}),
        "The streams take 12 MB, 2 MB more than a 10 MB disc holds (10 MB). Nothing was written.");
    const std::string cd = FileOfSize(folder, "cd.mpg", 780'000'000ull);
    EXPECT_EQ(CheckDiscSize(formatVcd, {cd}), "") << "the usual CD holds 800 MB";
    EXPECT_EQ(CheckDiscSize(formatVcd, {cd}, DiscSize{DiscSizeKind::cd74, 0}),
        "The streams take 780 MB, 7 MB more than a CD 74 min holds (774 MB). Nothing was written.");
}

TEST(DiscSize, ADiscTooFullWritesNothingAndRunsNoTool)
{
    TestFolder folder;
    // Every part of a split output counts.
    const std::string part = FileOfSize(folder, "big_01.mpg", 450'000'000ull);
    AuthoringRequest request;
    request.outputFormat = formatSvcd;
    request.streams = {{part, part}};
    request.folder = folder.File("disc");
    RunLog log;
    const AuthoringOutcome outcome = AuthorDisc(request, log, [] { return false; });
    EXPECT_FALSE(outcome.made);
    EXPECT_NE(outcome.message.find("100 MB more than a SVCD holds"), std::string::npos) << outcome.message;
    EXPECT_FALSE(std::filesystem::exists(request.folder));
    EXPECT_TRUE(log.Text().empty());
}

TEST(DiscAuthoring, WithoutStreamsThereIsNoDisc)
{
    AuthoringRequest request;
    request.outputFormat = formatDvd;
    RunLog log;
    const AuthoringOutcome outcome = AuthorDisc(request, log, [] { return false; });
    EXPECT_FALSE(outcome.made);
    EXPECT_EQ(outcome.message, "There are no converted streams to put on a disc.");
}

TEST(ChapterList, AChapterStartsEveryIntervalBeforeTheEnd)
{
    EXPECT_EQ(ChapterList(0, 5), "0") << "an unknown length has the first chapter only";
    EXPECT_EQ(ChapterList(300, 5), "0") << "no chapter at the very end";
    EXPECT_EQ(ChapterList(300.5, 5), "0,5:00");
    EXPECT_EQ(ChapterList(1000, 5), "0,5:00,10:00,15:00");
    EXPECT_EQ(ChapterList(200, 1), "0,1:00,2:00,3:00");
    EXPECT_EQ(ChapterList(7300, 60), "0,60:00,120:00");
}

TEST(ChapterList, ThePartsOfATitleEachHoldTheChaptersThatFallInThem)
{
    EXPECT_EQ(PartChapterList(0, 400, 5), "0,5:00") << "a first part starts the title's first chapter";
    EXPECT_EQ(PartChapterList(400, 600, 5), "3:20.000,8:20.000") << "at 10:00 and 15:00 of the title";
    EXPECT_EQ(PartChapterList(900, 100.25, 5), "0:00.000") << "a chapter right at the part's start";
    EXPECT_EQ(PartChapterList(1000.5, 199, 5), "") << "no chapter starts in this part";
    EXPECT_EQ(PartChapterList(3600.125, 4000, 60), "59:59.875");
    EXPECT_EQ(PartChapterList(400, 500, 0), "") << "no chapters asked for";
}

} // namespace
} // namespace discforge::test
