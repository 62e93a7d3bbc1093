// Dissolve: the second clip fades in over the last `overlap` frames of the
// first; frame i of the overlap shows (i + 1) / (overlap + 1) of the second.
// The sound crosses over the same stretch. A third clip and more fade in the
// same way over the end of what the clips before them made.
#include "script/AvsFilterText.h"
#include "script/AvsFunctions.h"

#include <algorithm>

namespace discforge {
namespace {

std::string Frames(std::int64_t first, std::int64_t end)
{
    return "trim=start_frame=" + Number(first) + ":end_frame=" + Number(end) + ",setpts=PTS-STARTPTS";
}

// The clip's sound in the model's format and exactly as long as its picture;
// silence when it has none.
int FittedSound(AvsGraph& graph, const AvsClip& clip, const AvsClip& model)
{
    const std::int64_t samples = AvsSamplesForFrames(model, clip.frames);
    if (!clip.hasAudio) {
        return graph.Add("anullsrc=r=" + Number(model.sampleRate) + ":cl=" + AvsChannelLayout(model.channels)
                + ",aformat=sample_fmts=s16,atrim=end_sample=" + Number(samples),
            {}, 0, 1);
    }
    int pad = clip.audioPad;
    if (clip.sampleRate != model.sampleRate || clip.channels != model.channels) {
        pad = graph.Chain(pad,
            "aresample=" + Number(model.sampleRate) + ",aformat=channel_layouts=" + AvsChannelLayout(model.channels));
    }
    return graph.Chain(pad, "apad=whole_len=" + Number(samples) + ",atrim=end_sample=" + Number(samples));
}

std::string Samples(std::int64_t first, std::int64_t end)
{
    return "atrim=start_sample=" + Number(first) + ":end_sample=" + Number(end) + ",asetpts=PTS-STARTPTS";
}

// The first sound fading out over the overlap as the second fades in, both
// along a straight line. Made of cut pieces, mixed and joined: the crossfade
// filter stops early when both its inputs come from one source.
int CrossedSound(
    AvsGraph& graph, const AvsClip& first, const AvsClip& second, const AvsClip& model, std::int64_t overlap)
{
    const int a = FittedSound(graph, first, model);
    const int b = FittedSound(graph, second, model);
    const std::int64_t lengthA = AvsSamplesForFrames(model, first.frames);
    const std::int64_t lengthB = AvsSamplesForFrames(model, second.frames);
    const std::int64_t crossed = std::min({AvsSamplesForFrames(model, overlap), lengthA, lengthB});
    std::vector<int> parts{graph.Chain(a, Samples(0, lengthA - crossed))};
    if (crossed > 0) {
        const std::string fade = ":start_sample=0:nb_samples=" + Number(crossed);
        std::string pan = "pan=" + AvsChannelLayout(model.channels);
        for (int c = 0; c < model.channels; ++c) {
            pan += "|c" + Number(c) + "=c" + Number(c) + "+c" + Number(c + model.channels);
        }
        parts.push_back(graph.Add("amerge=inputs=2," + pan,
            {graph.Chain(a, Samples(lengthA - crossed, lengthA) + ",afade=t=out" + fade),
                graph.Chain(b, Samples(0, crossed) + ",afade=t=in" + fade)},
            0, 1));
    }
    parts.push_back(graph.Chain(b, Samples(crossed, lengthB)));
    return graph.Add("concat=n=" + Number(static_cast<std::int64_t>(parts.size())) + ":v=0:a=1", parts, 0, 1);
}

bool DissolveTwo(AvsCall& call, const AvsClip& first, const AvsClip& second, std::int64_t given, AvsClip& clip)
{
    if (!first.hasVideo || !second.hasVideo) {
        return call.Fail("only clips with pictures can be dissolved");
    }
    if (first.width != second.width || first.height != second.height
        || static_cast<std::int64_t>(first.fpsNumerator) * second.fpsDenominator
            != static_cast<std::int64_t>(second.fpsNumerator) * first.fpsDenominator) {
        return call.Fail("the clips differ in picture size or frame rate");
    }
    const std::int64_t overlap = std::min({given, first.frames, second.frames});
    AvsGraph& graph = call.Graph();
    clip = first;
    clip.frames = first.frames + second.frames - overlap;
    const std::string same = "format=pix_fmts=yuv444p,setsar=1";
    std::vector<int> parts{graph.Chain(first.videoPad, Frames(0, first.frames - overlap) + "," + same)};
    if (overlap > 0) {
        const int tail = graph.Chain(first.videoPad, Frames(first.frames - overlap, first.frames) + "," + same);
        const int head = graph.Chain(second.videoPad, Frames(0, overlap) + "," + same);
        // The frame's place in the overlap, from its time (numbered from 0 above).
        const std::string place
            = "floor(T*" + Number(first.fpsNumerator) + "/" + Number(first.fpsDenominator) + "+0.5)";
        const std::string weight = "(" + place + "+1)/" + Number(overlap + 1);
        parts.push_back(
            graph.Add("blend=all_expr=" + AvsFilterValue("A+(B-A)*" + weight) + ":shortest=1", {tail, head}, 1, 0));
    }
    parts.push_back(graph.Chain(second.videoPad, Frames(overlap, second.frames) + "," + same));
    clip.videoPad = graph.Add("concat=n=" + Number(static_cast<std::int64_t>(parts.size())) + ":v=1:a=0", parts, 1, 0);
    if (first.hasAudio || second.hasAudio) {
        const AvsClip& model = first.hasAudio ? first : second;
        clip.hasAudio = true;
        clip.sampleRate = model.sampleRate;
        clip.channels = model.channels;
        clip.samples = AvsSamplesForFrames(model, clip.frames);
        clip.audioPad = CrossedSound(graph, first, second, model, overlap);
    }
    return true;
}

} // namespace

bool AvsDissolve(AvsCall& call, AvsValue& result)
{
    const std::int64_t given = call.Int(3, 0);
    if (given < 0) {
        return call.Fail("the overlap cannot be negative");
    }
    // More than two clips dissolve one after the other: each into what the ones before made.
    std::vector<const AvsClip*> clips{&call.Clip(0), &call.Clip(1)};
    if (call.Given(2)) {
        clips.push_back(&call.Clip(2));
    }
    for (const AvsValue& more : call.extra) {
        clips.push_back(&std::get<AvsClip>(more));
    }
    AvsClip made = *clips[0];
    for (std::size_t k = 1; k < clips.size(); ++k) {
        AvsClip next;
        if (!DissolveTwo(call, made, *clips[k], given, next)) {
            return false;
        }
        made = next;
    }
    result = made;
    return true;
}

} // namespace discforge
