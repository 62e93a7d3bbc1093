// Clips made from files and from nothing: the file sources, BlankClip,
// ColorBars and ImageSource.
#include "script/AvsFunctions.h"

namespace discforge {
namespace {

// A colour written $RRGGBB, as libavfilter reads it.
std::string Colour(std::int64_t rgb)
{
    char text[16];
    std::snprintf(text, sizeof text, "0x%06X", static_cast<unsigned>(rgb & 0xFFFFFF));
    return text;
}

std::string Rate(int numerator, int denominator)
{
    return std::to_string(numerator) + "/" + std::to_string(denominator);
}

// Every clip's pictures are numbered from 0 in steps of one frame, so trims,
// joins and rate changes work in whole frames.
std::string Frames(int numerator, int denominator, std::int64_t frames)
{
    return "fps=fps=" + Rate(numerator, denominator) + ",trim=end_frame=" + std::to_string(frames);
}

// A chosen track that the file does not have as that kind is an error; a
// missing first sound track only leaves the clip silent.
bool FileClip(
    AvsCall& call, const std::string& given, bool video, bool audio, AvsClip& clip, const AvsTrackChoice& tracks = {})
{
    std::string path;
    return AvsResolvePath(call, given, path) && AvsFileClip(call, path, given, video, audio, clip, tracks);
}

// AviSource("a.avi", "b.avi") joins its files as "++" does.
bool AviSource(AvsCall& call, AvsValue& result)
{
    AvsClip clip;
    if (!FileClip(call, call.String(0, ""), true, call.Bool(1, true), clip)) {
        return false;
    }
    for (const AvsValue& more : call.extra) {
        AvsClip next;
        if (!FileClip(call, std::get<std::string>(more), true, call.Bool(1, true), next)
            || !AvsJoin(call, clip, next, true, clip)) {
            return false;
        }
    }
    result = clip;
    return true;
}

// A rate given to a source replaces the file's; the frames stay the same.
bool ForceRate(AvsCall& call, AvsClip& clip, int numerator, int denominator)
{
    if (numerator <= 0 || denominator <= 0) {
        return call.Fail("the frame rate must be positive");
    }
    clip.fpsNumerator = numerator;
    clip.fpsDenominator = denominator;
    clip.videoPad = call.Graph().Chain(clip.videoPad,
        "settb=expr=" + Rate(denominator, numerator) + ",setpts=N,fps=fps=" + Rate(numerator, denominator));
    return true;
}

bool DirectShowSource(AvsCall& call, AvsValue& result)
{
    const bool video = call.Bool(3, true);
    AvsClip clip;
    if (!FileClip(call, call.String(0, ""), video, call.Bool(2, true), clip)) {
        return false;
    }
    if (video && call.Given(1)) {
        int numerator = 0;
        int denominator = 1;
        if (!AvsFrameRate(call, 1, 99, numerator, denominator) || !ForceRate(call, clip, numerator, denominator)) {
            return false;
        }
    }
    result = clip;
    return true;
}

// Track numbers of the indexing sources: -1 the first of its kind, N the
// stream with index N; a sound track of -2 is none.
bool TrackNumber(AvsCall& call, std::int64_t track, bool sound, int& chosen)
{
    if (track < (sound ? -2 : -1) || track > 10000) {
        return call.Fail("the track " + std::to_string(track) + " is not " + (sound ? "-2 (none), " : "")
            + "-1 (the first) or the number of a stream");
    }
    chosen = static_cast<int>(track);
    return true;
}

// cache and cachefile belong to the index files the reader does not need.
bool FfmpegSource2(AvsCall& call, AvsValue& result)
{
    return AvsIndexedSource(call, call.Int(1, -1), call.Int(2, -2), 5, result);
}
bool FfVideoSource(AvsCall& call, AvsValue& result) { return AvsIndexedSource(call, call.Int(1, -1), -2, 4, result); }

bool FfAudioSource(AvsCall& call, AvsValue& result) { return AvsIndexedSound(call, call.Int(1, -1), result); }

bool CheckedSize(AvsCall& call, std::int64_t width, std::int64_t height)
{
    if (width <= 0 || height <= 0 || width > 16384 || height > 16384) {
        return call.Fail(
            "the picture size " + std::to_string(width) + "x" + std::to_string(height) + " is out of range");
    }
    return true;
}

// Picture and sound of a plain colour and silence; a clip given first lends
// its size, rate, length and sound format.
bool BlankClip(AvsCall& call, AvsValue& result)
{
    AvsClip clip;
    clip.width = 640;
    clip.height = 480;
    clip.pixelType = AvsPixelType::Rgb32;
    clip.fpsNumerator = 24;
    clip.frames = 240;
    clip.hasAudio = true;
    clip.sampleRate = 44100;
    clip.channels = 1;
    if (call.Given(0)) {
        const AvsClip& model = call.Clip(0);
        if (model.hasVideo) {
            clip.width = model.width;
            clip.height = model.height;
            clip.fpsNumerator = model.fpsNumerator;
            clip.fpsDenominator = model.fpsDenominator;
            clip.frames = model.frames;
            clip.pixelType = model.pixelType;
        }
        clip.hasAudio = model.hasAudio;
        if (model.hasAudio) {
            clip.sampleRate = model.sampleRate;
            clip.channels = model.channels;
        }
    }
    clip.frames = call.Int(1, clip.frames);
    clip.width = static_cast<int>(call.Int(2, clip.width));
    clip.height = static_cast<int>(call.Int(3, clip.height));
    if (!CheckedSize(call, clip.width, clip.height) || !AvsCheckedLength(call, clip.frames)) {
        return false;
    }
    if (call.Given(4)) {
        int numerator = 0;
        int denominator = 1;
        if (!AvsFrameRate(call, 4, 5, numerator, denominator)) {
            return false;
        }
        clip.fpsNumerator = numerator;
        clip.fpsDenominator = denominator;
    }
    clip.sampleRate = static_cast<int>(call.Int(6, clip.sampleRate));
    clip.channels = static_cast<int>(call.Int(7, clip.channels));
    if (call.Given(6) || call.Given(7)) {
        clip.hasAudio = true;
    }
    if (clip.hasAudio
        && (clip.sampleRate < 1000 || clip.sampleRate > 192000 || clip.channels < 1 || clip.channels > 8)) {
        return call.Fail("the sound format is out of range");
    }
    clip.hasVideo = true;
    clip.videoPad = call.Graph().Add("color=c=" + Colour(call.Int(8, 0)) + ":s=" + std::to_string(clip.width) + "x"
            + std::to_string(clip.height) + ":r=" + Rate(clip.fpsNumerator, clip.fpsDenominator) + ","
            + Frames(clip.fpsNumerator, clip.fpsDenominator, clip.frames),
        {}, 1, 0);
    if (clip.hasAudio) {
        clip.samples = AvsSamplesForFrames(clip, clip.frames);
        clip.audioPad = call.Graph().Add("anullsrc=r=" + std::to_string(clip.sampleRate)
                + ":cl=" + AvsChannelLayout(clip.channels)
                + ",aformat=sample_fmts=s16,atrim=end_sample=" + std::to_string(clip.samples),
            {}, 0, 1);
    }
    result = clip;
    return true;
}

// Bars of an hour at 29.97 frames per second with a 440 Hz tone in stereo at 48 kHz.
bool ColorBars(AvsCall& call, AvsValue& result)
{
    AvsClip clip;
    clip.hasVideo = true;
    clip.width = static_cast<int>(call.Int(0, 640));
    clip.height = static_cast<int>(call.Int(1, 480));
    if (!CheckedSize(call, clip.width, clip.height)) {
        return false;
    }
    clip.fpsNumerator = 30000;
    clip.fpsDenominator = 1001;
    clip.frames = 107892;
    clip.pixelType = AvsPixelType::Rgb32;
    clip.videoPad = call.Graph().Add("smptebars=s=" + std::to_string(clip.width) + "x" + std::to_string(clip.height)
            + ":r=30000/1001," + Frames(clip.fpsNumerator, clip.fpsDenominator, clip.frames),
        {}, 1, 0);
    clip.hasAudio = true;
    clip.sampleRate = 48000;
    clip.channels = 2;
    clip.samples = AvsSamplesForFrames(clip, clip.frames);
    clip.audioPad = call.Graph().Add(
        "sine=frequency=440:sample_rate=48000,pan=stereo|c0=c0|c1=c0,atrim=end_sample=" + std::to_string(clip.samples),
        {}, 0, 1);
    result = clip;
    return true;
}

constexpr AvsFunction sourceFunctions[] = {
    {"AviSource", "filename:s+ [audio:b] [pixel_type:s]", AviSource},
    {"AviFileSource", "filename:s+ [audio:b] [pixel_type:s]", AviSource},
    {"DirectShowSource", "filename:s [fps:f] [audio:b] [video:b]", DirectShowSource},
    {"FFmpegSource2", "source:s [vtrack:i] [atrack:i] [cache:b] [cachefile:s] [fpsnum:i] [fpsden:i]", FfmpegSource2},
    {"FFVideoSource", "source:s [track:i] [cache:b] [cachefile:s] [fpsnum:i] [fpsden:i]", FfVideoSource},
    {"FFAudioSource", "source:s [track:i] [cache:b] [cachefile:s]", FfAudioSource},
    {"BlankClip",
        "[clip:c] [length:i] [width:i] [height:i] [fps:f] [fps_denominator:i] [audio_rate:i] "
        "[channels:i] [color:i]",
        BlankClip},
    {"ColorBars", "[width:i] [height:i]", ColorBars},
    {"ImageSource", "file:s [start:i] [end:i] [fps:f] [use_DevIL:b] [info:b] [pixel_type:s]", AvsImageSource},
    {nullptr, nullptr, nullptr},
};

} // namespace

const AvsFunction* AvsSourceFunctions() { return sourceFunctions; }

bool AvsFileClip(AvsCall& call, const std::string& path, const std::string& given, bool video, bool audio,
    AvsClip& clip, const AvsTrackChoice& tracks)
{
    AvsMediaFacts facts;
    if (!AvsProbeFile(call, path, tracks, given, facts)) {
        return false;
    }
    if (video && tracks.video >= 0 && facts.videoTrack != tracks.video) {
        return call.Fail("\"" + given + "\" has no picture track " + std::to_string(tracks.video));
    }
    if (audio && tracks.audio >= 0 && facts.audioTrack != tracks.audio) {
        return call.Fail("\"" + given + "\" has no sound track " + std::to_string(tracks.audio));
    }
    const std::string file = AvsFilterValue(path);
    if (video) {
        if (!facts.hasVideo || facts.fpsNumerator <= 0 || facts.frames <= 0) {
            return call.Fail("\"" + given + "\" has no picture");
        }
        static_cast<AvsPictureFormat&>(clip) = facts;
        // Frames are numbered from where the media layer puts frame 0 (an AVI
        // whose pictures the muxer made late has its first one there too). The
        // last frame is repeated once so the rate filter sees where it ends and
        // keeps it; the trim drops the repeat.
        const std::string start = "max(PTS-" + std::to_string(facts.videoStart) + ",0)";
        clip.videoPad = call.Graph().Add("movie=filename=" + file + ":s=" + std::to_string(facts.videoTrack)
                + ",setpts=expr=" + AvsFilterValue(start) + ",tpad=stop=1:stop_mode=clone,"
                + Frames(clip.fpsNumerator, clip.fpsDenominator, clip.frames),
            {}, 1, 0);
    }
    if (audio && facts.hasAudio) {
        static_cast<AvsSoundFormat&>(clip) = facts;
        clip.audioPad = call.Graph().Add(
            "amovie=filename=" + file + ":s=" + std::to_string(facts.audioTrack) + ",asetpts=PTS-STARTPTS", {}, 0, 1);
    }
    if (!clip.hasVideo && !clip.hasAudio) {
        return call.Fail("\"" + given + "\" has no sound");
    }
    return true;
}

// The picture of the chosen track, with its sound when a sound track is
// chosen; fpsnum/fpsden convert to a constant rate as ChangeFPS does.
bool AvsIndexedSource(
    AvsCall& call, std::int64_t videoTrack, std::int64_t audioTrack, std::size_t rateIndex, AvsValue& result)
{
    AvsTrackChoice tracks;
    if (!TrackNumber(call, videoTrack, false, tracks.video) || !TrackNumber(call, audioTrack, true, tracks.audio)) {
        return false;
    }
    AvsClip clip;
    if (!FileClip(call, call.String(0, ""), true, tracks.audio != -2, clip, tracks)) {
        return false;
    }
    if (call.Given(rateIndex) != call.Given(rateIndex + 1)) {
        return call.Fail("fpsnum and fpsden are given together");
    }
    if (call.Given(rateIndex)) {
        const std::int64_t numerator = call.Int(rateIndex, 0);
        const std::int64_t denominator = call.Int(rateIndex + 1, 1);
        if (numerator <= 0 || denominator <= 0 || numerator > 1000000 || denominator > 1000000) {
            return call.Fail("the frame rate must be positive");
        }
        const auto frames = static_cast<std::int64_t>(static_cast<__int128>(clip.frames) * numerator
            * clip.fpsDenominator / (static_cast<__int128>(denominator) * clip.fpsNumerator));
        clip.fpsNumerator = static_cast<int>(numerator);
        clip.fpsDenominator = static_cast<int>(denominator);
        clip.frames = std::max<std::int64_t>(1, frames);
        clip.videoPad = call.Graph().Chain(clip.videoPad, Frames(clip.fpsNumerator, clip.fpsDenominator, clip.frames));
    }
    result = clip;
    return true;
}

bool AvsIndexedSound(AvsCall& call, std::int64_t track, AvsValue& result)
{
    AvsTrackChoice tracks;
    if (!TrackNumber(call, track, true, tracks.audio)) {
        return false;
    }
    if (tracks.audio == -2) {
        return call.Fail("the track -2 chooses no sound");
    }
    AvsClip clip;
    if (!FileClip(call, call.String(0, ""), false, true, clip, tracks)) {
        return false;
    }
    result = clip;
    return true;
}

bool AvsCheckedLength(AvsCall& call, std::int64_t frames)
{
    // Ten days at 60 frames per second.
    if (frames <= 0 || frames > 51840000) {
        return call.Fail("the length of " + std::to_string(frames) + " frames is out of range");
    }
    return true;
}

} // namespace discforge
