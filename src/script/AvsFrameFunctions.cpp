// Functions that choose, repeat, hold and blend whole frames: SelectEven,
// SelectOdd, SelectEvery, Loop, FreezeFrame, DuplicateFrame, DeleteFrame and
// Dissolve. The frames that come out are numbered again from 0.
#include "script/AvsClipChecks.h"
#include "script/AvsFilterText.h"
#include "script/AvsFunctions.h"

#include <algorithm>
#include <numeric>
#include <set>

namespace discforge {
namespace {

// The filters hold the repeated frames in memory, as Reverse does.
constexpr std::int64_t maxHeldBytes = std::int64_t{1} << 30;
// How long an endless loop lasts.
constexpr std::int64_t endlessSeconds = 24 * 60 * 60;

std::string Renumbered(const AvsClip& clip)
{
    return "settb=expr=" + Number(clip.fpsDenominator) + "/" + Number(clip.fpsNumerator) + ",setpts=N";
}

std::string Part(std::int64_t first, std::int64_t end, const char* kind)
{
    const std::string a = kind[0] == 'a' ? "a" : "";
    return a + "trim=start_" + (a.empty() ? "frame=" : "sample=") + Number(first) + ":end_"
        + (a.empty() ? "frame=" : "sample=") + Number(end) + "," + a + "setpts=PTS-STARTPTS";
}

// Items first..last of a stream of `count` (frames, or samples of sound)
// played `times` times over, the rest as they were. The repeated part is cut
// out first, so that the loop filter counts from its own first item.
int Repeated(
    AvsGraph& graph, int pad, bool sound, std::int64_t count, std::int64_t first, std::int64_t last, std::int64_t times)
{
    const char* kind = sound ? "a" : "v";
    std::vector<int> parts;
    if (first > 0) {
        parts.push_back(graph.Chain(pad, Part(0, first, kind)));
    }
    parts.push_back(graph.Chain(pad,
        Part(first, last + 1, kind) + "," + (sound ? "aloop" : "loop") + "=loop=" + Number(times - 1)
            + ":size=" + Number(last - first + 1) + ":start=0"));
    if (last + 1 < count) {
        parts.push_back(graph.Chain(pad, Part(last + 1, count, kind)));
    }
    if (parts.size() == 1) {
        return parts[0];
    }
    const std::string n = Number(static_cast<std::int64_t>(parts.size()));
    return graph.Add("concat=n=" + n + (sound ? ":v=0:a=1" : ":v=1:a=0"), parts, sound ? 0 : 1, sound ? 1 : 0);
}

bool FrameIndex(AvsCall& call, const AvsClip& clip, std::int64_t frame)
{
    return (frame >= 0 && frame < clip.frames)
        || call.Fail("the frame " + Number(frame) + " is not one of the clip's " + Number(clip.frames));
}

// Keeps the frames whose number modulo `cycle` is one of `offsets`; the rate
// falls by as much, so the sound keeps its length.
bool Choose(AvsCall& call, AvsValue& result, std::int64_t cycle, std::vector<std::int64_t> offsets)
{
    AvsClip clip;
    if (!Picture(call, clip)) {
        return false;
    }
    if (cycle < 1 || cycle > 1000) {
        return call.Fail("the cycle must be between 1 and 1000 frames");
    }
    for (std::size_t i = 0; i < offsets.size(); ++i) {
        if (offsets[i] < 0 || offsets[i] >= cycle || (i > 0 && offsets[i] <= offsets[i - 1])) {
            return call.Fail("the offsets must rise and lie within the cycle of " + Number(cycle));
        }
    }
    std::int64_t frames = clip.frames / cycle * static_cast<std::int64_t>(offsets.size());
    frames += std::count_if(
        offsets.begin(), offsets.end(), [&](std::int64_t offset) { return offset < clip.frames % cycle; });
    if (frames <= 0) {
        return call.Fail("no frame of the clip is chosen");
    }
    std::string expression;
    for (const std::int64_t offset : offsets) {
        expression += (expression.empty() ? "" : "+") + ("eq(mod(n," + Number(cycle) + ")," + Number(offset) + ")");
    }
    const std::int64_t numerator
        = static_cast<std::int64_t>(clip.fpsNumerator) * static_cast<std::int64_t>(offsets.size());
    const std::int64_t denominator = static_cast<std::int64_t>(clip.fpsDenominator) * cycle;
    const std::int64_t common = std::gcd(numerator, denominator);
    clip.fpsNumerator = static_cast<int>(numerator / common);
    clip.fpsDenominator = static_cast<int>(denominator / common);
    clip.frames = frames;
    clip.videoPad
        = call.Graph().Chain(clip.videoPad, "select=expr=" + AvsFilterValue(expression) + "," + Renumbered(clip));
    result = clip;
    return true;
}

bool SelectEven(AvsCall& call, AvsValue& result) { return Choose(call, result, 2, {0}); }
bool SelectOdd(AvsCall& call, AvsValue& result) { return Choose(call, result, 2, {1}); }

bool SelectEvery(AvsCall& call, AvsValue& result)
{
    std::vector<std::int64_t> offsets{call.Int(2, 0)};
    for (const AvsValue& more : call.extra) {
        offsets.push_back(std::get<std::int64_t>(more));
    }
    return Choose(call, result, call.Int(1, 1), offsets);
}

// Loop(times, start, end): frames start..end played `times` times, the sound with them.
bool Loop(AvsCall& call, AvsValue& result)
{
    AvsClip clip;
    if (!Picture(call, clip)) {
        return false;
    }
    std::int64_t times = call.Int(1, -1);
    const std::int64_t start = std::clamp<std::int64_t>(call.Int(2, 0), 0, clip.frames - 1);
    const std::int64_t end = std::clamp<std::int64_t>(call.Int(3, clip.frames - 1), start, clip.frames - 1);
    if (times == 0 || times > 100000) {
        return call.Fail(
            "the number of times must be between 1 and 100000, or negative (or left out) for an endless loop");
    }
    const std::int64_t length = end - start + 1;
    if (times < 0) {
        // Endless: repeated until the clip lasts a day at its own rate, longer
        // than any disc holds, so that a Trim or a join after it finds all it needs.
        const std::int64_t day = endlessSeconds * clip.fpsNumerator / std::max(1, clip.fpsDenominator);
        times = std::max<std::int64_t>(1, (day - (clip.frames - length)) / length);
    }
    if (length * clip.width * clip.height * 3 / 2 > maxHeldBytes) {
        return call.Fail("the " + Number(length) + " frames to loop are too many to hold in memory");
    }
    const std::int64_t frames = clip.frames + (times - 1) * length;
    if (!AvsCheckedLength(call, frames)) {
        return false;
    }
    AvsGraph& graph = call.Graph();
    clip.videoPad
        = graph.Chain(Repeated(graph, clip.videoPad, false, clip.frames, start, end, times), Renumbered(clip));
    if (clip.hasAudio) {
        const std::int64_t first = AvsSamplesForFrames(clip, start);
        const std::int64_t last = std::min(AvsSamplesForFrames(clip, end + 1), clip.samples) - 1;
        if (first <= last) {
            clip.audioPad = graph.Chain(
                Repeated(graph, clip.audioPad, true, clip.samples, first, last, times), "asetpts=N/SR/TB");
            clip.samples += (times - 1) * (last - first + 1);
        }
    }
    clip.frames = frames;
    result = clip;
    return true;
}

// FreezeFrame(first, last, source): frames first..last all show frame source.
bool FreezeFrame(AvsCall& call, AvsValue& result)
{
    AvsClip clip;
    if (!Picture(call, clip)) {
        return false;
    }
    const std::int64_t first = std::max<std::int64_t>(0, call.Int(1, 0));
    const std::int64_t last = std::min(call.Int(2, 0), clip.frames - 1);
    const std::int64_t source = call.Int(3, 0);
    if (!FrameIndex(call, clip, source)) {
        return false;
    }
    // The filter takes the replacing frame from its second input.
    if (first <= last) {
        clip.videoPad = call.Graph().Add(
            "freezeframes=first=" + Number(first) + ":last=" + Number(last) + ":replace=" + Number(source),
            {clip.videoPad, clip.videoPad}, 1, 0);
    }
    result = clip;
    return true;
}

std::vector<std::int64_t> Frames(AvsCall& call, std::size_t index)
{
    std::vector<std::int64_t> frames{call.Int(index, 0)};
    for (const AvsValue& more : call.extra) {
        frames.push_back(std::get<std::int64_t>(more));
    }
    return frames;
}

// Each frame named is shown twice; the sound stays as it is.
bool DuplicateFrame(AvsCall& call, AvsValue& result)
{
    AvsClip clip;
    if (!Picture(call, clip)) {
        return false;
    }
    std::vector<std::int64_t> frames = Frames(call, 1);
    for (const std::int64_t frame : frames) {
        if (!FrameIndex(call, clip, frame)) {
            return false;
        }
    }
    // From the last one back, so each number still names the source's frame.
    std::sort(frames.rbegin(), frames.rend());
    for (const std::int64_t frame : frames) {
        clip.videoPad = call.Graph().Chain(
            Repeated(call.Graph(), clip.videoPad, false, clip.frames, frame, frame, 2), Renumbered(clip));
        ++clip.frames;
    }
    result = clip;
    return AvsCheckedLength(call, clip.frames);
}

bool DeleteFrame(AvsCall& call, AvsValue& result)
{
    AvsClip clip;
    if (!Picture(call, clip)) {
        return false;
    }
    std::set<std::int64_t> frames;
    std::string expression;
    for (const std::int64_t frame : Frames(call, 1)) {
        if (!FrameIndex(call, clip, frame)) {
            return false;
        }
        if (frames.insert(frame).second) {
            expression += (expression.empty() ? "" : "+") + ("eq(n," + Number(frame) + ")");
        }
    }
    if (static_cast<std::int64_t>(frames.size()) >= clip.frames) {
        return call.Fail("no frame of the clip would be left");
    }
    clip.videoPad = call.Graph().Chain(
        clip.videoPad, "select=expr=" + AvsFilterValue("not(" + expression + ")") + "," + Renumbered(clip));
    clip.frames -= static_cast<std::int64_t>(frames.size());
    result = clip;
    return true;
}

// A script wanting more pieces than this is refused; a film's preview takes a few dozen.
constexpr std::int64_t maxRanges = 1000;

// SelectRangeEvery(every, length, offset, audio): from frame offset on, the
// first `length` frames of each `every`, with their sound unless audio=false.
bool SelectRangeEvery(AvsCall& call, AvsValue& result)
{
    AvsClip clip;
    if (!Picture(call, clip)) {
        return false;
    }
    const std::int64_t every = call.Int(1, 1500);
    const std::int64_t length = std::min(call.Int(2, 50), every);
    const std::int64_t offset = std::clamp<std::int64_t>(call.Int(3, 0), 0, clip.frames - 1);
    if (every < 1 || length < 1) {
        return call.Fail("every and length must be positive");
    }
    const std::int64_t ranges = (clip.frames - offset + every - 1) / every;
    if (ranges > maxRanges) {
        return call.Fail("the clip would be cut into more than " + Number(maxRanges) + " pieces");
    }
    AvsGraph& graph = call.Graph();
    const bool sound = clip.hasAudio && call.Bool(4, true);
    std::vector<int> pictures;
    std::vector<int> sounds;
    std::int64_t frames = 0;
    std::int64_t samples = 0;
    for (std::int64_t r = 0; r < ranges; ++r) {
        const std::int64_t first = offset + r * every;
        const std::int64_t end = std::min(first + length, clip.frames);
        pictures.push_back(graph.Chain(clip.videoPad, Part(first, end, "v")));
        frames += end - first;
        if (sound) {
            const std::int64_t from = AvsSamplesForFrames(clip, first);
            const std::int64_t to = AvsSamplesForFrames(clip, end);
            sounds.push_back(graph.Chain(clip.audioPad,
                Part(from, to, "a") + ",apad=whole_len=" + Number(to - from)
                    + ",atrim=end_sample=" + Number(to - from)));
            samples += to - from;
        }
    }
    const std::string n = Number(static_cast<std::int64_t>(pictures.size()));
    clip.videoPad = graph.Chain(
        pictures.size() == 1 ? pictures[0] : graph.Add("concat=n=" + n + ":v=1:a=0", pictures, 1, 0), Renumbered(clip));
    if (sound) {
        clip.audioPad = sounds.size() == 1 ? sounds[0] : graph.Add("concat=n=" + n + ":v=0:a=1", sounds, 0, 1);
        clip.samples = samples;
    }
    clip.frames = frames;
    result = clip;
    return true;
}

constexpr AvsFunction frameFunctions[] = {
    {"SelectRangeEvery", "c [every:i] [length:i] [offset:i] [audio:b]", SelectRangeEvery},
    {"SelectEven", "c", SelectEven},
    {"SelectOdd", "c", SelectOdd},
    {"SelectEvery", "c cycle:i offset:i+", SelectEvery},
    {"Loop", "c [times:i] [start:i] [end:i]", Loop},
    {"FreezeFrame", "c first_frame:i last_frame:i source_frame:i", FreezeFrame},
    {"DuplicateFrame", "c frame:i+", DuplicateFrame},
    {"DeleteFrame", "c frame:i+", DeleteFrame},
    {"Dissolve", "c second:c [more:c+] overlap:i [fps:f]", AvsDissolve},
    {nullptr, nullptr, nullptr},
};

} // namespace

const AvsFunction* AvsFrameFunctions() { return frameFunctions; }

} // namespace discforge
