#include "ReaderTestSupport.h"

#include "input/StreamGraph.h"
#include "pattern/ClickTrack.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>

namespace discforge::test {
namespace {

using mediagen::AudioForm;
using mediagen::FrameRate;
using mediagen::VideoCodec;

// A stream whose answers the test chooses; it never completes unless told.
class ScriptedStream final : public SampleStream {
public:
    bool Seek(std::int64_t time) override
    {
        seeks.push_back(time);
        return seekWorks;
    }
    MmAnswer Update() override
    {
        ++updates;
        return updateAnswer;
    }
    MmAnswer CompletionStatus(int waitMilliseconds) override
    {
        EXPECT_EQ(waitMilliseconds, 1000);
        ++waits;
        return waits > completeAfterWaits ? MmAnswer::Done : MmAnswer::Pending;
    }
    bool LockSurface(MmSurfaceLock&) override { return false; }
    void UnlockSurface() override { }

    std::vector<std::int64_t> seeks;
    int updates = 0;
    int waits = 0;
    bool seekWorks = true;
    MmAnswer updateAnswer = MmAnswer::Pending;
    int completeAfterWaits = 1000000;
};

struct ScriptedRig : ReaderRig {
    ScriptedRig()
    {
        auto objects = std::make_shared<StreamObjects>();
        auto videoStream = std::make_unique<ScriptedStream>();
        auto audioStream = std::make_unique<ScriptedStream>();
        video = videoStream.get();
        audio = audioStream.get();
        objects->videoStream = std::move(videoStream);
        objects->audioStream = std::move(audioStream);
        objects->audioBlock.assign(1764 * 4, 7);
        InputEntry& entry = Entry(0);
        entry.streams = objects;
        entry.frameRate = 25.0;
        entry.timePerFrame = 400000;
        entry.selectedFrames = 100;
        entry.timePerSample = 1e7 / 44100;
        entry.audioBuffer.assign(1764 * 4, 0);
        inputs.inputCount = 1;
        inputs.decoderKind = kindSeekEveryFrame;
        inputs.fourCCText = "FMP4/FMP4";
        settings.tvStandard = standardPal;
        settings.videoSettingsChanged = false;
        settings.audioSettingsChanged = false;
    }
    ScriptedStream* video = nullptr;
    ScriptedStream* audio = nullptr;
};

TEST(FrameFetch, OutputFramesMapToSourceFramesByRate)
{
    EXPECT_EQ(FrameFetch::SourceFrame(25, 29.97, standardPal), 29);
    EXPECT_EQ(FrameFetch::SourceFrame(30, 25.0, standardNtsc), 25);
    EXPECT_EQ(FrameFetch::SourceFrame(29, 25.0, standardNtsc), 24);
    EXPECT_EQ(FrameFetch::SourceFrame(100, 25.0, standardPal), 100);
    // An input of exactly 29.97 frames per second shows its own frame n at every NTSC frame n.
    for (int n = 0; n <= 100000; ++n) {
        ASSERT_EQ(FrameFetch::SourceFrame(n, 29.97, standardNtsc), n);
    }
}

TEST(FrameFetch, AVideoUpdateThatNeverCompletesTimesOutAfterTwentyOneWaits)
{
    ScriptedRig rig;
    EXPECT_EQ(rig.fetch.FetchVideoFrame(0, 10), fetchVideoTimeout);
    EXPECT_EQ(rig.video->waits, 21);
    const std::string text
        = "Timeout, Can not get video frame. Please email to support@ferrowick.example for supporting. 4CC: FMP4/FMP4";
    ASSERT_EQ(rig.messages.shown.size(), 1u);
    EXPECT_EQ(rig.messages.shown[0].text, text);
    EXPECT_EQ(rig.messages.shown[0].caption, "Ferrowick Discforge - decode video error");
    EXPECT_EQ(rig.LogLines().back(), text);
    EXPECT_GE(rig.window.pumps, 21);
    EXPECT_FALSE(rig.media.fetch.fetchInProgress);
    EXPECT_FALSE(rig.host.waitCursor);
}

TEST(FrameFetch, AnAudioUpdateThatNeverCompletesTimesOutAfterElevenWaits)
{
    ScriptedRig rig;
    EXPECT_EQ(rig.fetch.FetchAudioSample(0, 1764 * 5), fetchAudioTimeout);
    EXPECT_EQ(rig.audio->waits, 11);
    ASSERT_EQ(rig.messages.shown.size(), 1u);
    EXPECT_EQ(rig.messages.shown[0].text,
        "Can not get audio sample. Please email to support@ferrowick.example for supporting.");
    EXPECT_EQ(rig.messages.shown[0].caption, "Ferrowick Discforge - decode audio error");
    // From the third wait on the update is asked for again where the block starts.
    EXPECT_GE(rig.audio->updates, 9);
    ASSERT_FALSE(rig.audio->seeks.empty());
    EXPECT_EQ(rig.audio->seeks.back(), static_cast<std::int64_t>(std::ceil(1764 * 5 * (1e7 / 44100))));
}

TEST(FrameFetch, CancelEndsTheWaitAtTheNextPoll)
{
    ScriptedRig rig;
    rig.window.onPump = [&] { rig.inputs.cancelRequested = true; };
    EXPECT_EQ(rig.fetch.FetchVideoFrame(0, 3), fetchCancelled);
    EXPECT_EQ(rig.video->waits, 0);
    EXPECT_EQ(rig.fetch.FetchAudioSample(0, 0), fetchCancelled);
    EXPECT_TRUE(rig.messages.shown.empty());
}

TEST(FrameFetch, SeekAndUpdateFailuresAreReturned)
{
    ScriptedRig rig;
    rig.video->seekWorks = false;
    EXPECT_EQ(rig.fetch.FetchVideoFrame(0, 3), fetchSeekFailed);
    rig.video->seekWorks = true;
    rig.video->updateAnswer = MmAnswer::Failed;
    EXPECT_EQ(rig.fetch.FetchVideoFrame(0, 4), fetchUpdateFailed);
    rig.audio->updateAnswer = MmAnswer::Failed;
    EXPECT_EQ(rig.fetch.FetchAudioSample(0, 1764), fetchUpdateFailed);
    rig.audio->seekWorks = false;
    EXPECT_EQ(rig.fetch.FetchAudioSample(0, 0), fetchSeekFailed);
    EXPECT_TRUE(rig.messages.shown.empty());
    rig.Entry(0).streams.reset();
    EXPECT_EQ(rig.fetch.FetchVideoFrame(0, 4), fetchUpdateFailed) << "an input without streams";
}

TEST(FrameFetch, WaitsShowTheirSecondsAndAnEarlierFrameIsAnsweredFromTheSurface)
{
    ScriptedRig rig;
    rig.inputs.cancelDialog = rig.host.MakeCancelDialog(rig.inputs.cancelRequested);
    rig.video->completeAfterWaits = 2;
    EXPECT_EQ(rig.fetch.FetchVideoFrame(0, 40), fetchOk);
    EXPECT_EQ(rig.video->seeks, (std::vector<std::int64_t>{40 * 400000}));
    const std::vector<std::string> expected{"Seeking for frame ...", "Updating DirectDraw sample ...",
        "Checking DirectDraw sample update completion status, time = 0 seconds ...",
        "Checking DirectDraw sample update completion status, time = 1 seconds ...",
        "Checking DirectDraw sample update completion status, time = 2 seconds ..."};
    EXPECT_EQ(rig.host.AllStatuses(), expected);
    EXPECT_EQ(rig.media.fetch.lastFetchedFrame, 41u);
    const int updates = rig.video->updates;
    EXPECT_EQ(rig.fetch.FetchVideoFrame(0, 39), fetchOk);
    EXPECT_EQ(rig.video->updates, updates) << "no update for a frame below the last one asked";
}

TEST(FrameFetch, AFrameBeyondTheSelectionFetchesTheLastSelected)
{
    ScriptedRig rig;
    rig.video->updateAnswer = MmAnswer::Done;
    EXPECT_EQ(rig.fetch.FetchVideoFrame(0, 250), fetchOk);
    EXPECT_EQ(rig.video->seeks.back(), 99 * 400000);
}

TEST(FrameFetch, ACancelDialogOpenedDuringAWaitIsClosedAfterwards)
{
    ScriptedRig rig;
    rig.video->completeAfterWaits = 0;
    rig.host.mainWindowEnabled = false;
    rig.window.onPump = [&] {
        if (!rig.inputs.cancelDialog) {
            rig.inputs.cancelDialog = rig.host.MakeCancelDialog(rig.inputs.cancelRequested);
        }
    };
    EXPECT_EQ(rig.fetch.FetchVideoFrame(0, 5), fetchOk);
    EXPECT_FALSE(rig.inputs.cancelDialog);
    ASSERT_EQ(rig.host.dialogs.size(), 1u);
    EXPECT_EQ(rig.host.dialogs.front().closeCount, 1);
    EXPECT_TRUE(rig.host.mainWindowEnabled);
}

class RealFetch : public ::testing::Test {
protected:
    // Fetches output frames 0..count-1 and checks each shows its source frame.
    void ExpectFramesInOrder(ReaderRig& rig, int count)
    {
        for (int n = 0; n < count; ++n) {
            ASSERT_EQ(rig.fetch.FetchVideoFrame(0, n), fetchOk) << n;
            rig.settings.videoSettingsChanged = false;
            const int source = std::min(FrameFetch::SourceFrame(n, rig.Entry(0).frameRate, rig.settings.tvStandard),
                static_cast<int>(rig.Entry(0).selectedFrames) - 1);
            ASSERT_EQ(rig.ShownNumber(0), source) << "output frame " << n;
        }
    }

    // A key frame every 3 frames: the sequential fetch rebuilds the streams every 30 frames.
    void OpenWithFrequentKeyFrames(ReaderRig& rig, AudioForm audio, int frames)
    {
        mediagen::AviRecipe recipe = SmallRecipe(VideoCodec::Mpeg4, audio, FrameRate::Pal25, frames);
        recipe.keyFrameInterval = 3;
        ASSERT_TRUE(rig.AddVideo(SampleAvi(recipe)));
        ASSERT_EQ(rig.inputs.decoderKind, kindSequential);
        rig.settings.tvStandard = standardPal;
        rig.settings.videoSettingsChanged = true;
    }
};

TEST_F(RealFetch, SequentialKindDeliversEveryFrameAcrossStreamRebuilds)
{
    ReaderRig rig;
    ASSERT_NO_FATAL_FAILURE(OpenWithFrequentKeyFrames(rig, AudioForm::None, 75));
    rig.messages.shown.clear();
    ExpectFramesInOrder(rig, 75);
    EXPECT_GE(rig.media.fetch.keyFrameCount, 20) << "key frames every 3 frames";
    EXPECT_TRUE(rig.messages.shown.empty()) << "a rebuild shows no messages";
    // Each rebuild reopens the file where its stream stands: the decoding goes on, with
    // no seek back to a key frame and no frame decoded twice.
    const MmStatistics statistics = rig.VideoOf(0).Statistics();
    EXPECT_EQ(statistics.realSeeks, 0u);
    EXPECT_GE(statistics.framesDecoded, 75u);
    EXPECT_LE(statistics.framesDecoded, 75u + 3u) << "at most the frames decoded ahead";
    // An NTSC run repeats some frames of the 25 frames per second input.
    rig.settings.tvStandard = standardNtsc;
    rig.settings.videoSettingsChanged = true;
    ExpectFramesInOrder(rig, 80);
}

TEST_F(RealFetch, SeekingKindsDecodeEachFrameOnceInOrderAndFindFramesOutOfOrder)
{
    for (int kind : {kindSeekEveryFrame, kindSeekAndUpdate}) {
        ReaderRig rig;
        ASSERT_TRUE(rig.AddVideo(SampleAvi(SmallRecipe(VideoCodec::Mpeg4, AudioForm::Stereo16At44100))));
        rig.inputs.decoderKind = kind;
        rig.settings.tvStandard = standardPal;
        rig.settings.videoSettingsChanged = true;
        ExpectFramesInOrder(rig, 50);
        const MmStatistics statistics = rig.VideoOf(0).Statistics();
        EXPECT_EQ(statistics.framesDecoded, 50u);
        EXPECT_EQ(statistics.realSeeks, 0u);
        for (int n : {37, 4, 49, 0, 22, 21}) {
            rig.settings.videoSettingsChanged = true;
            ASSERT_EQ(rig.fetch.FetchVideoFrame(0, n), fetchOk);
            EXPECT_EQ(rig.ShownNumber(0), n) << "kind " << kind;
        }
    }
}

TEST_F(RealFetch, AudioBlocksFollowEachOtherThroughTheResynchronisation)
{
    // 13 seconds: more than 299 blocks of one frame each.
    ReaderRig rig;
    ASSERT_TRUE(
        rig.AddVideo(SampleAvi(SmallRecipe(VideoCodec::Mpeg4, AudioForm::Stereo16At44100, FrameRate::Pal25, 325))));
    rig.settings.audioSettingsChanged = true;
    const InputEntry& entry = rig.Entry(0);
    std::vector<std::uint8_t> sound;
    for (int block = 0; block < 325; ++block) {
        ASSERT_EQ(rig.fetch.FetchAudioSample(0, block * entry.samplesPerFrame), fetchOk) << block;
        sound.insert(sound.end(), entry.audioBuffer.begin(), entry.audioBuffer.end());
    }
    EXPECT_EQ(rig.media.fetch.audioBlockCounter, 324);
    std::vector<std::int64_t> clicks = pattern::FindClicks(sound.data(), sound.size(), 2, 16);
    std::vector<std::int64_t> seconds;
    for (std::int64_t second = 0; second < 13; ++second) {
        seconds.push_back(second * 44100);
    }
    EXPECT_EQ(clicks, seconds);
    const MmStatistics statistics
        = static_cast<MmSampleStream&>(*rig.Entry(0).streams->audioStream).Stream().Statistics();
    EXPECT_EQ(statistics.realSeeks, 0u);
}

TEST_F(RealFetch, SoundGoesOnWhereItWasWhenTheSequentialFetchRebuildsTheStreams)
{
    ReaderRig rig;
    ASSERT_NO_FATAL_FAILURE(OpenWithFrequentKeyFrames(rig, AudioForm::Stereo16At44100, 100));
    rig.settings.audioSettingsChanged = true;
    std::vector<std::uint8_t> sound;
    // A picture and its frame of sound in turn, as the encoder asks for them.
    for (int frame = 0; frame < 100; ++frame) {
        ASSERT_EQ(rig.fetch.FetchVideoFrame(0, frame), fetchOk) << frame;
        rig.settings.videoSettingsChanged = false;
        ASSERT_EQ(rig.fetch.FetchAudioSample(0, frame * rig.Entry(0).samplesPerFrame), fetchOk) << frame;
        sound.insert(sound.end(), rig.Entry(0).audioBuffer.begin(), rig.Entry(0).audioBuffer.end());
    }
    ASSERT_GE(rig.media.fetch.keyFrameCount, 30) << "the streams were rebuilt on the way";
    EXPECT_EQ(pattern::FindClicks(sound.data(), sound.size(), 2, 16),
        (std::vector<std::int64_t>{0, 44100, 2 * 44100, 3 * 44100}));
}

} // namespace
} // namespace discforge::test
