// The run log on disk: Check Log marks the place, writes the file into the
// user's state folder and shows it.
#include "app/RunLogFile.h"
#include "core/RunLog.h"
#include "core/headless/HeadlessShell.h"
#include "core/headless/RecordingMessagePort.h"
#include "support/TestFolder.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <fstream>
#include <sstream>

namespace discforge {
namespace {

std::string ReadFile(const std::string& path)
{
    std::ifstream file(path, std::ios::binary);
    std::ostringstream text;
    text << file.rdbuf();
    return text.str();
}

class RunLogFileTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        const char* state = std::getenv("XDG_STATE_HOME");
        saved_ = state != nullptr ? std::optional<std::string>(state) : std::nullopt;
        setenv("XDG_STATE_HOME", folder_.Path().c_str(), 1);
    }
    void TearDown() override
    {
        if (saved_) {
            setenv("XDG_STATE_HOME", saved_->c_str(), 1);
        } else {
            unsetenv("XDG_STATE_HOME");
        }
    }
    std::string LogPath() const { return folder_.File("ferrowick-discforge/avi_log.txt"); }

    test::TestFolder folder_;
    std::optional<std::string> saved_;
};

TEST_F(RunLogFileTest, CheckLogMarksThePlaceWritesTheFileAndOpensIt)
{
    RunLog log;
    log.AppendLogLine("File Name: /videos/clip.avi");
    HeadlessShell shell;
    RecordingMessagePort messages;
    CheckLog(log, shell, messages);

    EXPECT_EQ(ReadFile(LogPath()), "File Name: /videos/clip.avi\r\n****************************************\r\n");
    EXPECT_EQ(shell.openedDocuments, (std::vector<std::string>{LogPath()}));
    EXPECT_TRUE(messages.shown.empty());
}

TEST_F(RunLogFileTest, WithoutAProgramThatOpensItTheUserIsToldWhereTheLogIs)
{
    RunLog log;
    HeadlessShell shell;
    shell.hasOpener = false;
    RecordingMessagePort messages;
    CheckLog(log, shell, messages);
    ASSERT_EQ(messages.shown.size(), 1u);
    EXPECT_EQ(messages.shown[0].text, "No program here opens the run log. It is at:\n" + LogPath());
    EXPECT_EQ(messages.shown[0].caption, "Ferrowick Discforge - open file");
}

TEST_F(RunLogFileTest, TheFileIsReplacedEachTimeAndAnUnwritableFolderOpensNothing)
{
    RunLog log;
    log.AppendLogLine("first");
    ASSERT_TRUE(WriteRunLogFile(log));
    log.Clear();
    log.AppendLogLine("second");
    ASSERT_TRUE(WriteRunLogFile(log));
    EXPECT_EQ(ReadFile(LogPath()), "second\r\n");

    setenv("XDG_STATE_HOME", folder_.File("state-is-a-file").c_str(), 1);
    std::ofstream(folder_.File("state-is-a-file")) << "x";
    HeadlessShell shell;
    RecordingMessagePort messages;
    CheckLog(log, shell, messages);
    EXPECT_TRUE(shell.openedDocuments.empty());
}

} // namespace
} // namespace discforge
