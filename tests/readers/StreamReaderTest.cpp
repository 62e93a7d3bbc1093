#include "ReaderTestSupport.h"

#include "input/InputDescription.h"
#include "input/StreamGraph.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <utility>

namespace discforge::test {
namespace {

using mediagen::AudioForm;
using mediagen::FrameRate;
using mediagen::VideoCodec;

bool Contains(const std::string& text, const std::string& part) { return text.find(part) != std::string::npos; }

TEST(StreamReader, EachGeneratedVariantFillsItsEntry)
{
    struct Case {
        VideoCodec codec;
        AudioForm audio;
        FrameRate rate;
        int kind;
        double frameRate;
        int sampleRate;
        int samplesPerFrame;
        int bytesPerSample;
        int targetSampleRate;
    };
    const Case cases[] = {
        {VideoCodec::Mpeg4, AudioForm::Stereo16At44100, FrameRate::Pal25, 4, 25.0, 44100, 1764, 4, 44100},
        {VideoCodec::Mpeg4, AudioForm::Mono8At22050, FrameRate::Ntsc2997, 4, 30000.0 / 1001, 22050, 736, 1, 44100},
        {VideoCodec::Mjpeg, AudioForm::Stereo16At48000, FrameRate::Pal25, 3, 25.0, 48000, 1920, 4, 48000},
        {VideoCodec::RawRgb, AudioForm::Mono8At11025, FrameRate::Ntsc2997, 3, 30000.0 / 1001, 11025, 368, 1, 44100},
        {VideoCodec::Mpeg4, AudioForm::Mp3, FrameRate::Pal25, 4, 25.0, 44100, 1764, 4, 44100},
    };
    for (const Case& c : cases) {
        ReaderRig rig;
        const std::string& path = SampleAvi(SmallRecipe(c.codec, c.audio, c.rate, 50));
        ASSERT_TRUE(rig.AddVideo(path)) << (rig.messages.shown.empty() ? "" : rig.messages.shown[0].text);
        const InputEntry& entry = rig.Entry(0);
        EXPECT_EQ(rig.inputs.decoderKind, c.kind) << path;
        EXPECT_EQ(entry.totalFrames, 50u) << path;
        EXPECT_EQ(entry.lastFrame, 49);
        EXPECT_NEAR(entry.frameRate, c.frameRate, 1e-9);
        EXPECT_EQ(entry.width, 176);
        EXPECT_EQ(entry.height, 144);
        EXPECT_EQ(entry.sourceBits, 32);
        ASSERT_TRUE(entry.hasAudio);
        EXPECT_TRUE(rig.inputs.audioAvailable);
        EXPECT_EQ(entry.waveFormat.formatTag, 1);
        EXPECT_EQ(entry.waveFormat.sampleRate, static_cast<std::uint32_t>(c.sampleRate));
        EXPECT_EQ(entry.samplesPerFrame, c.samplesPerFrame);
        EXPECT_EQ(entry.bytesPerSample, c.bytesPerSample);
        EXPECT_EQ(entry.audioBytesPerFrame, c.samplesPerFrame * c.bytesPerSample);
        EXPECT_EQ(entry.audioBuffer.size(), static_cast<std::size_t>(entry.audioBytesPerFrame));
        EXPECT_EQ(entry.targetSampleRate, c.targetSampleRate);
        EXPECT_EQ(entry.totalSamples, static_cast<int>(entry.duration * 1e-7 * c.sampleRate));
        EXPECT_NEAR(entry.totalSamples, 50 / c.frameRate * c.sampleRate, c.sampleRate / 20.0);
        EXPECT_TRUE(rig.messages.shown.empty()) << rig.messages.shown[0].text;
        if (c.kind == kindAviReader) {
            const AviReaderEntry& avi = rig.media.avi.aviReaderTable[0];
            EXPECT_TRUE(avi.videoReady);
            EXPECT_TRUE(avi.isAviFile);
            EXPECT_EQ(avi.lastFrame, 49);
            EXPECT_EQ(avi.sourceBits, 32);
            EXPECT_EQ(rig.media.avi.aviReaderCount, 1);
        } else {
            EXPECT_TRUE(rig.media.reader.timingAviStream) << "kind 4 keeps the timing stream";
        }
    }
}

TEST(StreamReader, TheRunLogShowsTheDecoderChainsAndTheDescription)
{
    ReaderRig rig;
    const std::string& path = SampleAvi(SmallRecipe(VideoCodec::Mpeg4, AudioForm::Mono8At22050, FrameRate::Pal25, 50));
    ASSERT_TRUE(rig.AddVideo(path));
    const std::vector<std::string> lines = rig.LogLines();
    const std::vector<std::string> expected{
        "",
        "Video Filter Graph:",
        "AVI (Audio Video Interleaved) source",
        "MPEG-4 Part 2 Video decoder",
        "Picture converter",
        "",
        "Audio Filter Graph:",
        "AVI (Audio Video Interleaved) source",
        "PCM unsigned 8-bit decoder",
        "",
        "Sound track 1: und, pcm_u8, mono (1 channels), 22050 Hz, played",
        "File Name: " + path,
        "File 4CC: FMP4/FMP4",
        "File size: " + std::to_string(std::filesystem::file_size(path)),
        " ",
        "Video:",
        "  Resolution: 176 x 144",
        "  Frame Rate: 25.00",
        "  Total Frames: 50",
        "  Total Time: 00:00:2.00",
        "  Selected Frames: 50",
        " ",
        "Audio:",
        "  Channels: Mono (will be converted to stereo)",
        "  Sample Rate: 22.05 kHz (will be converted to 44.1 kHz)",
        "  Bits per Sample: 8 (will be converted to 16)",
        "  Total samples: 44100",
        "  Selected samples: 44100",
    };
    EXPECT_EQ(lines, expected);
    EXPECT_EQ(StandardOfFrameRate(rig.inputs.inputTable[0].frameRate), standardPal);
}

TEST(StreamReader, AFileWithoutSoundOpensAndSaysSo)
{
    ReaderRig rig;
    ASSERT_TRUE(rig.AddVideo(SampleAvi(SmallRecipe(VideoCodec::Mpeg4, AudioForm::None))));
    EXPECT_FALSE(rig.Entry(0).hasAudio);
    EXPECT_FALSE(rig.inputs.audioAvailable);
    ASSERT_EQ(rig.messages.shown.size(), 1u);
    EXPECT_EQ(rig.messages.shown[0].text,
        "Input video is no audio stream or need an audio decoder. If you make sure that your avi has sound, "
        "please feel free to contact support@ferrowick.example. We will help you to retrive a sound decoder.");
    EXPECT_EQ(rig.messages.shown[0].caption, "Ferrowick Discforge - open avi file error");
    EXPECT_FALSE(rig.Entry(0).streams->audioStream);
}

TEST(StreamReader, FilesThatCannotBeDecodedLeaveTheTableAsItWas)
{
    ReaderRig rig;
    ASSERT_TRUE(rig.AddVideo(SampleAvi(SmallRecipe(VideoCodec::Mpeg4, AudioForm::Stereo16At44100))));
    const std::string log = rig.runLog.Text();
    const std::string notVideo = SampleFolder() + "/letter.avi";
    std::ofstream(notVideo) << std::string(4000, 'x');
    const std::string missing = SampleFolder() + "/missing.avi";
    const std::string stub
        = TruncatedCopy(SampleAvi(SmallRecipe(VideoCodec::Mpeg4, AudioForm::None)), 200, "stub.avi");
    // Each message names the file and says what is wrong with it; none asks for a codec.
    const std::pair<std::string, std::string> cases[] = {
        {notVideo, notVideo + " is not a video file this program can read, or it is cut short or damaged."},
        {missing, missing + " can not be found or read."},
        {stub, stub + " is not a video file this program can read, or it is cut short or damaged."},
    };
    for (const auto& [path, told] : cases) {
        rig.messages.shown.clear();
        EXPECT_FALSE(rig.AddVideo(path)) << path;
        EXPECT_EQ(rig.inputs.inputCount, 1);
        EXPECT_EQ(rig.inputs.selectedInput, 0);
        EXPECT_FALSE(rig.Entry(1).streams);
        ASSERT_EQ(rig.messages.shown.size(), 1u) << path;
        EXPECT_EQ(rig.messages.shown[0].text, told);
        EXPECT_EQ(rig.messages.shown[0].caption, "Ferrowick Discforge");
        EXPECT_TRUE(Contains(rig.runLog.Text(), told));
    }
    EXPECT_TRUE(rig.Entry(0).streams) << "the first input keeps its streams";
}

TEST(StreamReader, AScriptOutsideTheReadableLanguageIsRefusedWithItsPlace)
{
    ReaderRig rig;
    const std::string script = SampleFolder() + "/clip.avs";
    std::ofstream(script) << "# made elsewhere\nVersion()\n";
    rig.Entry(0).path = script;
    EXPECT_FALSE(rig.reader.OpenStreams(0));
    ASSERT_EQ(rig.messages.shown.size(), 1u);
    EXPECT_TRUE(Contains(rig.messages.shown[0].text, "there is no function named \"Version\" (line 2, column 1)"))
        << rig.messages.shown[0].text;
    EXPECT_TRUE(Contains(rig.runLog.Text(), "(line 2, column 1)"));
}

TEST(StreamReader, CancelBeforeTheOpenFailsSilently)
{
    ReaderRig rig;
    rig.Entry(0).path = SampleAvi(SmallRecipe(VideoCodec::Mpeg4, AudioForm::None));
    rig.window.onPump = [&] { rig.inputs.cancelRequested = true; };
    EXPECT_FALSE(rig.reader.OpenStreams(0));
    EXPECT_TRUE(rig.messages.shown.empty());
}

TEST(StreamReader, StatusTextsGoToTheCancelDialog)
{
    ReaderRig rig;
    ASSERT_TRUE(rig.AddVideo(SampleAvi(SmallRecipe(VideoCodec::Mpeg4, AudioForm::Stereo16At44100))));
    const std::vector<std::string> statuses = rig.host.AllStatuses();
    ASSERT_FALSE(statuses.empty());
    EXPECT_EQ(statuses.front(), "Initialzing MultiMedia Stream 1 ...");
    EXPECT_NE(std::find(statuses.begin(), statuses.end(), "Initializing MultiMedia Stream 2 ..."), statuses.end());
    EXPECT_NE(std::find(statuses.begin(), statuses.end(), "Getting time per frame ..."), statuses.end());
    EXPECT_EQ(statuses.back(), "Initializing MultiMedia Stream 26 ...");
}

TEST(StreamReader, ReleaseDropsTheObjectsAndTheBuffer)
{
    ReaderRig rig;
    ASSERT_TRUE(rig.AddVideo(SampleAvi(SmallRecipe(VideoCodec::Mpeg4, AudioForm::Stereo16At44100))));
    ASSERT_TRUE(rig.Entry(0).streams);
    rig.reader.ReleaseStreams(0);
    EXPECT_FALSE(rig.Entry(0).streams);
    EXPECT_TRUE(rig.Entry(0).audioBuffer.empty());
    rig.reader.ReleaseStreams(0);
    ASSERT_TRUE(rig.table.ActivateInput(0));
    EXPECT_TRUE(rig.Entry(0).streams);
    EXPECT_EQ(rig.Entry(0).audioBuffer.size(), 1764u * 4u);
}

TEST(StreamGraph, KindsFollowTheFirstWordFound)
{
    EXPECT_EQ(DecoderKindOfText("ffdshow MPEG-4 Video Decoder\r\n"), 0);
    EXPECT_EQ(DecoderKindOfText("DivX Decoder\r\nXviD MPEG-4 Video Decoder\r\n"), 4);
    EXPECT_EQ(DecoderKindOfText("Moonlight NicePheratu MPEG-4\r\n"), 1);
    EXPECT_EQ(DecoderKindOfText("MPEG-4 Part 2 Video decoder\r\n"), 4);
    EXPECT_EQ(DecoderKindOfText("Microsoft MPEG-4 v3 Video decoder\r\n"), 4);
    EXPECT_EQ(DecoderKindOfText("MPEG-2 Video decoder\r\n"), 2);
    EXPECT_EQ(DecoderKindOfText("MPEG-1 Video decoder\r\n"), 2);
    EXPECT_EQ(DecoderKindOfText("DivX Decoder\r\n"), 3);
    EXPECT_EQ(DecoderKindOfText("H.264 (AVC) Video decoder\r\n"), 0);
    EXPECT_EQ(DecoderKindOfText("Motion JPEG Video decoder\r\n"), 0);
    EXPECT_EQ(DecoderKindOfText(""), 0);
    EXPECT_EQ(ListComponentsWithSettings({{"AVI source", false}, {"", true}, {"A decoder", true}}), "A decoder\r\n");
    EXPECT_TRUE(HasRawFormatCode("DIB /YUY2"));
    EXPECT_FALSE(HasRawFormatCode("FMP4/FMP4"));
}

TEST(StreamGraph, ARawCodecTextKeepsTheKindFoundFromTheNames)
{
    const std::string& path = SampleAvi(SmallRecipe(VideoCodec::Mjpeg, AudioForm::None));
    ReaderRig plain;
    ASSERT_TRUE(plain.AddVideo(path));
    EXPECT_EQ(plain.inputs.decoderKind, kindAviReader) << "the AVI interface decodes Motion JPEG";
    EXPECT_TRUE(Contains(plain.runLog.Text(), "Motion JPEG Video decoder\r\nPicture converter\r\n-->VFW"));

    // The same file with "YUY2" as the stream header's handler code.
    const std::string marked = TruncatedCopy(path, FileSize(path), "marked.avi");
    {
        std::fstream file(marked, std::ios::in | std::ios::out | std::ios::binary);
        file.seekp(112);
        file.write("YUY2", 4);
    }
    ReaderRig raw;
    ASSERT_TRUE(raw.AddVideo(marked));
    EXPECT_EQ(raw.inputs.fourCCText, "YUY2/MJPG");
    EXPECT_EQ(raw.inputs.decoderKind, kindSeekEveryFrame);
}

} // namespace
} // namespace discforge::test
