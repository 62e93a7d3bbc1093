#include "UserClips.h"

#include "SampleInputs.h"
#include "support/StreamChecks.h"

#include <gtest/gtest.h>

namespace discforge::test {
namespace {

struct ClipMaking {
    ClipKind kind;
    const char* name;
    const char* extension;
    const char* codecs; // the ffmpeg options after the input
};

// Quality 3 keeps the band of the frame number readable through every coder; the MPEG
// coders get a key frame every 12 pictures, ffmpeg's default. The MP4 is 4:2:0, as the
// H.264 files users bring are; the Matroska file keeps the 4:4:4 that ffmpeg picks for
// pictures made from RGB.
constexpr ClipMaking clipMakings[] = {
    {ClipKind::XvidPcm, "XvidPcm", "avi", "-c:v mpeg4 -vtag XVID -q:v 3 -c:a pcm_s16le"},
    {ClipKind::XvidMp3, "XvidMp3", "avi", "-c:v mpeg4 -vtag XVID -q:v 3 -c:a libmp3lame -b:a 128k"},
    {ClipKind::MsMpeg4v2Mp3, "MsMpeg4v2Mp3", "avi", "-c:v msmpeg4v2 -q:v 3 -c:a libmp3lame -b:a 128k"},
    {ClipKind::MsMpeg4v3Pcm, "MsMpeg4v3Pcm", "avi", "-c:v msmpeg4 -q:v 3 -c:a pcm_s16le"},
    {ClipKind::MjpegPcm, "MjpegPcm", "avi", "-c:v mjpeg -q:v 3 -c:a pcm_s16le"},
    {ClipKind::MjpegMp3, "MjpegMp3", "avi", "-c:v mjpeg -q:v 3 -c:a libmp3lame -b:a 128k"},
    {ClipKind::RawPcm, "RawPcm", "avi", "-c:v rawvideo -pix_fmt bgr24 -c:a pcm_s16le"},
    {ClipKind::RawMp3, "RawMp3", "avi", "-c:v rawvideo -pix_fmt yuyv422 -vtag YUY2 -c:a libmp3lame -b:a 128k"},
    {ClipKind::H264Mp4, "H264Mp4", "mp4", "-c:v libx264 -preset veryfast -crf 18 -pix_fmt yuv420p -c:a aac"},
    {ClipKind::H264Mkv, "H264Mkv", "mkv", "-c:v libx264 -preset veryfast -crf 18 -c:a libmp3lame -b:a 128k"},
    {ClipKind::Mpeg1Ps, "Mpeg1Ps", "mpg", "-c:v mpeg1video -q:v 3 -c:a libmp3lame -b:a 128k -f mpeg"},
    {ClipKind::Mpeg2Ps, "Mpeg2Ps", "mpg", "-c:v mpeg2video -q:v 3 -bf 2 -c:a mp2 -b:a 192k -f vob"},
};

const ClipMaking& MakingOf(ClipKind kind)
{
    for (const ClipMaking& making : clipMakings) {
        if (making.kind == kind) {
            return making;
        }
    }
    return clipMakings[0];
}

} // namespace

const char* ClipKindName(ClipKind kind) { return MakingOf(kind).name; }

bool ClipKindTakes(ClipKind kind, mediagen::FrameRate rate)
{
    const bool programStream = kind == ClipKind::Mpeg1Ps || kind == ClipKind::Mpeg2Ps;
    return !programStream || rate != mediagen::FrameRate::Exact2997;
}

bool FfmpegProgramFound() { return RunCommand("ffmpeg -hide_banner -version").exitCode == 0; }

UserClip MakeUserClip(
    const std::string& folder, ClipKind kind, mediagen::FrameRate rate, int seconds, int width, int height)
{
    UserClip clip;
    mediagen::AviRecipe recipe;
    recipe.video = mediagen::VideoCodec::RawRgb;
    recipe.audio = mediagen::AudioForm::Stereo16At44100;
    recipe.rate = rate;
    recipe.width = width;
    recipe.height = height;
    recipe.frames = FramesIn(seconds, rate);
    const std::string source = folder + "/generated.avi";
    if (!MakeAvi(source, recipe)) {
        return clip;
    }
    const ClipMaking& making = MakingOf(kind);
    const std::string path = folder + "/" + making.name + "." + making.extension;
    const CommandResult made
        = RunCommand("ffmpeg -v error -nostdin -y -i " + Quoted(source) + " " + making.codecs + " " + Quoted(path));
    EXPECT_EQ(made.exitCode, 0) << making.name << ": " << made.output;
    if (made.exitCode == 0) {
        clip.path = path;
        clip.frames = recipe.frames;
    }
    return clip;
}

} // namespace discforge::test
