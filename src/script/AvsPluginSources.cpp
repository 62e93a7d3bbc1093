// The usual plugins' sources: MPEG2Source reads a DVD index file (.d2v) for
// its list of VOB files and opens them as one clip; the LSMASH and LWLibav
// sources open their files as the other indexing sources do.
#include "script/AvsFunctions.h"

#include <cctype>
#include <cstdlib>
#include <sstream>

namespace discforge {
namespace {

// Index files list their VOBs at the top; a long film's index is a few megabytes.
constexpr std::size_t maxIndexBytes = std::size_t{64} << 20;
constexpr std::int64_t maxIndexFiles = 1000;

struct DvdIndex {
    std::vector<std::string> files; // as written in the index
    int fieldOperation = 0; // 0 as the stream says, 1 film forced, 2 raw frames
};

bool ReadIndex(AvsCall& call, const std::string& text, DvdIndex& index)
{
    std::istringstream lines(text);
    std::string line;
    if (!std::getline(lines, line) || line.rfind("DGIndexProjectFile", 0) != 0) {
        return call.Fail("the file is not a DVD index (.d2v) of DGIndex");
    }
    std::int64_t count = 0;
    if (!std::getline(lines, line) || !(std::istringstream(line) >> count) || count < 1 || count > maxIndexFiles) {
        return call.Fail("the index's count of files is missing or out of range");
    }
    for (std::int64_t i = 0; i < count; ++i) {
        if (!std::getline(lines, line)) {
            return call.Fail("the index lists fewer files than it says");
        }
        while (!line.empty() && (line.back() == '\r' || line.back() == ' ')) {
            line.pop_back();
        }
        index.files.push_back(line);
    }
    while (std::getline(lines, line)) {
        if (line.rfind("Field_Operation=", 0) == 0) {
            index.fieldOperation = std::atoi(line.c_str() + 16);
        }
        if (line.rfind("Location=", 0) == 0) {
            break;
        }
    }
    if (index.fieldOperation < 0 || index.fieldOperation > 2) {
        return call.Fail("the index's field operation is none of 0, 1 and 2");
    }
    return true;
}

// A file the index names: relative to the index's folder, and a Windows
// path (the index was made there) as the file of that name beside the index.
bool IndexedFile(AvsCall& call, const std::string& folder, const std::string& written, std::string& path)
{
    std::string local = written;
    const bool windows = (local.size() >= 2 && std::isalpha(static_cast<unsigned char>(local[0])) && local[1] == ':')
        || local.rfind("\\\\", 0) == 0;
    if (windows) {
        local = local.substr(local.find_last_of("\\/") + 1);
    }
    for (char& c : local) {
        c = c == '\\' ? '/' : c;
    }
    path = !local.empty() && local.front() == '/' ? local : folder + "/" + local;
    return call.Probe().IsFile(path) || call.Fail("the file \"" + written + "\" of the index does not exist");
}

bool Mpeg2Source(AvsCall& call, AvsValue& result)
{
    const std::string given = call.String(0, "");
    std::string indexPath;
    std::string text;
    std::string reason;
    if (!AvsResolvePath(call, given, indexPath)) {
        return false;
    }
    if (!call.Probe().ReadText(indexPath, maxIndexBytes, text, reason)) {
        return call.Fail("cannot read \"" + given + "\": " + reason);
    }
    DvdIndex index;
    if (!ReadIndex(call, text, index)) {
        return false;
    }
    const std::size_t slash = indexPath.rfind('/');
    const std::string folder = slash == std::string::npos ? "." : indexPath.substr(0, slash);
    AvsClip clip;
    for (std::size_t i = 0; i < index.files.size(); ++i) {
        std::string path;
        AvsClip part;
        if (!IndexedFile(call, folder, index.files[i], path)
            || !AvsFileClip(call, path, index.files[i], true, false, part)) {
            return false;
        }
        AvsClip joined = part;
        if (i > 0 && !AvsJoin(call, clip, part, false, joined)) {
            return false;
        }
        clip = joined;
    }
    // Film forced: the repeated fields of soft telecine are dropped, 4 frames of 5.
    if (index.fieldOperation == 1) {
        clip.frames = std::max<std::int64_t>(1, (clip.frames * 4 + 2) / 5);
        clip.fpsNumerator = 24000;
        clip.fpsDenominator = 1001;
        clip.videoPad = call.Graph().Chain(clip.videoPad, "fps=fps=24000/1001," + AvsExactLength(clip.frames));
    }
    result = clip;
    return true;
}

// LSMASH counts tracks from 1 (0 the first of its kind); streams count from 0.
std::int64_t StreamOfTrack(std::int64_t track) { return track <= 0 ? -1 : track - 1; }

bool LsmashVideoSource(AvsCall& call, AvsValue& result)
{
    return AvsIndexedSource(call, StreamOfTrack(call.Int(1, 0)), -2, 6, result);
}
bool LsmashAudioSource(AvsCall& call, AvsValue& result)
{
    return AvsIndexedSound(call, StreamOfTrack(call.Int(1, 0)), result);
}
bool LwLibavVideoSource(AvsCall& call, AvsValue& result)
{
    return AvsIndexedSource(call, call.Int(1, -1), -2, 6, result);
}
bool LwLibavAudioSource(AvsCall& call, AvsValue& result) { return AvsIndexedSound(call, call.Int(1, -1), result); }

constexpr AvsFunction pluginSources[] = {
    {"MPEG2Source",
        "d2v:s [cpu:i] [idct:i] [ipp:b] [moderate_h:i] [moderate_v:i] [showq:b] [fastmc:b] [cpu2:s] [info:i] "
        "[upconv:i] [i420:b] [icc:b]",
        Mpeg2Source},
    {"LSMASHVideoSource",
        "source:s [track:i] [threads:i] [seek_mode:i] [seek_threshold:i] [dr:b] [fpsnum:i] [fpsden:i] [variable:b] "
        "[format:s] [decoder:s]",
        LsmashVideoSource},
    {"LSMASHAudioSource", "source:s [track:i] [skip_priming:b] [layout:s] [rate:i] [decoder:s]", LsmashAudioSource},
    {"LWLibavVideoSource",
        "source:s [stream_index:i] [threads:i] [cache:b] [seek_mode:i] [seek_threshold:i] [fpsnum:i] [fpsden:i] "
        "[dr:b] [repeat:b] [dominance:i] [format:s] [decoder:s]",
        LwLibavVideoSource},
    {"LWLibavAudioSource", "source:s [stream_index:i] [cache:b] [av_sync:b] [layout:s] [rate:i] [decoder:s]",
        LwLibavAudioSource},
    {nullptr, nullptr, nullptr},
};

} // namespace

const AvsFunction* AvsPluginSources() { return pluginSources; }

} // namespace discforge
