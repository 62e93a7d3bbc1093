// The field order of a video: read from the file where it says so, judged from the
// pictures where it does not. The clips come from the ffmpeg program: moving test
// pictures at 50 frames a second woven into fields of 25 pictures a second, in
// containers and codecs that keep no field order.
#include "platform/FieldOrder.h"
#include "support/StreamChecks.h"
#include "support/TestFolder.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <string>
#include <vector>

extern "C" {
#include <libavutil/frame.h>
}

namespace discforge::test {
namespace {

class FieldOrderOfFiles : public ::testing::Test {
protected:
    void SetUp() override
    {
        if (RunCommand("ffmpeg -hide_banner -version").exitCode != 0) {
            GTEST_SKIP() << "the ffmpeg program is not installed (scripts/install-deps.sh installs it)";
        }
    }

    // Three seconds of testsrc2 at 720x576, through `filters` and `codec`.
    std::string Make(const std::string& name, int rate, const std::string& filters, const std::string& codec)
    {
        const std::string path = folder_.File(name);
        const CommandResult made = RunCommand("ffmpeg -nostdin -v error -y -f lavfi -i testsrc2=s=720x576:r="
            + std::to_string(rate) + ":d=3" + (filters.empty() ? "" : " -vf " + filters) + " " + codec + " "
            + Quoted(path));
        EXPECT_EQ(made.exitCode, 0) << made.output;
        return path;
    }

    // What ffprobe reads of the clip's field order: these clips must say nothing.
    static std::string ProbedFieldOrder(const std::string& path)
    {
        CommandResult probed = RunCommand("ffprobe -v error -select_streams v:0 -show_entries stream=field_order "
                                          "-of default=nw=1:nk=1 "
            + Quoted(path));
        std::string order = probed.output;
        order.erase(order.find_last_not_of(" \r\n") + 1);
        return order;
    }

    TestFolder folder_;
};

TEST_F(FieldOrderOfFiles, UnflaggedClipsAreJudgedFromTheirPictures)
{
    const std::string topFirst = Make("tff.avi", 50, "tinterlace=interleave_top,setfield=prog", "-c:v ffv1");
    const std::string bottomFirst = Make("bff.avi", 50, "tinterlace=interleave_bottom,setfield=prog", "-c:v ffv1");
    const std::string progressive = Make("progressive.avi", 25, "", "-c:v ffv1");
    // The same woven pictures through a lossy codec, as a capture saved as MJPEG is.
    const std::string lossy
        = Make("bff-mjpeg.avi", 50, "tinterlace=interleave_bottom,setfield=prog", "-c:v mjpeg -q:v 4");
    for (const std::string& path : {topFirst, bottomFirst, progressive, lossy}) {
        ASSERT_EQ(ProbedFieldOrder(path), "unknown") << path;
    }
    EXPECT_EQ(FieldOrderOfFile(topFirst), FieldOrder::topFirst);
    EXPECT_EQ(FieldOrderOfFile(bottomFirst), FieldOrder::bottomFirst);
    EXPECT_EQ(FieldOrderOfFile(progressive), FieldOrder::progressive);
    EXPECT_EQ(FieldOrderOfFile(lossy), FieldOrder::bottomFirst);
}

TEST_F(FieldOrderOfFiles, WhatTheFileSaysWinsOverItsPictures)
{
    // DV keeps the order in every frame's header, which the decoder passes on.
    const std::string dv
        = Make("camcorder.dv", 50, "tinterlace=interleave_bottom,setfield=bff", "-target pal-dv -c:v dvvideo");
    // A broadcast stream of MPEG-2 coded as fields, top first.
    const std::string broadcast = Make("broadcast.ts", 50, "tinterlace=interleave_top,setfield=tff",
        "-c:v mpeg2video -flags +ildct+ilme -top 1 -b:v 6M -f mpegts");
    // A container that claims top first for pictures woven bottom first: the claim holds.
    const std::string claimed
        = Make("claimed.mkv", 50, "tinterlace=interleave_bottom,setfield=prog", "-c:v ffv1 -field_order tt");
    EXPECT_EQ(FieldOrderOfFile(dv), FieldOrder::bottomFirst);
    EXPECT_EQ(FieldOrderOfFile(broadcast), FieldOrder::topFirst);
    EXPECT_EQ(FieldOrderOfFile(claimed), FieldOrder::topFirst);
}

TEST_F(FieldOrderOfFiles, AnAnswerKeptForAFileIsAskedAgainOnceTheFileChanged)
{
    const std::string path = folder_.File("changing.avi");
    Make("changing.avi", 50, "tinterlace=interleave_top,setfield=prog", "-c:v ffv1");
    EXPECT_EQ(FieldOrderOfFile(path), FieldOrder::topFirst);
    Make("changing.avi", 25, "", "-c:v ffv1 -g 7");
    EXPECT_EQ(FieldOrderOfFile(path), FieldOrder::progressive);
}

// Hand-made luminance pictures: a bright bar moving down 8 rows a field.
class BarPictures {
public:
    BarPictures(int width, int height)
        : frame_(av_frame_alloc())
    {
        frame_->format = AV_PIX_FMT_GRAY8;
        frame_->width = width;
        frame_->height = height;
        EXPECT_EQ(av_frame_get_buffer(frame_, 0), 0);
    }
    ~BarPictures() { av_frame_free(&frame_); }
    BarPictures(const BarPictures&) = delete;
    BarPictures& operator=(const BarPictures&) = delete;

    // Picture n: with fields, the first field shows moment 2n and the other 2n + 1.
    const AVFrame& Picture(int n, bool fields, bool topFirst)
    {
        for (int y = 0; y < frame_->height; ++y) {
            const bool firstField = (y % 2 == 0) == topFirst;
            const int moment = fields ? 2 * n + (firstField ? 0 : 1) : 2 * n;
            const int barTop = (moment * 8) % (frame_->height - 16);
            const std::uint8_t level = y >= barTop && y < barTop + 16 ? 235 : 16;
            std::fill_n(frame_->data[0] + static_cast<std::ptrdiff_t>(y) * frame_->linesize[0], frame_->width, level);
        }
        return *frame_;
    }

private:
    AVFrame* frame_;
};

TEST(FieldStatistics, TellsFieldsInEachOrderFromFramesAndPassesOverWhatItCannotRead)
{
    BarPictures bars(64, 160);
    FieldStatistics top;
    FieldStatistics bottom;
    FieldStatistics frames;
    for (int n = 0; n < 8; ++n) {
        top.Add(bars.Picture(n, true, true));
        bottom.Add(bars.Picture(n, true, false));
        frames.Add(bars.Picture(n, false, true));
    }
    EXPECT_EQ(top.Verdict(), FieldOrder::topFirst);
    EXPECT_EQ(top.TopFirstVotes(), 6);
    EXPECT_EQ(bottom.Verdict(), FieldOrder::bottomFirst);
    EXPECT_EQ(bottom.BottomFirstVotes(), 6);
    EXPECT_EQ(frames.Verdict(), FieldOrder::progressive);
    EXPECT_EQ(frames.TopFirstVotes() + frames.BottomFirstVotes(), 0);

    // A still picture and sixteen-bit pictures give no votes, so no fields.
    FieldStatistics still;
    for (int n = 0; n < 8; ++n) {
        still.Add(bars.Picture(0, true, true));
    }
    EXPECT_EQ(still.TopFirstVotes() + still.BottomFirstVotes(), 0);
    EXPECT_EQ(still.Verdict(), FieldOrder::progressive);

    AVFrame* deep = av_frame_alloc();
    deep->format = AV_PIX_FMT_GRAY16LE;
    deep->width = 64;
    deep->height = 160;
    ASSERT_EQ(av_frame_get_buffer(deep, 0), 0);
    FieldStatistics unread;
    for (int n = 0; n < 8; ++n) {
        unread.Add(*deep);
    }
    av_frame_free(&deep);
    EXPECT_EQ(unread.TopFirstVotes() + unread.BottomFirstVotes() + unread.ProgressiveVotes(), 0);
}

} // namespace
} // namespace discforge::test
