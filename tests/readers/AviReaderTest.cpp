#include "ReaderTestSupport.h"

#include "core/ControlIds.h"
#include "input/StreamGraph.h"

#include <gtest/gtest.h>

namespace discforge::test {
namespace {

using mediagen::AudioForm;
using mediagen::FrameRate;
using mediagen::VideoCodec;

// Opens entry 0 of a rig through the AVI reader alone, as the stream open does for kind 3.
bool OpenThroughReader(ReaderRig& rig, const std::string& path)
{
    rig.Entry(0).path = path;
    return rig.reader.Avi().OpenAviReader(0);
}

TEST(AviReader, RecordsTheFrameRange)
{
    ReaderRig rig;
    ASSERT_TRUE(OpenThroughReader(
        rig, SampleAvi(SmallRecipe(VideoCodec::Mjpeg, AudioForm::Mono8At11025, FrameRate::Ntsc2997, 40))));
    const AviReaderEntry& entry = rig.media.avi.aviReaderTable[0];
    EXPECT_TRUE(entry.videoReady);
    EXPECT_TRUE(entry.isAviFile);
    EXPECT_FALSE(entry.hasAudio);
    EXPECT_TRUE(entry.audioAviStream);
    EXPECT_EQ(entry.firstFrame, 0);
    EXPECT_EQ(entry.lastFrame, 39);
    EXPECT_EQ(entry.selectionEnd, 39);
    EXPECT_EQ(entry.totalFrames, 40u);
    EXPECT_EQ(entry.msPerFrame, 33);
    EXPECT_EQ(entry.sourceBits, 32);
    EXPECT_EQ(entry.openMarker, 1);
    EXPECT_EQ(entry.streamInfo.handler, MakeFourCC('M', 'J', 'P', 'G'));
    EXPECT_EQ(rig.media.avi.aviReaderCount, 1);
    EXPECT_EQ(rig.inputs.selectedInput, 0);
    EXPECT_EQ(rig.inputs.currentInput, 0);
    EXPECT_EQ(NumberInBitmap(entry.getFrame->GetFrame(17)), 17);
    rig.reader.Avi().ReleaseAviReader(0);
    EXPECT_FALSE(entry.getFrame);
    EXPECT_FALSE(entry.aviFile);
}

TEST(AviReader, TheLastDecodableFrameOfATruncatedFile)
{
    const std::string& whole = SampleAvi(SmallRecipe(VideoCodec::Mjpeg, AudioForm::None, FrameRate::Pal25, 60));
    const std::string cut = TruncatedCopy(whole, FileSize(whole) * 2 / 3, "cut-mjpeg.avi");
    ReaderRig rig;
    ASSERT_TRUE(OpenThroughReader(rig, cut));
    const AviReaderEntry& entry = rig.media.avi.aviReaderTable[0];
    // Without its index the file is scanned: its length is what is there.
    EXPECT_GT(entry.lastFrame, 30);
    EXPECT_LT(entry.lastFrame, 59);
    EXPECT_LE(entry.lastFrame, static_cast<int>(entry.totalFrames) - 1);
    EXPECT_EQ(NumberInBitmap(entry.getFrame->GetFrame(entry.lastFrame)), entry.lastFrame);
    EXPECT_EQ(entry.getFrame->GetFrame(entry.lastFrame + 1), nullptr);
}

TEST(AviReader, AOneFrameFileIsRefused)
{
    ReaderRig rig;
    EXPECT_FALSE(OpenThroughReader(rig, SampleAvi(SmallRecipe(VideoCodec::Mjpeg, AudioForm::None, FrameRate::Pal25, 1))));
    ASSERT_EQ(rig.messages.shown.size(), 1u);
    EXPECT_EQ(rig.messages.shown[0].text, "open AVI error 2.");
    EXPECT_EQ(rig.messages.shown[0].caption, "Ferrowick Discforge - open AVI error");
    EXPECT_FALSE(rig.media.avi.aviReaderTable[0].videoReady);
}

TEST(AviReader, AFileWithSoundOnlyOpensWithoutFrames)
{
    ReaderRig rig;
    ASSERT_TRUE(OpenThroughReader(rig, SampleAvi(SmallRecipe(VideoCodec::None, AudioForm::Stereo16At44100))));
    const AviReaderEntry& entry = rig.media.avi.aviReaderTable[0];
    EXPECT_FALSE(entry.videoReady);
    EXPECT_TRUE(entry.isAviFile);
    EXPECT_FALSE(entry.videoAviStream);
    EXPECT_TRUE(entry.audioAviStream);
    EXPECT_EQ(rig.media.avi.aviReaderCount, 0);
}

TEST(AviReader, AFileThatCannotBeOpenedIsNamed)
{
    ReaderRig rig;
    const std::string missing = SampleFolder() + "/gone.avi";
    EXPECT_FALSE(OpenThroughReader(rig, missing));
    ASSERT_EQ(rig.messages.shown.size(), 1u);
    EXPECT_EQ(rig.messages.shown[0].text, "Can't open " + missing + ".");
    EXPECT_EQ(rig.messages.shown[0].caption, "Ferrowick Discforge - avi loading error");
}

TEST(AviReader, OpeningTurnsTheInputUprightUnlessAConversionRunsAndKeepsTheOtherChoices)
{
    ReaderRig rig;
    const std::string& path = SampleAvi(SmallRecipe(VideoCodec::Mjpeg, AudioForm::None));
    // Every activation opens the reader again: the user's choices must outlive it.
    const PictureOptions chosen{FitMode::fillIn, true, true, 8, 4, 64, 48, 720, 576};
    rig.Entry(0).pictureOptions = chosen;
    rig.controls.SetChecked(control::invertCheck, true);
    rig.media.run.conversionActive = true;
    ASSERT_TRUE(OpenThroughReader(rig, path));
    EXPECT_EQ(rig.Entry(0).pictureOptions, chosen);
    EXPECT_TRUE(rig.controls.IsChecked(control::invertCheck));

    rig.media.run.conversionActive = false;
    ASSERT_TRUE(OpenThroughReader(rig, path));
    PictureOptions upright = chosen;
    upright.invert = false;
    EXPECT_EQ(rig.Entry(0).pictureOptions, upright);
    EXPECT_FALSE(rig.controls.IsChecked(control::invertCheck));
}

} // namespace
} // namespace discforge::test
