// How many threads a stream's decoder gets: one for pictures no larger than a
// disc's and for sound, several for larger pictures, whose decoding would
// otherwise hold up the conversion.
#include "SampleMedia.h"

#include "platform/MediaSource.h"

#include <gtest/gtest.h>

extern "C" {
#include <libavcodec/avcodec.h>
}

namespace discforge::test {
namespace {

using mediagen::AudioForm;
using mediagen::AviRecipe;
using mediagen::VideoCodec;

// The thread count of the decoder opened for the first stream of `type`.
int ThreadsOfDecoder(const std::string& path, AVMediaType type)
{
    MediaError error;
    const auto source = MediaSource::Open(path, error);
    EXPECT_TRUE(source) << error.text;
    if (!source) {
        return 0;
    }
    const int index = source->FirstStream(type);
    EXPECT_GE(index, 0);
    if (index < 0) {
        return 0;
    }
    const AVCodec* decoder = nullptr;
    AVCodecContext* context = OpenStreamDecoder(*source, index, &decoder, error);
    EXPECT_NE(context, nullptr) << error.text;
    const int threads = context != nullptr ? context->thread_count : 0;
    avcodec_free_context(&context);
    return threads;
}

std::string Clip(int width, int height)
{
    AviRecipe recipe;
    recipe.video = VideoCodec::Mpeg4;
    recipe.audio = AudioForm::Stereo16At44100;
    recipe.width = width;
    recipe.height = height;
    recipe.frames = 2;
    return SampleAvi(recipe);
}

TEST(DecoderThreads, DiscSizedPicturesAndSoundDecodeOnOneThreadLargerPicturesOnSeveral)
{
    const std::string small = Clip(352, 288);
    EXPECT_EQ(ThreadsOfDecoder(small, AVMEDIA_TYPE_VIDEO), 1);
    EXPECT_EQ(ThreadsOfDecoder(small, AVMEDIA_TYPE_AUDIO), 1);
    EXPECT_EQ(ThreadsOfDecoder(Clip(720, 576), AVMEDIA_TYPE_VIDEO), 1);
    // One row more than a disc's picture.
    EXPECT_GT(ThreadsOfDecoder(Clip(720, 578), AVMEDIA_TYPE_VIDEO), 2);
    EXPECT_GT(ThreadsOfDecoder(Clip(1280, 720), AVMEDIA_TYPE_VIDEO), 2);
}

} // namespace
} // namespace discforge::test
