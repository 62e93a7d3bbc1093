// Which files an encode left for an output: its numbered parts when it split,
// the output itself otherwise, and never the leftovers of an earlier encode of
// the same name.
#include "app/OutputParts.h"

#include "support/TestFolder.h"

#include <gtest/gtest.h>

#include <chrono>
#include <filesystem>
#include <fstream>

namespace discforge::test {
namespace {

namespace fs = std::filesystem;
using namespace std::chrono_literals;

class OutputPartsOnDisk : public ::testing::Test {
protected:
    // A file last written `age` before the others' common time.
    std::string Written(const std::string& name, fs::file_time_type::duration age = 0s)
    {
        const std::string path = folder_.File(name);
        std::ofstream(path) << name;
        fs::last_write_time(path, now_ - age);
        return path;
    }

    TestFolder folder_;
    const std::string output_ = folder_.File("movie.mpg");
    const fs::file_time_type now_ = fs::file_time_type::clock::now();
};

TEST_F(OutputPartsOnDisk, AnOutputThatWasNotSplitIsItsOnlyPartWrittenOrNot)
{
    EXPECT_EQ(OutputParts(output_), std::vector<std::string>{output_}) << "nothing written yet";
    Written("movie.mpg");
    EXPECT_EQ(OutputParts(output_), std::vector<std::string>{output_});
    Written("movie_01.mpg");
    EXPECT_EQ(OutputParts(output_), std::vector<std::string>{output_}) << "the encoder never numbers a lone part";
}

TEST_F(OutputPartsOnDisk, ASplitOutputIsItsNumberedPartsInOrder)
{
    std::vector<std::string> parts;
    for (int i = 1; i <= 11; ++i) {
        // Each part is closed before the next one opens.
        parts.push_back(Written((i < 10 ? "movie_0" : "movie_") + std::to_string(i) + ".mpg", (11 - i) * 1s));
    }
    EXPECT_EQ(OutputParts(output_), parts);
    EXPECT_EQ(OutputParts(folder_.File("other.mpg")), std::vector<std::string>{folder_.File("other.mpg")});
}

TEST_F(OutputPartsOnDisk, LeftoversOfAnEarlierEncodeOfTheSameNameStayOff)
{
    // An earlier encode split into four parts, then the output was made again in two.
    Written("movie_03.mpg", 1h);
    Written("movie_04.mpg", 1h);
    const std::string first = Written("movie_01.mpg", 2s);
    const std::string second = Written("movie_02.mpg", 1s);
    Written("movie.mpg", 2h);
    EXPECT_EQ(OutputParts(output_), (std::vector<std::string>{first, second}))
        << "older parts after the new ones and an older whole output belong to earlier encodes";

    // Then once more without splitting.
    Written("movie.mpg");
    EXPECT_EQ(OutputParts(output_), std::vector<std::string>{output_});
}

} // namespace
} // namespace discforge::test
