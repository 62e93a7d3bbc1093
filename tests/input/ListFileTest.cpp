#include "input/ListFile.h"

#include "InputTestSupport.h"

#include "core/TextFormat.h"
#include "picture/PictureMessages.h"

#include <gtest/gtest.h>

#include <filesystem>

namespace discforge {
namespace {

using test::InputTableRig;

TEST(ListFile, ReadsLineKAsTheFrameSupplyDoes)
{
    const test::ScratchFolder folder;
    ListFile list;
    ASSERT_TRUE(list.Open(folder.WriteText("a.lst", "zero.bmp\r\none.bmp\n" + std::string(5000, 'x') + "\nlast.bmp")));
    std::string line;
    EXPECT_EQ(list.ReadLineAt(1, line), ListLineResult::ok);
    EXPECT_EQ(line, "one.bmp");
    EXPECT_EQ(list.ReadLineAt(0, line), ListLineResult::ok);
    EXPECT_EQ(line, "zero.bmp");
    // An overlong line stays one line (one frame), cut to the longest kept.
    EXPECT_EQ(list.ReadLineAt(2, line), ListLineResult::ok);
    EXPECT_EQ(line.size(), ListFile::maxLineLength);
    EXPECT_EQ(list.ReadLineAt(3, line), ListLineResult::ok);
    EXPECT_EQ(line, "last.bmp");
    EXPECT_EQ(list.ReadLineAt(4, line), ListLineResult::endOfFile);

    ListFile closed;
    EXPECT_EQ(closed.ReadLineAt(0, line), ListLineResult::rewindFailed);
}

TEST(ListFile, BareNamesComeFromTheListsFolder)
{
    EXPECT_EQ(ListDirectoryOf("/home/me/show.lst"), "/home/me/");
    EXPECT_EQ(ListDirectoryOf("show.lst"), "");
    EXPECT_EQ(ListPicturePath("a.bmp", "/home/me/"), "/home/me/a.bmp");
    EXPECT_EQ(ListPicturePath("sub/a.bmp", "/home/me/"), "sub/a.bmp");
    EXPECT_EQ(ListPicturePath("sub\\a.bmp", "/home/me/"), "sub\\a.bmp");
    EXPECT_EQ(ListPicturePath("/pics/a.bmp", "/home/me/"), "/pics/a.bmp");
}

TEST(OpenList, BareNamesAndPathsMakeOneFramePerLine)
{
    const test::ScratchFolder folder;
    test::WriteBmp(folder.Path("first.bmp"), 8, 6);
    std::filesystem::create_directories(folder.Path("sub"));
    test::WriteBmp(folder.Path("sub/b.bmp"), 4, 4);
    // Every line's picture is there: a list with a missing one does not open.
    const std::string list = folder.WriteText(
        "show.lst", "first.bmp\n" + folder.Path("first.bmp") + "\n" + folder.Path("sub/b.bmp") + "\n");
    InputTableRig rig;
    rig.settings.batchMode = true;
    // The choices of an input that held this slot before.
    rig.state.inputTable[0].pictureOptions = PictureOptions{FitMode::crop, true, true, 1, 2, 3, 4, 5, 6};
    // The bare name is found in the list's folder, not in the working directory.
    ASSERT_TRUE(rig.AddList(list));

    const InputEntry& entry = rig.state.inputTable[0];
    EXPECT_EQ(rig.picture.Path(), folder.Path("first.bmp"));
    EXPECT_EQ(entry.width, 8);
    EXPECT_EQ(entry.height, 6);
    EXPECT_EQ(entry.sourceBits, 24);
    EXPECT_EQ(entry.pictureOptions.outputWidth, 8);
    EXPECT_EQ(entry.pictureOptions.outputHeight, 6);
    EXPECT_EQ(entry.listDirectory, folder.Path(""));
    EXPECT_EQ(entry.totalFrames, 3u);
    EXPECT_EQ(entry.selectedFrames, 3u);
    EXPECT_EQ(entry.selectionEnd, 2);
    EXPECT_EQ(entry.lastFrame, 2);
    EXPECT_EQ(entry.frameRate, 1.0);
    EXPECT_FALSE(entry.hasAudio);
    EXPECT_FALSE(entry.isVideoFile);
    EXPECT_EQ(entry.samplesPerFrame, 0);
    EXPECT_EQ(entry.totalSamples, 0);
    EXPECT_EQ(entry.pictureOptions.fitting, FitMode::proportional);
    EXPECT_FALSE(entry.pictureOptions.deinterlace);
    EXPECT_FALSE(entry.pictureOptions.invert);
    EXPECT_FALSE(HasCropRectangle(entry.pictureOptions));
    EXPECT_EQ(entry.openMarker, 1);
    EXPECT_EQ(rig.state.selectedInput, 0);
    EXPECT_EQ(rig.state.currentInput, 0);
    EXPECT_EQ(rig.state.videoFileCount, 0);

    // Active: the list file is open and rewound, ready for line 0.
    ASSERT_TRUE(rig.state.inputTable[0].listFile.IsOpen());
    std::string line;
    ASSERT_TRUE(rig.state.inputTable[0].listFile.ReadLine(line));
    EXPECT_EQ(line, "first.bmp");
}

TEST(OpenList, DeactivatingAndActivatingClosesAndReopensTheList)
{
    const test::ScratchFolder folder;
    test::WriteBmp(folder.Path("a.bmp"), 4, 4);
    InputTableRig rig;
    ASSERT_TRUE(rig.AddList(folder.WriteText("one.lst", "a.bmp\n")));
    ASSERT_TRUE(rig.AddList(folder.WriteText("two.lst", "a.bmp\n")));
    EXPECT_FALSE(rig.state.inputTable[0].listFile.IsOpen());
    EXPECT_TRUE(rig.state.inputTable[1].listFile.IsOpen());

    EXPECT_TRUE(rig.table.ActivateInput(0));
    EXPECT_TRUE(rig.state.inputTable[0].listFile.IsOpen());
    rig.table.DeactivateInput(1);
    EXPECT_FALSE(rig.state.inputTable[1].listFile.IsOpen());

    std::filesystem::remove(folder.Path("two.lst"));
    EXPECT_FALSE(rig.table.ActivateInput(1));
    ASSERT_EQ(rig.messages.shown.size(), 1u);
    EXPECT_EQ(rig.messages.shown[0].text, "Can't open file " + folder.Path("two.lst") + ".");
    EXPECT_EQ(rig.messages.shown[0].caption, "Ferrowick Discforge - open file list error");
}

TEST(OpenList, AnEmptyListIsRefused)
{
    const test::ScratchFolder folder;
    const std::string list = folder.WriteText("empty.lst", "");
    InputTableRig rig;
    EXPECT_FALSE(rig.AddList(list));
    ASSERT_EQ(rig.messages.shown.size(), 1u);
    EXPECT_EQ(rig.messages.shown[0].text, "Error reading file " + list + ".");
    EXPECT_EQ(rig.messages.shown[0].caption, "Ferrowick Discforge - add file error");
    EXPECT_EQ(rig.state.inputCount, 0);
    EXPECT_EQ(rig.state.selectedInput, -1);
    EXPECT_FALSE(rig.state.inputTable[0].listFile.IsOpen());
}

TEST(OpenList, AMissingListIsRefused)
{
    const test::ScratchFolder folder;
    InputTableRig rig;
    EXPECT_FALSE(rig.AddList(folder.Path("gone.lst")));
    ASSERT_EQ(rig.messages.shown.size(), 1u);
    EXPECT_EQ(rig.messages.shown[0].text, "Can't open file " + folder.Path("gone.lst") + ".");
    EXPECT_EQ(rig.messages.shown[0].caption, "Ferrowick Discforge - open file list error");
}

TEST(OpenList, ABadFirstPictureIsRefusedWithThePicturesOwnError)
{
    const test::ScratchFolder folder;
    const std::string notAPicture = folder.WriteText("notes.bmp", "these are notes, not a picture");
    const std::string list = folder.WriteText("bad.lst", "notes.bmp\nmissing.bmp\n");
    InputTableRig rig;
    ASSERT_TRUE(rig.AddVideo("/v/a.avi"));

    EXPECT_FALSE(rig.AddList(list));
    ASSERT_EQ(rig.messages.shown.size(), 1u);
    EXPECT_EQ(rig.messages.shown[0].text, FormatText(picture_message::unknownType, notAPicture.c_str()));
    EXPECT_EQ(rig.messages.shown[0].caption, "Ferrowick Discforge - add file error");
    EXPECT_EQ(rig.state.inputCount, 1);
    EXPECT_EQ(rig.state.selectedInput, 0);
    EXPECT_FALSE(rig.state.inputTable[1].listFile.IsOpen());
    EXPECT_EQ(rig.streams.openPaths.count("/v/a.avi"), 1u);

    const std::string missingFirst = folder.WriteText("missing.lst", "missing.bmp\n");
    EXPECT_FALSE(rig.AddList(missingFirst));
    ASSERT_EQ(rig.messages.shown.size(), 2u);
    EXPECT_EQ(rig.messages.shown[1].text, FormatText(picture_message::openFailed, folder.Path("missing.bmp").c_str()));
}

TEST(OpenList, WithoutBatchModeAfterSoundTheListCarriesSilence)
{
    const test::ScratchFolder folder;
    test::WriteBmp(folder.Path("a.bmp"), 4, 4);
    InputTableRig rig;
    rig.settings.batchMode = false;
    test::MediaFigures sound;
    sound.hasAudio = true;
    ASSERT_TRUE(rig.AddVideo("/v/a.avi", sound));
    ASSERT_TRUE(rig.AddList(folder.WriteText("show.lst", "a.bmp\na.bmp\n")));

    const InputEntry& entry = rig.state.inputTable[1];
    EXPECT_EQ(entry.bytesPerSample, 4);
    EXPECT_EQ(entry.samplesPerFrame, rig.state.sharedBytesPerFrame / 4);
    EXPECT_EQ(entry.totalSamples, 2 * entry.samplesPerFrame);
    EXPECT_EQ(entry.selectedSamples, entry.totalSamples);
    EXPECT_FALSE(entry.hasAudio);
}

} // namespace
} // namespace discforge
