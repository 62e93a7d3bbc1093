// The runner of the authoring tools: lines as they come from both outputs, the
// exit status, a program found on PATH, and a cancel that ends a program that
// would run on.
#include "platform/ChildProgram.h"

#include "support/TestFolder.h"

#include <gtest/gtest.h>

#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <fstream>

namespace discforge::test {
namespace {

std::string Script(const TestFolder& folder, const std::string& name, const std::string& body)
{
    const std::string path = folder.File(name);
    std::ofstream(path) << "#!/bin/sh\n" << body;
    std::filesystem::permissions(path, std::filesystem::perms::owner_all);
    return path;
}

TEST(ChildProgram, EveryLineOfBothOutputsAndTheExitStatusComeBack)
{
    TestFolder folder;
    const std::string program = Script(folder, "talk", "echo one\necho two >&2\nprintf 'three\\rfour'\npwd\nexit 3\n");
    std::vector<std::string> lines;
    const ChildProgramRun run = RunChildProgram(
        {program}, folder.Path(), [&](const std::string& line) { lines.push_back(line); }, [] { return false; });
    EXPECT_TRUE(run.started);
    EXPECT_FALSE(run.cancelled);
    EXPECT_EQ(run.exitCode, 3);
    const std::vector<std::string> expected{
        "one", "two", "three", "four" + std::filesystem::canonical(folder.Path()).string()};
    EXPECT_EQ(lines, expected) << "a line without its end joins what follows it";
}

TEST(ChildProgram, ACancelEndsAProgramThatWouldRunOn)
{
    TestFolder folder;
    const std::string program = Script(folder, "slow", "echo started\nexec sleep 60\n");
    bool started = false;
    const auto begin = std::chrono::steady_clock::now();
    const ChildProgramRun run = RunChildProgram(
        {program}, "", [&](const std::string& line) { started = started || line == "started"; },
        [&] { return started; });
    EXPECT_TRUE(run.cancelled);
    EXPECT_LT(std::chrono::steady_clock::now() - begin, std::chrono::seconds(30)) << "it did not wait for the sleep";
}

TEST(ChildProgram, ProgramsAreFoundOnThePathAndAMissingOneIsNot)
{
    TestFolder folder;
    const std::string program = Script(folder, "discforge-tool", "exit 0\n");
    const std::string saved = std::getenv("PATH") != nullptr ? std::getenv("PATH") : "";
    setenv("PATH", ("/nonexistent:" + folder.Path() + ":" + saved).c_str(), 1);
    EXPECT_EQ(FindOnPath("discforge-tool"), program);
    EXPECT_EQ(FindOnPath("discforge-no-such-tool"), "");
    EXPECT_EQ(FindOnPath("/bin/sh"), "") << "a path is no name to look for";
    setenv("PATH", saved.c_str(), 1);
    EXPECT_NE(FindOnPath("sh"), "");
}

TEST(ChildProgram, AProgramThatCannotRunEndsWith127)
{
    TestFolder folder;
    const ChildProgramRun run = RunChildProgram(
        {folder.File("missing")}, "", [](const std::string&) {}, [] { return false; });
    EXPECT_TRUE(run.started);
    EXPECT_EQ(run.exitCode, 127);
}

} // namespace
} // namespace discforge::test
