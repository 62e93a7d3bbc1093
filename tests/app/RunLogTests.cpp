#include "core/RunLog.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>

namespace discforge {
namespace {

TEST(RunLogTest, LinesEndWithCarriageReturnAndLineFeed)
{
    RunLog log;
    log.AppendLogLine("first");
    log.AppendLogLine("");
    log.AppendLogLine("third");
    EXPECT_EQ(log.Text(), "first\r\n\r\nthird\r\n");
}

TEST(RunLogTest, ALineThatWouldReachTheLimitIsDroppedAndAShorterOneStillFits)
{
    RunLog log;
    log.AppendLogLine(std::string(1000, 'a'));
    const std::size_t used = log.Text().size();

    const std::size_t reaching = RunLog::capacity - 3 - used;
    log.AppendLogLine(std::string(reaching, 'b'));
    EXPECT_EQ(log.Text().size(), used);

    log.AppendLogLine(std::string(reaching - 1, 'c'));
    EXPECT_EQ(log.Text().size(), used + reaching - 1 + 2);
    EXPECT_EQ(log.Text().size(), RunLog::capacity - 2);

    // Full now: even an empty line no longer fits.
    log.AppendLogLine("");
    EXPECT_EQ(log.Text().size(), RunLog::capacity - 2);
}

TEST(RunLogTest, WritingReplacesTheFileWithTheTextAsItIs)
{
    const std::filesystem::path path = std::filesystem::path(::testing::TempDir()) / "runlog_test.txt";
    {
        std::ofstream old(path);
        old << "an earlier, much longer log that must disappear entirely";
    }
    RunLog log;
    log.AppendLogLine("one");
    ASSERT_TRUE(log.WriteLogFile(path.string()));
    std::ifstream file(path, std::ios::binary);
    std::stringstream content;
    content << file.rdbuf();
    EXPECT_EQ(content.str(), "one\r\n");
    std::filesystem::remove(path);
}

TEST(RunLogTest, AnUnwritableFileIsSkipped)
{
    RunLog log;
    log.AppendLogLine("one");
    EXPECT_FALSE(log.WriteLogFile("/nonexistent-folder/avi_log.txt"));
    EXPECT_FALSE(log.WriteLogFile(""));
}

} // namespace
} // namespace discforge
