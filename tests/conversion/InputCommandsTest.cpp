// The open command as the window and the command line run it: what is listed,
// counted and named after an open, with and without batch mode.
#include "ConversionRig.h"

#include "SampleMedia.h"
#include "core/ControlIds.h"

#include <gtest/gtest.h>

#include <filesystem>

namespace discforge::test {
namespace {

// The sample list copied under a name with capitals and an upper-case extension.
std::string ListNamed(const std::string& name, int pictures)
{
    const std::filesystem::path source = SampleList(pictures, 64, 48, true);
    const std::filesystem::path copy = source.parent_path() / name;
    std::filesystem::copy_file(source, copy, std::filesystem::copy_options::overwrite_existing);
    return copy.string();
}

TEST(InputCommands, AnOpenedInputIsListedCountedSelectedAndNamedWithItsCaseKept)
{
    ConversionRig rig;
    const std::string first = ListNamed("Holiday.LST", 3);
    const std::string second = ListNamed("Garden.Lst", 4);
    ASSERT_TRUE(rig.core.inputCommands.OpenInput(first));
    ASSERT_TRUE(rig.core.inputCommands.OpenInput(second));

    EXPECT_EQ(rig.core.inputs.inputCount, 2);
    EXPECT_EQ(rig.host.listBox, (std::vector<std::string>{first, second}));
    EXPECT_EQ(rig.host.selectedLine, 1);
    EXPECT_EQ(rig.core.inputs.currentInput, 1);
    EXPECT_EQ(rig.core.inputs.selectedInput, 1);
    EXPECT_FALSE(rig.Entry(0).isVideoFile) << "\".LST\" names a list in any case";
    EXPECT_EQ(rig.Entry(0).outputPath, first.substr(0, first.size() - 4) + ".mpg");
    EXPECT_EQ(rig.Entry(1).outputPath, second.substr(0, second.size() - 4) + ".mpg");
    EXPECT_EQ(rig.core.inputs.framePosition, 0);
}

TEST(InputCommands, AFailedOpenListsCountsAndNamesNothing)
{
    ConversionRig rig;
    ASSERT_TRUE(rig.core.inputCommands.OpenInput(SampleList(3, 64, 48)));
    EXPECT_FALSE(rig.core.inputCommands.OpenInput(SampleFolder() + "/missing.avi"));

    EXPECT_EQ(rig.core.inputs.inputCount, 1);
    EXPECT_EQ(rig.host.listBox.size(), 1u);
    EXPECT_TRUE(rig.Entry(1).outputPath.empty());
    EXPECT_FALSE(rig.messages.shown.empty()) << "the reader tells the user why";
}

TEST(InputCommands, WithoutBatchModeTheFirstNameIsSharedAndTheNewInputStartsOnTheJoinedTimeLine)
{
    ConversionRig rig;
    rig.core.settings.batchMode = false;
    const std::string first = ListNamed("first.lst", 3);
    ASSERT_TRUE(rig.core.inputCommands.OpenInput(first));
    EXPECT_EQ(rig.core.inputs.sharedOutputName, first.substr(0, first.size() - 4) + ".mpg");
    EXPECT_EQ(rig.core.inputs.framePosition, 0);

    ASSERT_TRUE(rig.core.inputCommands.OpenInput(ListNamed("second.lst", 4)));
    EXPECT_EQ(rig.core.inputs.sharedOutputName, first.substr(0, first.size() - 4) + ".mpg");
    EXPECT_TRUE(rig.Entry(1).outputPath.empty());
    EXPECT_EQ(rig.core.inputs.framePosition, 3) << "after the three pictures of the first list";
}

TEST(InputCommands, AChosenOutputFileGoesToTheSelectedInputOrTheSharedFile)
{
    ConversionRig rig;
    ASSERT_TRUE(rig.core.inputCommands.OpenInput(ListNamed("one.lst", 3)));
    ASSERT_TRUE(rig.core.inputCommands.OpenInput(ListNamed("two.lst", 3)));
    const std::string firstName = rig.Entry(0).outputPath;
    rig.core.inputCommands.ChooseOutputFile("/discs/Two.m2p");
    EXPECT_EQ(rig.Entry(1).outputPath, "/discs/Two.m2p");
    EXPECT_EQ(rig.Entry(0).outputPath, firstName);
    EXPECT_EQ(rig.controls.Text(control::outputName), "/discs/Two.m2p");

    rig.core.settings.batchMode = false;
    rig.core.inputCommands.ChooseOutputFile("/discs/all.mpg");
    EXPECT_EQ(rig.core.inputs.sharedOutputName, "/discs/all.mpg");
    EXPECT_EQ(rig.Entry(1).outputPath, "/discs/Two.m2p");
}

} // namespace
} // namespace discforge::test
