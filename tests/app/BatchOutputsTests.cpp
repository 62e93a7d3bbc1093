#include "app/BatchOutputs.h"

#include "input/InputTableState.h"
#include "support/TestFolder.h"

#include <gtest/gtest.h>

#include <fstream>

namespace discforge {
namespace {

TEST(ReadableSize, BytesBelowAKilobyteThenOneDecimalOfTheLargestUnit)
{
    EXPECT_EQ(ReadableSize(0), "0 bytes");
    EXPECT_EQ(ReadableSize(1), "1 byte");
    EXPECT_EQ(ReadableSize(1023), "1023 bytes");
    EXPECT_EQ(ReadableSize(1024), "1.0 KB");
    EXPECT_EQ(ReadableSize(1536), "1.5 KB");
    EXPECT_EQ(ReadableSize(5ull * 1024 * 1024), "5.0 MB");
    EXPECT_EQ(ReadableSize(3ull * 1024 * 1024 * 1024), "3.0 GB");
    EXPECT_EQ(ReadableSize(5000ull * 1024 * 1024 * 1024), "5000.0 GB") << "no unit above gigabytes";
}

TEST(ExistingOutputs, OnlyFilesThatExistAndEachOnce)
{
    test::TestFolder folder;
    InputTableState inputs;
    inputs.inputCount = 4;
    inputs.inputTable[0].outputPath = folder.File("a.mpg");
    inputs.inputTable[1].outputPath = folder.File("missing.mpg");
    inputs.inputTable[2].outputPath = folder.File("a.mpg");
    inputs.inputTable[3].outputPath = "";
    inputs.inputTable[4].outputPath = folder.File("b.mpg"); // past the count
    std::ofstream(folder.File("a.mpg")) << "x";
    std::ofstream(folder.File("b.mpg")) << "x";
    EXPECT_EQ(ExistingOutputs(inputs), std::vector<std::string>{folder.File("a.mpg")});
    EXPECT_EQ(WrittenOutputs(inputs), "\n" + folder.File("a.mpg") + ": 1 byte\n" + folder.File("missing.mpg")
            + ": not written\n" + folder.File("a.mpg") + ": 1 byte\n: not written");
}

} // namespace
} // namespace discforge
