// A project restores the whole work: the disc, the standard, the split, the
// shut-down switch and every output name, with paths kept whole however long and
// whatever their bytes; a missing input is named and left out, and the list in
// the window is replaced only by a project that loads.
#include "ConversionRig.h"

#include "SampleMedia.h"
#include "app/ConversionRun.h"
#include "app/ProjectCommands.h"
#include "support/TestFolder.h"

#include <gtest/gtest.h>

#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <iterator>

namespace discforge::test {
namespace {

std::vector<std::uint8_t> ReadBytes(const std::string& path)
{
    std::ifstream file(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>()};
}

// A list of `pictures` copied to `path`, whose folders are made first.
std::string ListAt(const std::string& path, int pictures)
{
    std::filesystem::create_directories(std::filesystem::path(path).parent_path());
    std::filesystem::copy_file(
        SampleList(pictures, 64, 48, true), path, std::filesystem::copy_options::overwrite_existing);
    return path;
}

std::string InitCallBeforeFirstMake(const FakeEncoder& fake)
{
    std::string init;
    for (const std::string& call : fake.Calls()) {
        if (call.rfind("make ", 0) == 0) {
            break;
        }
        if (call.rfind("init ", 0) == 0) {
            init = call;
        }
    }
    return init;
}

class ProjectChoices : public ::testing::Test {
protected:
    ProjectCommands& Commands(ConversionRig& rig) { return rig.core.projectCommands; }

    TestFolder folder_;
    ConversionRig rig_;
};

TEST_F(ProjectChoices, DiscStandardSplitShutDownAndOutputNamesComeBack)
{
    ASSERT_TRUE(rig_.AddInput(ListAt(folder_.File("a.lst"), 3)));
    ASSERT_TRUE(rig_.AddInput(ListAt(folder_.File("b.lst"), 3)));
    ASSERT_TRUE(rig_.core.settingsController.ChooseFormat(formatSvcd));
    ASSERT_TRUE(rig_.core.settingsController.ChooseStandard(standardPal));
    rig_.core.settings.splitOutput = true;
    rig_.core.settings.maxFileSizeMB = 700;
    rig_.core.settings.shutdownWhenDone = true;
    rig_.core.inputCommands.ChooseOutputFile(folder_.File("second part.mpg"));
    const std::string project = folder_.File("work.mdp");
    ASSERT_TRUE(Commands(rig_).SaveProject(project));

    ConversionRig loader;
    ASSERT_TRUE(Commands(loader).OpenProject(project));
    const ConversionSettings& settings = loader.core.settings;
    EXPECT_EQ(settings.outputFormat, formatSvcd);
    EXPECT_EQ(settings.tvStandard, standardPal);
    EXPECT_EQ(settings.frameWidth, 480);
    EXPECT_EQ(settings.frameHeight, 576);
    EXPECT_TRUE(settings.splitOutput);
    EXPECT_EQ(settings.maxFileSizeMB, 700);
    EXPECT_TRUE(settings.shutdownWhenDone);
    EXPECT_EQ(loader.Entry(0).outputPath, folder_.File("a.mpg"));
    EXPECT_EQ(loader.Entry(1).outputPath, folder_.File("second part.mpg"));
    EXPECT_TRUE(loader.messages.shown.empty());

    // The encoder is set up for PAL SVCD (1 * 16 + 3) and writes the chosen names.
    ConversionRun run{loader.core};
    run.StartConversion();
    EXPECT_EQ(InitCallBeforeFirstMake(loader.fake), "init 19");
    const std::vector<std::string> makes = loader.MakeCalls();
    ASSERT_EQ(makes.size(), 2u);
    EXPECT_EQ(makes[1].rfind("make " + folder_.File("second part.mpg") + " 480x576 ", 0), 0u) << makes[1];
    EXPECT_NE(makes[1].find(" split 700"), std::string::npos) << makes[1];
}

TEST_F(ProjectChoices, AProjectOfAnEarlierProgramKeepsTheChoicesInForce)
{
    ASSERT_TRUE(rig_.AddInput(ListAt(folder_.File("a.lst"), 3)));
    const std::string project = folder_.File("old.mdp");
    ASSERT_TRUE(Commands(rig_).SaveProject(project));
    // Cut after the header and the one record: what an earlier program wrote.
    std::vector<std::uint8_t> bytes = ReadBytes(project);
    ASSERT_GT(bytes.size(), 285u + 1104u) << "the extension block follows the record";
    bytes.resize(285 + 1104);
    std::ofstream(project, std::ios::binary | std::ios::trunc)
        .write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));

    ConversionRig loader;
    ASSERT_TRUE(loader.core.settingsController.ChooseFormat(formatDvd));
    ASSERT_TRUE(Commands(loader).OpenProject(project));
    EXPECT_EQ(loader.core.settings.outputFormat, formatDvd);
    EXPECT_EQ(loader.core.inputs.inputCount, 1);
    EXPECT_EQ(loader.Entry(0).path, folder_.File("a.lst"));
}

TEST_F(ProjectChoices, ALongPathAndANameThatIsNotUtf8GoThroughSaveOpenAndConvertWhole)
{
    // Over 300 bytes, in folders whose names hold Latin-1 bytes, not UTF-8.
    const std::string deep = folder_.File(std::string(140, 'd') + "/" + std::string(140, 'e') + "/caf\xe9");
    const std::string input = ListAt(deep + "/\xe9t\xe9 \xe0 la plage.lst", 3);
    const std::string output = deep + "/sortie \xe9t\xe9.mpg";
    ASSERT_GT(input.size(), 300u);
    ASSERT_TRUE(rig_.AddInput(input));
    rig_.core.inputCommands.ChooseOutputFile(output);
    const std::string project = deep + "/projet \xe9t\xe9.mdp";
    ASSERT_TRUE(Commands(rig_).SaveProject(project));

    ConversionRig loader;
    ASSERT_TRUE(Commands(loader).OpenProject(project)) << (loader.messages.shown.empty() ? "" : loader.messages.shown[0].text);
    ASSERT_EQ(loader.core.inputs.inputCount, 1);
    EXPECT_EQ(loader.Entry(0).path, input);
    EXPECT_EQ(loader.Entry(0).outputPath, output);
    EXPECT_EQ(loader.host.listBox, std::vector<std::string>{input});
    ConversionRun run{loader.core};
    run.StartConversion();
    const std::vector<std::string> makes = loader.MakeCalls();
    ASSERT_FALSE(makes.empty());
    EXPECT_EQ(makes[0].rfind("make " + output + " ", 0), 0u) << makes[0];
}

TEST_F(ProjectChoices, ARecordCutsALongUtf8NameBeforeACharacterNotInsideIt)
{
    // 257 bytes of folder, then two-byte characters: the record's 259 bytes end inside one.
    const std::string deep = folder_.File(std::string(257 - folder_.Path().size() - 1, 'f'));
    const std::string input = ListAt(deep + "/\xc3\xa9\xc3\xa9\xc3\xa9.lst", 2);
    ASSERT_TRUE(rig_.AddInput(input));
    const std::string project = folder_.File("cut.mdp");
    ASSERT_TRUE(Commands(rig_).SaveProject(project));
    const std::vector<std::uint8_t> bytes = ReadBytes(project);
    const std::string recordPath(reinterpret_cast<const char*>(&bytes.at(285)));
    EXPECT_EQ(recordPath, input.substr(0, 258)) << "the record ends before the split character";
}

TEST_F(ProjectChoices, AMissingInputIsNamedAndLeftOutWhileTheOthersLoad)
{
    ASSERT_TRUE(rig_.AddInput(ListAt(folder_.File("a.lst"), 2)));
    ASSERT_TRUE(rig_.AddInput(ListAt(folder_.File("gone.lst"), 3)));
    ASSERT_TRUE(rig_.AddInput(ListAt(folder_.File("c.lst"), 4)));
    rig_.core.inputCommands.ChooseOutputFile(folder_.File("third.mpg"));
    const std::string project = folder_.File("three.mdp");
    ASSERT_TRUE(Commands(rig_).SaveProject(project));
    std::filesystem::remove(folder_.File("gone.lst"));

    ConversionRig loader;
    ASSERT_TRUE(loader.AddInput(ListAt(folder_.File("earlier.lst"), 2)));
    EXPECT_TRUE(Commands(loader).OpenProject(project));
    EXPECT_EQ(loader.host.listBox, (std::vector<std::string>{folder_.File("a.lst"), folder_.File("c.lst")}));
    ASSERT_EQ(loader.core.inputs.inputCount, 2);
    EXPECT_EQ(loader.Entry(1).outputPath, folder_.File("third.mpg")) << "the third record's name goes with it";
    EXPECT_EQ(loader.Entry(1).totalFrames, 4u);
    EXPECT_EQ(loader.core.inputs.selectedInput, 1) << "the saved selection, on the input that moved up";
    ASSERT_EQ(loader.messages.shown.size(), 1u);
    EXPECT_NE(loader.messages.shown[0].text.find(folder_.File("gone.lst")), std::string::npos)
        << loader.messages.shown[0].text;
}

TEST_F(ProjectChoices, AProjectWhoseInputsAreAllGoneLeavesTheListAsItWas)
{
    ASSERT_TRUE(rig_.AddInput(ListAt(folder_.File("only.lst"), 2)));
    const std::string project = folder_.File("only.mdp");
    ASSERT_TRUE(Commands(rig_).SaveProject(project));
    std::filesystem::remove(folder_.File("only.lst"));

    ConversionRig loader;
    const std::string earlier = ListAt(folder_.File("earlier.lst"), 2);
    ASSERT_TRUE(loader.AddInput(earlier));
    EXPECT_FALSE(Commands(loader).OpenProject(project));
    EXPECT_EQ(loader.host.listBox, std::vector<std::string>{earlier});
    EXPECT_EQ(loader.core.inputs.inputCount, 1);
    EXPECT_TRUE(loader.Entry(0).listFile.IsOpen()) << "and its input still works";
    ASSERT_EQ(loader.messages.shown.size(), 1u);
    EXPECT_NE(loader.messages.shown[0].text.find(folder_.File("only.lst")), std::string::npos);
}

TEST_F(ProjectChoices, AnInputNamedRelativeToTheWorkingFolderIsSavedAbsolute)
{
    ListAt(folder_.File("here/rel.lst"), 2);
    const std::filesystem::path before = std::filesystem::current_path();
    std::filesystem::current_path(folder_.File("here"));
    const bool added = rig_.AddInput("rel.lst");
    const std::string project = folder_.File("rel.mdp");
    const bool saved = Commands(rig_).SaveProject(project);
    std::filesystem::current_path(before);
    ASSERT_TRUE(added);
    ASSERT_TRUE(saved);
    EXPECT_EQ(rig_.Entry(0).path, folder_.File("here/rel.lst"));

    ConversionRig loader; // started in another folder
    ASSERT_TRUE(Commands(loader).OpenProject(project));
    EXPECT_EQ(loader.Entry(0).path, folder_.File("here/rel.lst"));
    EXPECT_EQ(loader.Entry(0).outputPath, folder_.File("here/rel.mpg"));
}

} // namespace
} // namespace discforge::test
