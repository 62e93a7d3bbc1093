// Saving and opening projects with real inputs: what the file holds, what a
// load restores and what it leaves as the reopening gives it, and every way a
// load or a save can fail.
#include "ConversionRig.h"

#include "SampleMedia.h"
#include "app/ProjectCommands.h"
#include "support/TestFolder.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <csignal>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <sys/resource.h>

namespace discforge::test {
namespace {

std::vector<std::uint8_t> ReadBytes(const std::string& path)
{
    std::ifstream file(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>()};
}

void WriteBytes(const std::string& path, const std::vector<std::uint8_t>& bytes)
{
    std::ofstream file(path, std::ios::binary | std::ios::trunc);
    file.write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
}

std::int32_t IntAt(const std::vector<std::uint8_t>& bytes, std::size_t offset)
{
    return static_cast<std::int32_t>(static_cast<std::uint32_t>(bytes.at(offset))
        | static_cast<std::uint32_t>(bytes.at(offset + 1)) << 8 | static_cast<std::uint32_t>(bytes.at(offset + 2)) << 16
        | static_cast<std::uint32_t>(bytes.at(offset + 3)) << 24);
}

// A list of `pictures` copied into the test's folder, so the test may move it away.
std::string OwnList(const TestFolder& folder, const std::string& name, int pictures)
{
    const std::filesystem::path source = SampleList(pictures, 64, 48, true);
    std::filesystem::copy_file(source, folder.File(name), std::filesystem::copy_options::overwrite_existing);
    return folder.File(name);
}

class ProjectCommandsTest : public ::testing::Test {
protected:
    ProjectCommands& Commands(ConversionRig& rig) { return rig.core.projectCommands; }
    std::string LastMessage(const ConversionRig& rig) const
    {
        return rig.messages.shown.empty() ? ""
                                          : rig.messages.shown.back().caption + ": " + rig.messages.shown.back().text;
    }

    TestFolder folder_;
    ConversionRig rig_;
};

TEST_F(ProjectCommandsTest, TheFileHoldsTheHeaderAndEachInputsChoicesAtTheirOffsets)
{
    ASSERT_TRUE(rig_.AddInput(OwnList(folder_, "a.lst", 3)));
    ASSERT_TRUE(rig_.AddInput(OwnList(folder_, "b.lst", 4)));
    ASSERT_TRUE(rig_.AddInput(OwnList(folder_, "c.lst", 5)));
    InputEntry& second = rig_.Entry(1);
    second.pictureOptions.fitting = FitMode::crop;
    second.pictureOptions.invert = true;
    second.pictureOptions.deinterlace = true;
    second.pictureOptions.cropX = 4;
    second.pictureOptions.cropY = 6;
    second.pictureOptions.cropWidth = 40;
    second.pictureOptions.cropHeight = 30;
    second.selectionStart = 1;
    second.selectionEnd = 2;
    second.selectedFrames = 2;
    second.position = 3;
    rig_.core.inputs.framePosition = 2;
    const std::string path = folder_.File("three.mdp");
    ASSERT_TRUE(Commands(rig_).SaveProject(path));

    const std::vector<std::uint8_t> bytes = ReadBytes(path);
    ASSERT_GT(bytes.size(), 285u + 3 * 1104u);
    EXPECT_EQ(std::string(bytes.begin() + 285 + 3 * 1104, bytes.begin() + 285 + 3 * 1104 + 4), "FDXB")
        << "the extension block follows the records";
    EXPECT_EQ(IntAt(bytes, 0), 1) << "batch mode";
    EXPECT_EQ(IntAt(bytes, 4), 3);
    EXPECT_EQ(IntAt(bytes, 8), 2) << "the input opened last is selected";
    EXPECT_EQ(IntAt(bytes, 12), 2);
    const std::size_t record = 285 + 1104;
    const std::string listPath = folder_.File("b.lst");
    EXPECT_EQ(
        std::string(bytes.begin() + record, bytes.begin() + record + static_cast<long>(listPath.size())), listPath);
    EXPECT_EQ(bytes[record + listPath.size()], 0);
    EXPECT_EQ(bytes[record + 958], 1) << "deinterlace";
    EXPECT_EQ(bytes[record + 959], 1) << "invert";
    EXPECT_EQ(bytes[record + 960], 1) << "cut to size";
    EXPECT_EQ(bytes[record + 961], 0);
    EXPECT_EQ(bytes[record + 962], 0);
    EXPECT_EQ(IntAt(bytes, record + 964), 4);
    EXPECT_EQ(IntAt(bytes, record + 968), 6);
    EXPECT_EQ(IntAt(bytes, record + 972), 40);
    EXPECT_EQ(IntAt(bytes, record + 976), 30);
    EXPECT_EQ(IntAt(bytes, record + 980), 1);
    EXPECT_EQ(IntAt(bytes, record + 984), 2);
    EXPECT_EQ(IntAt(bytes, record + 996), 1) << "open marker";
    EXPECT_EQ(IntAt(bytes, record + 1004), 3);
    EXPECT_EQ(IntAt(bytes, record + 1012), 2);
    EXPECT_EQ(std::vector<std::uint8_t>(bytes.begin() + record + 780, bytes.begin() + record + 824),
        std::vector<std::uint8_t>(44, 0))
        << "no stream object reaches the file";

    ASSERT_TRUE(Commands(rig_).SaveProject(folder_.File("again.mdp")));
    EXPECT_EQ(ReadBytes(folder_.File("again.mdp")), bytes) << "the same project gives the same file";
}

TEST_F(ProjectCommandsTest, EveryRestoredChoiceSurvivesASaveAndALoadAndTheOutputNameIsProposedAgain)
{
    // MPEG-4 goes through the sequential fetch, whose activation makes the picture upright.
    mediagen::AviRecipe recipe;
    recipe.video = mediagen::VideoCodec::Mpeg4;
    recipe.audio = mediagen::AudioForm::Stereo16At44100;
    recipe.width = 176;
    recipe.height = 144;
    recipe.frames = 20;
    const std::string clip = SampleAvi(recipe);
    ASSERT_TRUE(rig_.AddInput(OwnList(folder_, "pictures.lst", 4)));
    ASSERT_TRUE(rig_.AddInput(clip));
    rig_.core.inputCommands.ChooseOutputFile(folder_.File("chosen.mpg"));
    InputEntry& video = rig_.Entry(1);
    ASSERT_TRUE(video.streams) << "the input opened last is active";
    video.pictureOptions.fitting = FitMode::fillIn;
    video.pictureOptions.invert = true;
    video.pictureOptions.cropX = 8;
    video.pictureOptions.cropY = 2;
    video.pictureOptions.cropWidth = 100;
    video.pictureOptions.cropHeight = 80;
    video.pictureOptions.outputWidth = 64; // not restored: the reopening gives the source size
    video.selectionStart = 5;
    video.selectionEnd = 14;
    video.selectedFrames = 10;
    video.position = 7;
    video.audioSelectionStart = 8820;
    video.selectedSamples = 17640;
    rig_.Entry(0).pictureOptions.deinterlace = true;
    rig_.core.inputs.framePosition = 6;
    const PictureOptions savedOptions = video.pictureOptions;
    const std::string path = folder_.File("two.mdp");
    ASSERT_TRUE(Commands(rig_).SaveProject(path));

    ConversionRig loader;
    ASSERT_TRUE(loader.AddInput(OwnList(folder_, "replaced.lst", 2)));
    ASSERT_TRUE(Commands(loader).OpenProject(path)) << LastMessage(loader);
    ASSERT_EQ(loader.core.inputs.inputCount, 2);
    EXPECT_EQ(loader.host.listBox, (std::vector<std::string>{folder_.File("pictures.lst"), clip}));
    const InputEntry& loaded = loader.Entry(1);
    PictureOptions expected = savedOptions;
    expected.outputWidth = loaded.width;
    EXPECT_EQ(loaded.pictureOptions, expected);
    EXPECT_EQ(loaded.pictureOptions.outputWidth, 176);
    EXPECT_EQ(loaded.selectionStart, 5);
    EXPECT_EQ(loaded.selectionEnd, 14);
    EXPECT_EQ(loaded.selectedFrames, 10u);
    EXPECT_EQ(loaded.position, 7);
    EXPECT_EQ(loaded.audioSelectionStart, 8820);
    EXPECT_EQ(loaded.selectedSamples, 17640);
    EXPECT_EQ(loaded.openMarker, 1);
    EXPECT_TRUE(loader.Entry(0).pictureOptions.deinterlace);
    EXPECT_EQ(loaded.outputPath, folder_.File("chosen.mpg")) << "the chosen name, not a proposed one";
    EXPECT_EQ(loader.core.inputs.selectedInput, 1);
    EXPECT_EQ(loader.core.inputs.framePosition, 6);
    EXPECT_TRUE(loaded.streams) << "the selected input is active";
}

TEST_F(ProjectCommandsTest, TheFramesShapeIsKeptAfterTheRecordsAndAFileWithoutItOpensAsAutomatic)
{
    ASSERT_TRUE(rig_.AddInput(OwnList(folder_, "a.lst", 3)));
    const std::string automatic = folder_.File("automatic.mdp");
    ASSERT_TRUE(Commands(rig_).SaveProject(automatic));
    const std::vector<std::uint8_t> plain = ReadBytes(automatic);
    const std::size_t block = 285 + 1104;
    ASSERT_GE(plain.size(), block + 10);
    ASSERT_EQ(std::string(plain.begin() + block, plain.begin() + block + 4), "FDXB");
    const int entries = IntAt(plain, block + 6);

    for (const ShapeChoice shape : {ShapeChoice::sixteenByNine, ShapeChoice::fourByThree}) {
        rig_.core.settings.shapeChoice = shape;
        const std::string path = folder_.File("shaped.mdp");
        ASSERT_TRUE(Commands(rig_).SaveProject(path));
        const std::vector<std::uint8_t> bytes = ReadBytes(path);
        // Automatic writes no shape entry; another shape adds one, the first of the
        // block: tag 1, the batch's scope, four bytes of the shape.
        ASSERT_EQ(bytes.size(), plain.size() + 2 + 2 + 4 + 4);
        EXPECT_EQ(IntAt(bytes, block + 6), entries + 1);
        EXPECT_EQ(bytes[block + 10], 1) << "tag";
        EXPECT_EQ(bytes[block + 12], 0xFF) << "batch scope";
        EXPECT_EQ(bytes[block + 13], 0xFF) << "batch scope";
        EXPECT_EQ(IntAt(bytes, block + 14), 4) << "length";
        EXPECT_EQ(IntAt(bytes, block + 18), shape == ShapeChoice::sixteenByNine ? 2 : 1);
        EXPECT_TRUE(std::equal(bytes.begin() + block + 22, bytes.end(), plain.begin() + block + 10))
            << "the other entries follow as they were";

        ConversionRig loader;
        ASSERT_TRUE(Commands(loader).OpenProject(path)) << LastMessage(loader);
        EXPECT_EQ(loader.core.settings.shapeChoice, shape);
        loader.core.settings.shapeChoice = ShapeChoice::sixteenByNine;
        ASSERT_TRUE(Commands(loader).OpenProject(automatic)) << LastMessage(loader);
        EXPECT_EQ(loader.core.settings.shapeChoice, ShapeChoice::automatic);
    }
}

TEST_F(ProjectCommandsTest, TheDiscMenuAndTheTitlesNamesAreKeptAndAnOlderFileOpensWithoutAMenu)
{
    ASSERT_TRUE(rig_.AddInput(OwnList(folder_, "a.lst", 3)));
    ASSERT_TRUE(rig_.AddInput(OwnList(folder_, "b.lst", 3)));
    EXPECT_TRUE(rig_.core.settings.discMenu) << "new work gets a menu";
    rig_.core.settings.menuBackground = folder_.File("back & forth.png");
    rig_.core.inputs.inputTable[1].titleName = "Tom & Jerry <2> \"Grüße\"";
    const std::string path = folder_.File("menu.mdp");
    ASSERT_TRUE(Commands(rig_).SaveProject(path));

    ConversionRig loader;
    loader.core.settings.discMenu = false;
    ASSERT_TRUE(Commands(loader).OpenProject(path)) << LastMessage(loader);
    EXPECT_TRUE(loader.core.settings.discMenu);
    EXPECT_EQ(loader.core.settings.menuBackground, folder_.File("back & forth.png"));
    EXPECT_EQ(loader.core.inputs.inputTable[0].titleName, "");
    EXPECT_EQ(loader.core.inputs.inputTable[1].titleName, "Tom & Jerry <2> \"Grüße\"");

    rig_.core.settings.discMenu = false;
    ASSERT_TRUE(Commands(rig_).SaveProject(path));
    ASSERT_TRUE(Commands(loader).OpenProject(path)) << LastMessage(loader);
    EXPECT_FALSE(loader.core.settings.discMenu);

    // Written before the block existed: the header and the records only.
    std::vector<std::uint8_t> older = ReadBytes(path);
    older.resize(285 + 2 * 1104);
    WriteBytes(path, older);
    loader.core.settings.discMenu = true;
    ASSERT_TRUE(Commands(loader).OpenProject(path)) << LastMessage(loader);
    EXPECT_FALSE(loader.core.settings.discMenu) << "an older file opens as it did, without a menu";
    EXPECT_EQ(loader.core.settings.menuBackground, "");
    EXPECT_EQ(loader.core.inputs.inputTable[1].titleName, "");
}

TEST_F(ProjectCommandsTest, TheSingleOutputNameAndSharedSizeComeFromTheFileOnlyWithoutBatchMode)
{
    ASSERT_TRUE(rig_.AddInput(OwnList(folder_, "one.lst", 2)));
    const std::string batchProject = folder_.File("batch.mdp");
    ASSERT_TRUE(Commands(rig_).SaveProject(batchProject));
    rig_.core.settings.batchMode = false;
    rig_.core.inputs.sharedOutputName = folder_.File("joined.mpg");
    rig_.core.inputs.sharedWidth = 320;
    rig_.core.inputs.sharedHeight = 200;
    const std::string joinedProject = folder_.File("joined.mdp");
    ASSERT_TRUE(Commands(rig_).SaveProject(joinedProject));

    ConversionRig loader;
    loader.core.inputs.sharedOutputName = "/kept.mpg";
    loader.core.inputs.sharedWidth = 100;
    loader.core.inputs.sharedHeight = 80;
    ASSERT_TRUE(Commands(loader).OpenProject(batchProject)) << LastMessage(loader);
    EXPECT_TRUE(loader.core.settings.batchMode);
    EXPECT_EQ(loader.core.inputs.sharedOutputName, "/kept.mpg");
    EXPECT_EQ(loader.core.inputs.sharedWidth, 100);
    EXPECT_EQ(loader.core.inputs.sharedHeight, 80);

    ASSERT_TRUE(Commands(loader).OpenProject(joinedProject)) << LastMessage(loader);
    EXPECT_FALSE(loader.core.settings.batchMode);
    EXPECT_EQ(loader.core.inputs.sharedOutputName, folder_.File("joined.mpg"));
    EXPECT_EQ(loader.core.inputs.sharedWidth, 320);
    EXPECT_EQ(loader.core.inputs.sharedHeight, 200);
}

TEST_F(ProjectCommandsTest, AnInputMovedAwayIsNamedAndTheOthersLoadInTheProjectsBatchMode)
{
    ASSERT_TRUE(rig_.AddInput(OwnList(folder_, "first.lst", 2)));
    ASSERT_TRUE(rig_.AddInput(OwnList(folder_, "moved.lst", 2)));
    rig_.core.settings.batchMode = false;
    const std::string path = folder_.File("moved.mdp");
    ASSERT_TRUE(Commands(rig_).SaveProject(path));
    std::filesystem::rename(folder_.File("moved.lst"), folder_.File("elsewhere.lst"));

    ConversionRig loader;
    ASSERT_TRUE(loader.AddInput(OwnList(folder_, "earlier.lst", 2)));
    EXPECT_TRUE(Commands(loader).OpenProject(path));
    EXPECT_EQ(loader.core.inputs.inputCount, 1);
    EXPECT_EQ(loader.host.listBox, std::vector<std::string>{folder_.File("first.lst")});
    EXPECT_FALSE(loader.core.settings.batchMode);
    EXPECT_EQ(LastMessage(loader),
        "Ferrowick Discforge - Project open error: These inputs of the project " + path
            + " are missing and are left out:\n" + folder_.File("moved.lst"));
}

TEST_F(ProjectCommandsTest, AnInputThatNoLongerOpensIsLeftOutAfterItsReadersMessage)
{
    mediagen::AviRecipe recipe;
    recipe.video = mediagen::VideoCodec::Mjpeg;
    recipe.width = 64;
    recipe.height = 48;
    recipe.frames = 5;
    const std::string clip = folder_.File("clip.avi");
    std::filesystem::copy_file(SampleAvi(recipe), clip);
    ASSERT_TRUE(rig_.AddInput(OwnList(folder_, "first.lst", 2)));
    ASSERT_TRUE(rig_.AddInput(clip));
    const std::string path = folder_.File("overwritten.mdp");
    ASSERT_TRUE(Commands(rig_).SaveProject(path));
    std::ofstream(clip, std::ios::trunc) << "a letter saved over the film\n";

    ConversionRig loader;
    EXPECT_TRUE(Commands(loader).OpenProject(path));
    EXPECT_EQ(loader.host.listBox, std::vector<std::string>{folder_.File("first.lst")});
    EXPECT_EQ(loader.core.inputs.selectedInput, 0);
    EXPECT_FALSE(loader.messages.shown.empty()) << "the reader says why";
}

TEST_F(ProjectCommandsTest, AProjectWhoseFilesAllFailToOpenLeavesTheEarlierListItsOptionsAndChoices)
{
    // The project's inputs: an MP4 made by ffmpeg and an AVI, both opening when saved.
    mediagen::AviRecipe recipe;
    recipe.video = mediagen::VideoCodec::Mjpeg;
    recipe.width = 64;
    recipe.height = 48;
    recipe.frames = 25;
    const std::string movie = folder_.File("holiday.mp4");
    std::filesystem::copy_file(
        FfmpegCopy(SampleAvi(recipe), "-c:v libx264 -preset veryfast -pix_fmt yuv420p", "project-whole.mp4"), movie);
    const std::string clip = folder_.File("clip.avi");
    std::filesystem::copy_file(SampleAvi(recipe), clip);
    ASSERT_TRUE(rig_.AddInput(movie));
    ASSERT_TRUE(rig_.AddInput(clip));
    rig_.core.settingsController.ChooseFormat(formatDvd);
    const std::string path = folder_.File("broken.mdp");
    ASSERT_TRUE(Commands(rig_).SaveProject(path));
    // Both files are still there, but neither opens: the film was cut in half (its
    // index at the end with it) and the AVI's name now holds a letter.
    const std::vector<std::uint8_t> whole = ReadBytes(movie);
    WriteBytes(
        movie, std::vector<std::uint8_t>(whole.begin(), whole.begin() + static_cast<std::ptrdiff_t>(whole.size() / 2)));
    std::ofstream(clip, std::ios::trunc) << "Dear Sir, please find the film attached.\n";

    ConversionRig loader;
    const std::string first = OwnList(folder_, "first.lst", 3);
    const std::string second = OwnList(folder_, "second.lst", 2);
    ASSERT_TRUE(loader.AddInput(first));
    ASSERT_TRUE(loader.AddInput(second));
    ASSERT_TRUE(loader.core.settingsController.ChooseStandard(standardPal));
    loader.core.batchStandard.ChosenByUser();
    loader.Entry(0).pictureOptions.invert = true;
    loader.Entry(1).pictureOptions.fitting = FitMode::fillIn;
    loader.Entry(1).outputPath = folder_.File("chosen.mpg");
    loader.core.inputCommands.SelectInput(0);
    ASSERT_EQ(loader.core.inputs.selectedInput, 0);
    const std::size_t callsBefore = loader.fake.Calls().size();

    EXPECT_FALSE(Commands(loader).OpenProject(path));
    EXPECT_EQ(LastMessage(loader),
        "Ferrowick Discforge - Project open error: None of the inputs of the project " + path
            + " could be opened; the list stays as it was.");
    const auto named = [&](const std::string& file) {
        return std::any_of(loader.messages.shown.begin(), loader.messages.shown.end(),
            [&](const auto& shown) { return shown.text.find(file) != std::string::npos; });
    };
    EXPECT_TRUE(named(movie)) << "the reader names the cut film";
    EXPECT_TRUE(named(clip)) << "the reader names the letter";

    ASSERT_EQ(loader.core.inputs.inputCount, 2);
    EXPECT_EQ(loader.host.listBox, (std::vector<std::string>{first, second}));
    EXPECT_EQ(loader.Entry(0).path, first);
    EXPECT_TRUE(loader.Entry(0).pictureOptions.invert);
    EXPECT_EQ(loader.Entry(1).pictureOptions.fitting, FitMode::fillIn);
    EXPECT_EQ(loader.Entry(1).outputPath, folder_.File("chosen.mpg"));
    EXPECT_EQ(loader.core.inputs.selectedInput, 0);
    EXPECT_EQ(loader.core.inputs.currentInput, 0);
    EXPECT_TRUE(loader.Entry(0).listFile.IsOpen()) << "the selected input is active again";
    EXPECT_FALSE(loader.Entry(1).listFile.IsOpen());
    // The project's DVD reached the encoder while its inputs were tried; the earlier VCD in PAL is back.
    EXPECT_EQ(loader.core.settings.outputFormat, formatVcd);
    EXPECT_EQ(loader.core.settings.tvStandard, standardPal);
    EXPECT_TRUE(loader.core.batchStandard.IsChosenByUser());
    const std::vector<std::string> calls = loader.fake.Calls();
    ASSERT_GT(calls.size(), callsBefore);
    EXPECT_EQ(calls.back(), "init 17") << "PAL (16) VCD (1)";

    // The kept inputs still work: the other one can be chosen and shows its own options.
    loader.core.inputCommands.SelectInput(1);
    EXPECT_EQ(loader.core.inputs.selectedInput, 1);
    EXPECT_TRUE(loader.Entry(1).listFile.IsOpen());
    EXPECT_EQ(loader.core.inputs.inputCount, 2);
}

TEST_F(ProjectCommandsTest, AShortHeaderOrTooManyInputsIsRefusedBeforeAnythingChanges)
{
    ASSERT_TRUE(rig_.AddInput(OwnList(folder_, "kept.lst", 2)));
    const std::string path = folder_.File("damaged.mdp");
    ASSERT_TRUE(Commands(rig_).SaveProject(path));
    std::vector<std::uint8_t> bytes = ReadBytes(path);
    const std::string readError = "Ferrowick Discforge - Project open error: Can not read from file " + path + ".";

    std::vector<std::uint8_t> header(bytes.begin(), bytes.begin() + 284);
    header[0] = 0; // batch mode off, in the part that could be read
    WriteBytes(path, header);
    EXPECT_FALSE(Commands(rig_).OpenProject(path));
    EXPECT_EQ(LastMessage(rig_), readError);
    EXPECT_EQ(rig_.core.inputs.inputCount, 1);
    EXPECT_TRUE(rig_.core.settings.batchMode);

    bytes[4] = 1; // 257 inputs
    bytes[5] = 1;
    WriteBytes(path, bytes);
    rig_.messages.shown.clear();
    EXPECT_FALSE(Commands(rig_).OpenProject(path));
    EXPECT_EQ(LastMessage(rig_), readError);
    EXPECT_EQ(rig_.core.inputs.inputCount, 1);

    EXPECT_FALSE(Commands(rig_).OpenProject(folder_.File("missing.mdp")));
    EXPECT_EQ(LastMessage(rig_),
        "Ferrowick Discforge - Project open error: Can not open file " + folder_.File("missing.mdp") + ".");
}

TEST_F(ProjectCommandsTest, AShortRecordKeepsTheInputsOpenedBeforeItAndANegativeCountLoadsNone)
{
    ASSERT_TRUE(rig_.AddInput(OwnList(folder_, "whole.lst", 2)));
    ASSERT_TRUE(rig_.AddInput(OwnList(folder_, "cut.lst", 2)));
    const std::string path = folder_.File("cut.mdp");
    ASSERT_TRUE(Commands(rig_).SaveProject(path));
    std::vector<std::uint8_t> bytes = ReadBytes(path);
    // Cut one byte short of the second record (the extension block goes with it).
    WriteBytes(path, std::vector<std::uint8_t>(bytes.begin(), bytes.begin() + 285 + 2 * 1104 - 1));

    ConversionRig loader;
    EXPECT_FALSE(Commands(loader).OpenProject(path));
    EXPECT_EQ(LastMessage(loader), "Ferrowick Discforge - Project open error: Can not read from file " + path + ".");
    ASSERT_EQ(loader.core.inputs.inputCount, 1);
    EXPECT_EQ(loader.Entry(0).path, folder_.File("whole.lst"));
    EXPECT_TRUE(loader.Entry(0).listFile.IsOpen()) << "the input left is active";

    bytes[4] = bytes[5] = bytes[6] = bytes[7] = 0xFF;
    WriteBytes(path, bytes);
    EXPECT_TRUE(Commands(loader).OpenProject(path));
    EXPECT_EQ(loader.core.inputs.inputCount, 0);
    EXPECT_EQ(loader.core.inputs.selectedInput, -1);
}

TEST_F(ProjectCommandsTest, AFailedSaveLeavesTheEarlierProjectAsItWas)
{
    ASSERT_TRUE(rig_.AddInput(OwnList(folder_, "only.lst", 2)));
    const std::string path = folder_.File("kept.mdp");
    ASSERT_TRUE(Commands(rig_).SaveProject(path));
    const std::vector<std::uint8_t> earlier = ReadBytes(path);
    ASSERT_TRUE(rig_.AddInput(OwnList(folder_, "more.lst", 2)));
    ASSERT_TRUE(rig_.AddInput(OwnList(folder_, "most.lst", 2)));

    // A file size limit makes the write fail part way, as a full disk does.
    rlimit saved{};
    ASSERT_EQ(::getrlimit(RLIMIT_FSIZE, &saved), 0);
    const auto previousHandler = std::signal(SIGXFSZ, SIG_IGN);
    rlimit small = saved;
    small.rlim_cur = 2000;
    ASSERT_EQ(::setrlimit(RLIMIT_FSIZE, &small), 0);
    const bool written = Commands(rig_).SaveProject(path);
    ::setrlimit(RLIMIT_FSIZE, &saved);
    std::signal(SIGXFSZ, previousHandler);

    EXPECT_FALSE(written);
    EXPECT_EQ(LastMessage(rig_), "Ferrowick Discforge - Project save error: Can not write to file " + path + ".");
    EXPECT_EQ(ReadBytes(path), earlier);
    int files = 0;
    for ([[maybe_unused]] const auto& file : std::filesystem::directory_iterator(folder_.Path())) {
        ++files;
    }
    EXPECT_EQ(files, 4) << "three lists and the project, no half-written file beside them";

    const std::string nowhere = folder_.File("no-such-folder/p.mdp");
    EXPECT_FALSE(Commands(rig_).SaveProject(nowhere));
    EXPECT_EQ(LastMessage(rig_), "Ferrowick Discforge - Project save error: Can not save file " + nowhere + ".");
}

} // namespace
} // namespace discforge::test
